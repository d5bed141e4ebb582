// Makes the browser edition's one HTML file: the page with the module
// (WebAssembly embedded in its script), the page's script, velmo.css and
// the example settings files inside, so that it needs nothing else.
// Usage: node make_page.js OUTPUT TEMPLATE VELMO.CSS PAGE.JS VELMO.JS VERSION EXAMPLE.ini...
"use strict";
const fs = require("fs");
const path = require("path");

const [output, template, css, pageScript, moduleScript, version, ...examples] = process.argv.slice(2);

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
  VELMO_CSS: literal(fs.readFileSync(css, "utf8")),
  // Base64 keeps each example's exact bytes.
  EXAMPLES: literal(examples.map((file) => ({ name: path.basename(file), bytes: fs.readFileSync(file).toString("base64") }))),
  MODULE: scriptText(fs.readFileSync(moduleScript, "utf8"), moduleScript),
  PAGE_SCRIPT: scriptText(fs.readFileSync(pageScript, "utf8"), pageScript),
};
const page = fs.readFileSync(template, "utf8").replace(/@([A-Z_]+)@/g, (match, key) => {
  if (!(key in values)) throw new Error("unknown field " + match);
  return values[key];
});
fs.writeFileSync(output, page);
