// Makes the browser edition: one HTML file with the module (WebAssembly
// embedded in its script), the page's scripts, its style, velmo.css and the
// example settings files inside, so that it needs nothing else from disk;
// and beside it what makes it an app a phone installs and keeps offline
// when it is served over http(s): a manifest, a service worker and icons.
// Usage: node make_page.js OUTPUT.html VELMO.CSS VELMO.JS VERSION EXAMPLE.ini...
"use strict";
const { createHash } = require("node:crypto");
const fs = require("node:fs");
const path = require("node:path");
const { iconPng } = require("./icon.js");

const [output, css, moduleScript, version, ...examples] = process.argv.slice(2);
const web = (name) => fs.readFileSync(path.join(__dirname, name), "utf8");
const outputDir = path.dirname(output);

// The page's scripts, in the order each needs the ones before it.
const kPageScripts = ["settings_text.js", "kit_form.js", "shown_document.js", "kits.js", "page.js"];

/// A script's text, which must not end its own element early.
function scriptText(text, what) {
  if (/<\/script/i.test(text)) throw new Error(what + " holds </script");
  return text;
}

/// A JavaScript value in a script element: JSON, with "<" escaped.
function literal(value) {
  return JSON.stringify(value).replace(/</g, "\\u003c");
}

const values = {
  VERSION: version,
  APP_CSS: web("app.css"),
  ICON_PNG_32: iconPng(32).toString("base64"),
  VELMO_CSS: literal(fs.readFileSync(css, "utf8")),
  // Base64 keeps each example's exact bytes.
  EXAMPLES: literal(examples.map((file) => ({ name: path.basename(file), bytes: fs.readFileSync(file).toString("base64") }))),
  MODULE: scriptText(fs.readFileSync(moduleScript, "utf8"), moduleScript),
  WORKER_SCRIPT: scriptText(web("worker.js"), "worker.js"),
  PAGE_SCRIPT: kPageScripts.map((name) => scriptText(web(name), name)).join("\n"),
};
/// `template` with its @FIELDS@ filled in.
function filled(template, fields) {
  return template.replace(/@([A-Z_0-9]+)@/g, (match, key) => {
    if (!(key in fields)) throw new Error("unknown field " + match);
    return fields[key];
  });
}

const page = filled(web("page.html"), values);
fs.writeFileSync(output, page);

const manifest = {
  name: "Velmo: depth-of-field tables",
  short_name: "Velmo",
  description: "Exact depth-of-field tables for a whole kit of lenses, computed on this device.",
  id: "./velmo.html",
  start_url: "./velmo.html",
  scope: "./",
  display: "standalone",
  background_color: "#ffffff",
  theme_color: "#2f4f6f",
  icons: [192, 512].map((size) => ({ src: "velmo-" + size + ".png", sizes: size + "x" + size, type: "image/png", purpose: "any maskable" })),
};
fs.writeFileSync(path.join(outputDir, "velmo.webmanifest"), JSON.stringify(manifest, null, 2) + "\n");
for (const size of [192, 512]) fs.writeFileSync(path.join(outputDir, "velmo-" + size + ".png"), iconPng(size));
// The store is named after the page's bytes: every change makes a new one.
const store = createHash("sha256").update(page).digest("hex").slice(0, 16);
fs.writeFileSync(path.join(outputDir, "velmo-sw.js"), filled(web("service_worker.js"), { STORE: store }));
