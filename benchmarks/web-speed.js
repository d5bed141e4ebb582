// The browser edition's speed: the largest page (as benchmarks/page-vs-cat
// makes it) computed and written in memory by the WebAssembly module under
// node and in headless Chromium, against the native program writing it as
// a whole process; and how long the page takes from opening to its first
// table. Medians of RUNS runs after a first one, which is reported apart;
// under node also the module's run without handing the document out.
// Usage: node benchmarks/web-speed.js [-n RUNS] NATIVE-PROGRAM
//        (run from the project, after the web and native presets are built,
//        and npm ci in tests/browser/web)
"use strict";
const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");

const root = path.resolve(__dirname, "..");
let args = process.argv.slice(2);
let runs = 21;
if (args[0] === "-n") {
  runs = Number(args[1]);
  args = args.slice(2);
}
const native = path.resolve(args[0]);
const page = path.join(root, "build/web/velmo.html");
const { chromium } = require(path.join(root, "tests/browser/web/node_modules/playwright-core"));

/// printf's %.Ng for the numbers of this table.
const g = (x, digits) => String(Number(x.toPrecision(digits)));
const range = (n, f) => Array.from({ length: n }, (_, i) => f(i)).join(" ");
const largest = [
  "[VELMO]", "CoC=0.03",
  "Distance=" + range(63, (i) => g(0.6 * 1.0722 ** i, 4)) + " N",
  "Aperture=" + range(64, (i) => g(1 + i * 0.5, 3)),
  "Focal=" + range(64, (i) => g(50 + i * 0.15, 4)), "",
].join("\n");

const median = (times) => [...times].sort((a, b) => a - b)[Math.floor(times.length / 2)];

/// Times `once` RUNS + 1 times: the first, and the median of the rest.
async function timed(once) {
  const times = [];
  for (let i = 0; i <= runs; ++i) {
    const start = performance.now();
    await once();
    times.push(performance.now() - start);
  }
  return { first: times[0], median: median(times.slice(1)) };
}

/// The largest page run and shown by the page as a user runs it: from Run
/// to its first block and to its last, and the page's longest task.
async function showLargest(browser) {
  const tab = await browser.newPage({ viewport: { width: 1280, height: 900 } });
  await tab.goto("file://" + page);
  await tab.waitForFunction(() => window.velmoPage.shownAt !== null);
  await tab.fill("#file-name", "largest.ini");
  await tab.fill("#settings", largest);
  const start = await tab.evaluate(() => {
    window.longest = 0;
    new PerformanceObserver((list) => {
      for (const task of list.getEntries()) window.longest = Math.max(window.longest, task.duration);
    }).observe({ type: "longtask" });
    return performance.now();
  });
  await tab.click("#run");
  await tab.waitForFunction(() => window.velmoPage.shownAt !== null);
  const times = await tab.evaluate(() => ({ first: window.velmoPage.firstTableAt, all: window.velmoPage.shownAt, longest: window.longest }));
  await tab.close();
  return { first: times.first - start, all: times.all - start, longest: times.longest };
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "velmo-speed-"));
  fs.writeFileSync(path.join(work, "largest.ini"), largest);
  const bytes = new TextEncoder().encode(largest);
  const results = {};
  results.native = await timed(() => spawnSync(native, ["largest.ini"], { cwd: work, input: "", env: { PATH: "/nonexistent" } }));
  const velmo = await require(path.join(root, "build/web/velmo.js"))();
  let size = 0;
  results.node = await timed(() => { size = velmo.runVelmo("largest.ini", bytes).document.bytes.length; });
  // The module's own work, without the copy of the document out of its
  // memory into a buffer of the caller's: where that buffer gets fresh
  // pages from the system, the copy is most of the difference to native.
  const name = velmo._malloc(32), input = velmo._malloc(bytes.length);
  velmo.stringToUTF8("largest.ini", name, 32);
  velmo.HEAPU8.set(bytes, input);
  results["node, no copy"] = await timed(() => velmo._velmo_run(name, input, bytes.length));

  const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--no-first-run"],
  });
  const opened = [];
  for (let i = 0; i <= Math.min(runs, 10); ++i) {
    const tab = await browser.newPage();
    await tab.goto("file://" + page);
    await tab.waitForFunction(() => window.velmoPage.firstTableAt !== null);
    opened.push(await tab.evaluate(() => window.velmoPage.firstTableAt));
    await tab.close();
  }
  const shown = [];
  for (let i = 0; i <= Math.min(runs, 5); ++i) shown.push(await showLargest(browser));
  const tab = await browser.newPage();
  await tab.goto("file://" + page);
  const inPage = await tab.evaluate(async ({ text, runs }) => {
    // The page runs the module in a worker; here it runs on the page's own
    // thread, timed without the messages.
    const script = document.createElement("script");
    script.textContent = document.getElementById("velmo-module").textContent;
    document.head.append(script);
    const velmo = await VelmoModule();
    const bytes = new TextEncoder().encode(text), times = [];
    for (let i = 0; i <= runs; ++i) {
      const start = performance.now();
      velmo.runVelmo("largest.ini", bytes);
      times.push(performance.now() - start);
    }
    return times;
  }, { text: largest, runs });
  results.chromium = { first: inPage[0], median: median(inPage.slice(1)) };
  await browser.close();
  fs.rmSync(work, { recursive: true, force: true });

  console.log(`the largest page (${size} bytes), ${runs} runs after a first:`);
  for (const [where, t] of Object.entries(results)) {
    console.log(`  ${where.padEnd(13)} median ${t.median.toFixed(1)} ms (${(t.median / results.native.median).toFixed(2)}x native), first ${t.first.toFixed(1)} ms`);
  }
  console.log(`the page from opening to its first table: median ${median(opened.slice(1)).toFixed(0)} ms, first ${opened[0].toFixed(0)} ms`);
  const shownMedian = (key) => median(shown.map((times) => times[key])).toFixed(0);
  console.log(`the largest page in the page, from Run: first block median ${shownMedian("first")} ms, all of it ` +
              `${shownMedian("all")} ms, longest task ${shownMedian("longest")} ms (worst ${Math.max(...shown.map((t) => t.longest)).toFixed(0)} ms)`);
}

main();
