// The browser edition's page in Debian's Chromium, opened from disk as a
// user opens it: it must write the desktop program's bytes, show them, and
// ask nothing of any server.
// Usage: node page_test.js PAGE NATIVE-PROGRAM          (the tests)
//        node page_test.js PAGE NATIVE-PROGRAM --screenshots DIR
// Exits 77 (skipped) where Chromium or playwright-core is not installed.
"use strict";
const assert = require("node:assert/strict");
const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const test = require("node:test");

const kChromium = "/usr/bin/chromium";
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

async function openPage(browser, viewport) {
  const page = await browser.newPage({ viewport: viewport || { width: 1280, height: 900 } });
  const requests = [];
  const errors = [];
  page.on("request", (request) => requests.push(request.url()));
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto("file://" + path.resolve(pagePath));
  await page.waitForFunction(() => /Done\./.test(document.getElementById("console").textContent));
  return { page, requests, errors };
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
}

async function takeScreenshots(browser) {
  for (const width of [390, 1280]) {
    const { page } = await openPage(browser, { width, height: width < 600 ? 1100 : 900 });
    await page.screenshot({ path: path.join(screenshotDir, "velmo-web-" + width + ".png") });
  }
}

async function main() {
  const browser = await chromium.launch({
    executablePath: kChromium,
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--no-first-run"],
  });
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
    const frame = await (await page.$("#document")).contentFrame();
    assert.equal(await frame.$eval("td.FOCAL", (cell) => getComputedStyle(cell).backgroundColor), "rgb(47, 79, 111)");
  });

  test("every example gives the desktop's document; the text table is shown as it is", async () => {
    const { page } = await openPage(browser);
    const names = await page.$$eval("#example option", (options) => options.map((option) => option.textContent));
    assert.equal(names.length, fs.readdirSync(path.join(__dirname, "../../../examples")).filter((f) => f.endsWith(".ini")).length);
    for (const name of names) {
      await page.selectOption("#example", { label: name });
      const native = await expectSameAsNative(page, name, fs.readFileSync(path.join(__dirname, "../../../examples", name)));
      if (native.document.name.endsWith(".txt")) {
        // The text table as it is, but for its line ends: a browser reads
        // any text with LF.
        const frame = await (await page.$("#document")).contentFrame();
        assert.equal(await frame.textContent("pre"), native.document.bytes.toString("utf8").replace(/\r\n/g, "\n"));
      }
    }
  });

  test("typed text is a UTF-8 file of that text", async () => {
    const { page } = await openPage(browser);
    const comment = "Schärfentiefe für 50 mm — ∞";
    const text = "[VELMO]\nComment=" + comment + "\nDistance=1 3 N\nAperture=2 8\nFocal=50\n";
    await run(page, "typed.ini", text);
    await expectSameAsNative(page, "typed.ini", Buffer.from(text, "utf8"));
    const frame = await (await page.$("#document")).contentFrame();
    assert.match(await frame.textContent("body"), new RegExp(comment));
  });

  test("a file opened or dropped is used byte for byte", async () => {
    const { page } = await openPage(browser);
    const bytes = Buffer.concat([Buffer.from([0xff, 0xfe]),
      Buffer.from("[VELMO]\r\nTableOnly=1\r\nComment=Ærø\r\nDistance=2 N\r\nAperture=4\r\nFocal=35\r\n", "utf16le")]);
    await page.setInputFiles("#open-file", { name: "wide.ini", mimeType: "text/plain", buffer: bytes });
    await page.waitForFunction(() => /wide\.i\b/.test(document.getElementById("console").textContent));
    await expectSameAsNative(page, "wide.ini", bytes);
    // A file dropped on the page, in a text the browser could not decode.
    const latin = Buffer.from("[VELMO]\r\nComment=Sch\xe4rfe\r\nDistance=3 N\r\nAperture=8\r\nFocal=28\r\n", "latin1");
    await page.evaluate((data) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([new Uint8Array(data)], "dropped.ini"));
      document.body.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, [...latin]);
    await page.waitForFunction(() => /dropped\.html/.test(document.getElementById("console").textContent));
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

  test("fits a phone's width", async () => {
    const { page } = await openPage(browser, { width: 390, height: 844 });
    assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 390));
  });
}

main();
