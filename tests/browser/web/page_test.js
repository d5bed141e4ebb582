// The browser edition's page in Debian's Chromium, opened from disk as a
// user opens it (and served over http, as an app a phone installs): it must
// write the desktop program's bytes, show them, ask nothing of any server,
// and be usable on a phone.
// Usage: node page_test.js PAGE NATIVE-PROGRAM          (the tests)
//        node page_test.js PAGE NATIVE-PROGRAM --screenshots DIR
// Exits 77 (skipped) where Chromium or playwright-core is not installed.
"use strict";
const assert = require("node:assert/strict");
const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const http = require("node:http");
const os = require("node:os");
const path = require("node:path");
const test = require("node:test");

const kChromium = "/usr/bin/chromium";
// A phone as Chromium emulates one: its width, its pixels, its touch.
const kPhone = { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const kExamplesDir = path.join(__dirname, "../../../examples");
const kChromiumArguments = ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
                            "--disable-component-update", "--disable-sync", "--no-first-run"];
const [pagePath, nativeArgument, option, screenshotDir] = process.argv.slice(2);
const nativeProgram = path.resolve(nativeArgument);
let chromium;
try {
  ({ chromium } = require("playwright-core"));
} catch (missing) {
  console.log("playwright-core is not installed (npm ci in " + __dirname + "): the page is not tested");
  process.exit(77);
}
if (!fs.existsSync(kChromium)) {
  console.log("Chromium is not installed at " + kChromium + " (apt-get install chromium)");
  process.exit(77);
}

