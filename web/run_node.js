// Runs the browser edition under node as the desktop program runs: on the
// settings file named on the command line, the console's text on standard
// output, the document written beside the settings file, the same exit
// status. The module sees only that one file, by its full path.
// Usage: node run_node.js velmo.js SETTINGS-FILE
"use strict";
const fs = require("fs");
const path = require("path");

async function main() {
  const [modulePath, settings] = process.argv.slice(2);
  const velmo = await require(path.resolve(modulePath))();
  const name = path.resolve(settings);
  const run = velmo.runVelmo(name, fs.readFileSync(name));
  fs.writeSync(1, run.console);
  if (run.document !== null) fs.writeFileSync(run.document.name, run.document.bytes);
  process.exitCode = run.status;
}

main();
