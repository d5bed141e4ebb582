// ESLint over the browser edition's scripts and the scripts that build,
// test and time it (run from the repository's root:
// tests/browser/web/node_modules/.bin/eslint -c tests/browser/web/eslint.config.js).
"use strict";
const js = require("@eslint/js");
const globals = require("globals");

// The page's scripts are one script in the page, in this order: each sees
// what the ones before it declare.
const kPageScripts = ["settings_text.js", "kit_form.js", "shown_document.js", "kits.js", "page.js"];

module.exports = [
  { ignores: ["**/node_modules/**", "build/**"] },
  js.configs.recommended,
  {
    files: ["web/*.js", "tests/browser/web/*.js", "benchmarks/*.js"],
    languageOptions: { ecmaVersion: 2022, sourceType: "script", globals: { ...globals.node } },
    rules: { "no-unused-vars": ["error", { args: "none", caughtErrors: "none" }] },
  },
  {
    // Their functions for page.evaluate run in the page.
    files: ["tests/browser/web/*.js", "benchmarks/web-speed.js"],
    languageOptions: { globals: { ...globals.browser, axe: "readonly", VelmoModule: "readonly" } },
  },
  {
    // What one declares for the scripts after it is no unused name; what it
    // takes from those before it, or from the page, it names in a
    // "global" comment.
    files: kPageScripts.map((name) => "web/" + name),
    languageOptions: { globals: globals.browser },
    rules: { "no-unused-vars": ["error", { vars: "local", args: "none", caughtErrors: "none" }] },
  },
  {
    files: ["web/worker.js", "web/service_worker.js"],
    languageOptions: { globals: { ...globals.worker, ...globals.serviceworker, VelmoModule: "readonly" } },
  },
  {
    // Emscripten's post-js: the module's own names are in scope.
    files: ["web/velmo_api.js"],
    languageOptions: {
      ecmaVersion: 5,
      globals: { Module: "writable", lengthBytesUTF8: "readonly", _malloc: "readonly", stringToUTF8: "readonly",
                 HEAPU8: "readonly", _velmo_run: "readonly", _free: "readonly", _velmo_console_data: "readonly",
                 _velmo_console_size: "readonly", UTF8ToString: "readonly", _velmo_document_name: "readonly",
                 _velmo_document_data: "readonly", _velmo_document_size: "readonly", _velmo_document_shown: "readonly",
                 _velmo_check: "readonly", _velmo_format_names: "readonly" },
    },
  },
];