/// The desktop program on `bytes` saved as `name`: its console text, with
/// the directory as the browser's root, and its document.
function runNative(name, bytes) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "velmo-native-"));
  try {
    fs.writeFileSync(path.join(dir, name), bytes);
    const run = spawnSync(nativeProgram, [name], { cwd: dir, input: "", env: { PATH: "/nonexistent" } });
    const written = fs.readdirSync(dir).filter((file) => file !== name);
    return {
      status: run.status,
      console: run.stdout.toString("latin1").split(dir + "/").join("/"),
      document: written.length === 1 ? { name: written[0], bytes: fs.readFileSync(path.join(dir, written[0])) } : null,
    };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

async function openPage(browser, options, url) {
  const context = options && options.newPage ? options : await browser.newContext(options || { viewport: { width: 1280, height: 900 } });
  const page = await context.newPage();
  const requests = [];
  const errors = [];
  page.on("request", (request) => requests.push(request.url()));
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(url || "file://" + path.resolve(pagePath));
  await shownAfterRun(page);
  return { page, requests, errors, context };
}

/// Waits until the page's last run is done and its document shown.
async function shownAfterRun(page) {
  await page.waitForFunction(() => /Done\.|Exception/.test(document.getElementById("console").textContent) &&
                                   !document.getElementById("run").disabled &&
                                   (window.velmoPage.shownAt !== null || document.getElementById("download").disabled));
}

/// What the page shows and lets the user download after its last run.
async function shown(page) {
  const text = await page.textContent("#console");
  if (await page.isDisabled("#download")) return { console: text, document: null };
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#download")]);
  const bytes = fs.readFileSync(await download.path());
  return { console: text, document: { name: download.suggestedFilename(), bytes } };
}

/// The page's run agrees with the desktop's byte for byte.
async function expectSameAsNative(page, name, bytes) {
  const native = runNative(name, bytes);
  const web = await shown(page);
  assert.equal(web.console, native.console);
  assert.ok(native.document !== null, "the desktop wrote no document");
  assert.equal(web.document.name, native.document.name);
  assert.ok(web.document.bytes.equals(native.document.bytes), name + ": the downloaded bytes differ");
  return native;
}

async function run(page, name, text) {
  await page.fill("#file-name", name);
  await page.fill("#settings", text);
  await page.press("#settings", "Control+Enter");
  await shownAfterRun(page);
}

/// The findings the form shows, by the field they belong to.
async function findings(page) {
  await page.waitForTimeout(400);
  return page.$$eval(".finding", (notes) => Object.fromEntries(notes.filter((n) => n.textContent).map((n) => [n.id, n.textContent])));
}

/// The text of the shown text table.
function shownText(page) {
  return page.$$eval("#document pre", (pieces) => pieces.map((pre) => pre.textContent).join(""));
}

/// The largest table (64 focal lengths x 64 distances x 64 apertures), as
/// benchmarks/web-speed.js makes it.
function largestSettings() {
  const g = (x, digits) => String(Number(x.toPrecision(digits)));
  const range = (n, f) => Array.from({ length: n }, (_, i) => f(i)).join(" ");
  return ["[VELMO]", "CoC=0.03", "Distance=" + range(63, (i) => g(0.6 * 1.0722 ** i, 4)) + " N",
          "Aperture=" + range(64, (i) => g(1 + i * 0.5, 3)), "Focal=" + range(64, (i) => g(50 + i * 0.15, 4)), ""].join("\n");
}

/// Serves the page's folder on 127.0.0.1, as a static web host does.
async function serveApp() {
  const dir = path.dirname(path.resolve(pagePath));
  const types = { ".html": "text/html", ".js": "text/javascript", ".png": "image/png", ".webmanifest": "application/manifest+json" };
  const server = http.createServer((request, response) => {
    const file = path.join(dir, path.normalize(decodeURIComponent(new URL(request.url, "http://x").pathname)));
    if (!file.startsWith(dir + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { server, url: "http://127.0.0.1:" + server.address().port + "/" + path.basename(pagePath) };
}

/// The README's pictures: the app on a phone (Chromium's phone emulation:
/// its width, its pixels, its touch) before and after a run, on a desktop,
/// and a page written with Phone=1 as a phone shows it.
async function takeScreenshots(browser) {
  for (const [name, options] of [["390", kPhone], ["1280", { viewport: { width: 1280, height: 900 } }]]) {
    const { page } = await openPage(browser, options);
    await page.screenshot({ path: path.join(screenshotDir, "velmo-web-" + name + ".png") });
    if (name !== "390") continue;
    await page.tap("#run");
    await shownAfterRun(page);
    await page.screenshot({ path: path.join(screenshotDir, "velmo-web-" + name + "-run.png") });
  }
  const settings = fs.readFileSync(path.join(kExamplesDir, "aps-c-landscape.ini"), "latin1").replace("[VELMO]", "[VELMO]\nPhone=1");
  const written = runNative("aps-c-landscape.ini", Buffer.from(settings, "latin1")).document;
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "velmo-phone-"));
  fs.writeFileSync(path.join(dir, written.name), written.bytes);
  fs.copyFileSync(path.join(kExamplesDir, "velmo.css"), path.join(dir, "velmo.css"));
  const page = await (await browser.newContext(kPhone)).newPage();
  await page.goto("file://" + path.join(dir, written.name));
  await page.screenshot({ path: path.join(screenshotDir, "velmo-phone.png") });
  fs.rmSync(dir, { recursive: true, force: true });
}

async function main() {
  const browser = await chromium.launch({ executablePath: kChromium, args: kChromiumArguments });
  if (option === "--screenshots") {
    await takeScreenshots(browser);
    await browser.close();
    return;
  }
  test.after(() => browser.close());

  test("opens from disk, runs the first example at once and asks no server for anything", async () => {
    const { page, requests, errors } = await openPage(browser);
    const example = await page.inputValue("#file-name");
    await expectSameAsNative(page, example, Buffer.from(await page.inputValue("#settings")));
    assert.deepEqual(errors, []);
    assert.deepEqual(requests.filter((url) => !/^(file|blob|data):/.test(url)), []);
    // The page shown with velmo.css: the focal length's dark heading.
    assert.equal(await page.$eval("#document td.FOCAL", (cell) => getComputedStyle(cell).backgroundColor), "rgb(47, 79, 111)");
  });

  test("every example gives the desktop's document, also once the form has rewritten each of its fields", async () => {
    const { page } = await openPage(browser);
    const names = await page.$$eval("#example option", (options) => options.map((option) => option.textContent));
    assert.equal(names.length, fs.readdirSync(kExamplesDir).filter((f) => f.endsWith(".ini")).length);
    for (const name of names) {
      await page.selectOption("#example", { label: name });
      await shownAfterRun(page);
      const native = await expectSameAsNative(page, name, fs.readFileSync(path.join(kExamplesDir, name)));
      if (native.document.name.endsWith(".txt")) {
        // The text table as it is, but for its line ends: a browser reads
        // any text with LF.
        assert.equal(await shownText(page), native.document.bytes.toString("utf8").replace(/\r\n/g, "\n"));
      }
      // Each field typed again as the form shows it, each choice made
      // again: the settings the form writes make the same document.
      for (const field of await page.$$("#kit-form input[type=text]")) {
        if (!(await field.isVisible())) continue;
        await field.fill(await field.inputValue() + " ");
        await field.fill((await field.inputValue()).trim());
      }
      for (const list of ["#kit-format", "#kit-output", "#kit-units"]) {
        await page.$eval(list, (select) => select.dispatchEvent(new Event("change")));
      }
      const text = await page.inputValue("#settings");
      await run(page, name, text);
      assert.ok((await shown(page)).document.bytes.equals(native.document.bytes), name + ": the form changed the document");
    }
  });

  test("a kit entered in the form alone, by format name, gives the desktop's document", async () => {
    const { page } = await openPage(browser, kPhone);
    await page.fill("#settings", "");
    await page.dispatchEvent("#settings", "input");
    await page.fill("#file-name", "kit.ini");
    await page.fill("#kit-focal", "16 23 56");
    await page.fill("#kit-aperture", "2.8 5.6 8 11");
    await page.fill("#kit-distance", "1 2 3 5 10 20 30 N");
    await page.selectOption("#kit-format", "APS-C");
    await page.check("#kit-stack");
    assert.match(await page.textContent("#kit-format-coc"), /Circle of confusion 0\.0188 mm/);
    const text = await page.inputValue("#settings");
    assert.match(text, /^\[VELMO\]\nFocal=16 23 56\nAperture=2\.8 5\.6 8 11\nDistance=1 2 3 5 10 20 30 N\nFormat=APS-C\nStack=1\n$/);
    await page.click("#run");
    await shownAfterRun(page);
    await expectSameAsNative(page, "kit.ini", Buffer.from(text));
    // The 16 mm table leaves out 20 m and 30 m: the form says so.
    assert.match((await findings(page))["kit-distance-note"], /At 16 mm the table leaves out 20, 30: it shows distances from 10 to 990 focal lengths, 0\.16 to 15\.84 m\./);
  });

  test("typos that would change the numbers or end the run are named before the run", async () => {
    const { page } = await openPage(browser);
    const cases = [
      ["CoC=0,02", "kit-coc-note", /"0,02" is not a number .*the default, 0\.015, is used/],
      ["Units=foot", "kit-units-note", /"foot" is neither "ft" nor "feet": distances are in metres/],
      ["Format=APS", "kit-format-note", /"APS" is neither a format's name nor a width x height in mm/],
      ["Aperture=f/2.8", "kit-aperture-note", /"f\/2\.8" is not a number: the run ends with a failure report/],
      ["Focal=23mm", "kit-focal-note", /"23mm" is not a number/],
      ["Distance=1m 3", "kit-distance-note", /"1m" is not a number/],
      ["Distance=1 inf", "kit-distance-note", /"inf" is not a number.*N for infinity/],
      ["Aperture=2,8", "kit-aperture-note", /"2,8" is not a number/],
      ["Focal=16,23,56", "kit-focal-note", /"16,23,56" is not a number/],
    ];
    for (const [line, note, expected] of cases) {
      const key = line.slice(0, line.indexOf("="));
      const lists = ["Distance=1 3 N", "Aperture=4 8", "Focal=50"].filter((l) => !l.startsWith(key + "="));
      await page.fill("#settings", ["[VELMO]", line, ...lists, ""].join("\n"));
      await page.dispatchEvent("#settings", "input");
      assert.match((await findings(page))[note] || "", expected, line);
    }
  });

  test("a kit saved, the settings being edited, and a shared link survive a reload and give the same bytes", async () => {
    const { page, context } = await openPage(browser);
    const text = "[VELMO]\nComment=Trip kit\nFormat=Micro Four Thirds\nDistance=1 2 4 N\nAperture=2 4 8\nFocal=12 25\n";
    await run(page, "trip.ini", text);
    await page.fill("#kit-name", "Trip");
    await page.click("#kit-save");
    await page.click("#share");
    const link = await page.inputValue("#share-link");
    assert.match(link, /#name=trip\.ini&settings=[A-Za-z0-9_-]+$/);
    // Another text being edited when the page is closed comes back.
    await page.fill("#settings", text.replace("Trip kit", "Editing"));
    await page.dispatchEvent("#settings", "input");
    await page.reload();
    await shownAfterRun(page);
    assert.equal(await page.inputValue("#settings"), text.replace("Trip kit", "Editing"));
    await page.selectOption("#kit-list", "Trip");
    await page.click("#run");
    await shownAfterRun(page);
    await expectSameAsNative(page, "trip.ini", Buffer.from(text));
    // The link in a browser that never saw the kit.
    const { page: shared } = await openPage(browser, undefined, link);
    assert.equal(await shared.inputValue("#settings"), text);
    await expectSameAsNative(shared, "trip.ini", Buffer.from(text));
    await context.close();
  });

  test("served over http it installs as an app and works offline", async () => {
    const { server, url } = await serveApp();
    try {
      // Chromium installs nothing from an incognito window, which a new
      // context is: this one keeps a profile.
      const profile = fs.mkdtempSync(path.join(os.tmpdir(), "velmo-profile-"));
      const context = await chromium.launchPersistentContext(profile, { ...kPhone, executablePath: kChromium, args: kChromiumArguments });
      const { page } = await openPage(browser, context, url);
      await page.waitForFunction(async () => (await navigator.serviceWorker.ready).active !== null);
      const session = await context.newCDPSession(page);
      assert.deepEqual((await session.send("Page.getInstallabilityErrors")).installabilityErrors, []);
      const manifest = await session.send("Page.getAppManifest");
      assert.deepEqual(manifest.errors, []);
      await context.setOffline(true);
      await page.reload();
      await shownAfterRun(page);
      await expectSameAsNative(page, await page.inputValue("#file-name"), Buffer.from(await page.inputValue("#settings")));
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
    } finally {
      server.close();
    }
  });

  test("on a phone the table is in view after Run, every target is 48 px and every input 16 px", async () => {
    const { page } = await openPage(browser, kPhone);
    assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 390));
    const small = await page.$$eval("button, select, input, textarea, summary, label.check", (targets) => targets
      .filter((target) => target.offsetParent !== null && target.type !== "checkbox")
      .map((target) => [target.id || target.textContent.trim(), target.getBoundingClientRect().height,
                        parseFloat(getComputedStyle(target).fontSize)])
      .filter(([, height, font]) => height < 48 || font < 16));
    assert.deepEqual(small, []);
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.tap("#run");
    await shownAfterRun(page);
    const row = await page.$eval("#document table.DOF tr:nth-child(3)", (tr) => tr.getBoundingClientRect().toJSON());
    assert.ok(row.top >= 0 && row.bottom <= 844, "the first row at " + JSON.stringify(row));
    // The chart's labels stay readable: drawn at their own size, scrolled.
    await page.selectOption("#example", { label: "feet-chart.ini" });
    await shownAfterRun(page);
    assert.ok(await page.$eval("#document svg.DOFCHART", (svg) => svg.getBoundingClientRect().width) >= 600);
  });

  test("the largest table shows its first block within 1 s and never holds the page over 200 ms", async () => {
    const { page } = await openPage(browser);
    await page.evaluate(() => {
      window.longTasks = [];
      new PerformanceObserver((list) => window.longTasks.push(...list.getEntries().map((task) => task.duration)))
        .observe({ type: "longtask" });
    });
    await page.fill("#file-name", "largest.ini");
    await page.fill("#settings", largestSettings());
    const start = await page.evaluate(() => performance.now());
    await page.click("#run");
    await page.waitForFunction(() => window.velmoPage.shownAt !== null, null, { timeout: 60000 });
    const times = await page.evaluate(() => ({ first: window.velmoPage.firstTableAt, tasks: window.longTasks }));
    assert.ok(times.first - start < 1000, "first block after " + (times.first - start) + " ms");
    assert.deepEqual(times.tasks.filter((duration) => duration > 200), []);
    assert.equal(await page.$$eval("#document table.DOF", (tables) => tables.length), 64);
    await expectSameAsNative(page, "largest.ini", Buffer.from(largestSettings()));
    // A file far larger than any settings file is refused, not read.
    await page.setInputFiles("#open-file", { name: "huge.ini", mimeType: "text/plain", buffer: Buffer.alloc(2 << 20, 32) });
    assert.match(await page.textContent("#open-note"), /huge\.ini is 2\.0 MB: .* none over 1 MB/);
    assert.equal(await page.inputValue("#file-name"), "largest.ini");
  });

  test("printing prints the document alone, each block on one sheet where it fits one", async () => {
    const { page } = await openPage(browser);
    await page.selectOption("#example", { label: "aps-c-landscape.ini" });
    await shownAfterRun(page);
    await page.emulateMedia({ media: "print" });
    const visible = await page.$$eval("body *:not(script)", (all) => all
      .filter((e) => e.getRootNode() === document && e.getClientRects().length > 0).map((e) => e.tagName + "#" + e.id));
    assert.deepEqual(visible, ["MAIN#", "SECTION#", "DIV#document"]);
    const pdftotext = spawnSync("pdftotext", ["-v"]);
    if (pdftotext.error) return;  // Debian's poppler-utils reads the sheets
    for (const format of ["A4", "Letter"]) {
      const sheets = spawnSync("pdftotext", ["-layout", "-", "-"], { input: await page.pdf({ format }) }).stdout.toString().split("\f");
      assert.ok(sheets.length > 2, format);
      for (const sheet of sheets.slice(1).filter((text) => text.trim() !== "")) {
        const first = sheet.split("\n").find((line) => line.trim() !== "").trim();
        assert.match(first, /^F = \d+\.\d mm|^Generated with/, format + " sheet starts with " + first);
      }
    }
  });

  test("the app and the shown document have no serious accessibility fault; links open beside the app", async () => {
    const { page } = await openPage(browser);
    await page.addScriptTag({ path: require.resolve("axe-core/axe.min.js") });
    const results = await page.evaluate(() => axe.run(document, { resultTypes: ["violations"] }));
    const serious = results.violations.filter((v) => v.impact === "serious" || v.impact === "critical")
      .map((v) => v.id + ": " + v.nodes.map((n) => n.target.join(" ")).join(", "));
    assert.deepEqual(serious, []);
    assert.equal(await page.$eval("#document a[href]", (link) => link.target), "_blank");
    assert.equal(await page.$eval("#document .page", (shownPage) => shownPage.lang), "en");
    assert.equal(await page.$$eval("main", (mains) => mains.length), 1);
  });

  test("where the browser gives the page no worker, the page runs the module itself", async () => {
    const context = await browser.newContext();
    await context.addInitScript(() => { window.Worker = function () { throw new Error("no workers here"); }; });
    const { page, errors } = await openPage(browser, context);
    await expectSameAsNative(page, await page.inputValue("#file-name"), Buffer.from(await page.inputValue("#settings")));
    assert.deepEqual(errors, []);
    await context.close();
  });

  test("typed text is a UTF-8 file of that text", async () => {
    const { page } = await openPage(browser);
    const comment = "Schärfentiefe für 50 mm — ∞";
    const text = "[VELMO]\nComment=" + comment + "\nDistance=1 3 N\nAperture=2 8\nFocal=50\n";
    await run(page, "typed.ini", text);
    await expectSameAsNative(page, "typed.ini", Buffer.from(text, "utf8"));
    assert.match(await page.textContent("#document .page"), new RegExp(comment));
  });

  test("a file opened or dropped is used byte for byte", async () => {
    const { page } = await openPage(browser);
    const bytes = Buffer.concat([Buffer.from([0xff, 0xfe]),
      Buffer.from("[VELMO]\r\nTableOnly=1\r\nComment=Ærø\r\nDistance=2 N\r\nAperture=4\r\nFocal=35\r\n", "utf16le")]);
    await page.setInputFiles("#open-file", { name: "wide.ini", mimeType: "text/plain", buffer: bytes });
    await page.waitForFunction(() => /wide\.i\b/.test(document.getElementById("console").textContent));
    await shownAfterRun(page);
    await expectSameAsNative(page, "wide.ini", bytes);
    // A file dropped on the page, in a text the browser could not decode.
    const latin = Buffer.from("[VELMO]\r\nComment=Sch\xe4rfe\r\nDistance=3 N\r\nAperture=8\r\nFocal=28\r\n", "latin1");
    await page.evaluate((data) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([new Uint8Array(data)], "dropped.ini"));
      document.body.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, [...latin]);
    await page.waitForFunction(() => /dropped\.html/.test(document.getElementById("console").textContent));
    await shownAfterRun(page);
    await expectSameAsNative(page, "dropped.ini", latin);
  });

  test("a failure report names the module and its position, and nothing is offered", async () => {
    const { page } = await openPage(browser);
    const text = "[VELMO]\nDistance=1 1E1000\nAperture=2\nFocal=50\n";
    await run(page, "huge.ini", text);
    const web = await shown(page);
    const native = runNative("huge.ini", Buffer.from(text));
    assert.equal(web.document, null);
    assert.match(web.console, /\nException Error in module velmo\.wasm at [0-9A-F]{8}\.\r\nValue too large\.\r\n/);
    assert.doesNotMatch(web.console, / at 00000000\./);
    const position = /module \S+ at [0-9A-F]{8}/;
    assert.equal(web.console.replace(position, "POSITION"), native.console.replace(position, "POSITION"));
  });
}

main();
