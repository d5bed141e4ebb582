// The page around the module: the settings file's bytes in, the console's
// text and the document out. A file opened or dropped is used byte for
// byte; once the text is edited (in the box or through the form), its
// bytes are those of a UTF-8 file of the text, as an editor would save it.

/* global KitForm -- kit_form.js */
/* global ShownDocument -- shown_document.js */
/* global savedKits, saveKit, deleteKit, kitNamed, keepEditing, editedKit, shareLink, sharedKit -- kits.js */
/* global VELMO_CSS, VELMO_EXAMPLES, VelmoModule, velmoAnswer -- page.html and its other scripts */

// A settings file is a few lines; a larger file is refused before it is
// read, so that a wrong file never freezes the page.
const kLargestSettingsFile = 1024 * 1024;

const $ = (id) => document.getElementById(id);

function fromBase64(text) {
  return Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
}

/// The text a settings file shows in an editor: UTF-16 by its byte-order
/// mark, else UTF-8.
function textOf(bytes) {
  const encoding = bytes[0] === 0xFF && bytes[1] === 0xFE ? "utf-16le"
                 : bytes[0] === 0xFE && bytes[1] === 0xFF ? "utf-16be" : "utf-8";
  return new TextDecoder(encoding).decode(bytes);
}

function baseName(path) {
  return path.slice(path.lastIndexOf("/") + 1);
}

/// The module, in a worker where the browser gives one, else in the page.
/// `ask(request)` answers as velmoAnswer does.
function startEngine() {
  const moduleText = $("velmo-module").textContent, workerText = $("velmo-worker").textContent;
  const pending = new Map();
  let next = 0, inPage = null;
  const runInPage = () => {
    if (inPage === null) {
      const script = document.createElement("script");
      script.textContent = moduleText + "\n" + workerText;
      document.head.append(script);
      inPage = VelmoModule();
    }
    for (const [id, { request, resolve }] of pending) {
      inPage.then((velmo) => resolve(velmoAnswer(velmo, request).reply));
      pending.delete(id);
    }
  };
  let worker = null;
  try {
    worker = new Worker(URL.createObjectURL(new Blob([moduleText, "\n", workerText], { type: "text/javascript" })));
    worker.onmessage = (event) => {
      pending.get(event.data.id).resolve(event.data);
      pending.delete(event.data.id);
    };
    worker.onerror = () => {
      worker = null;
      runInPage();
    };
  } catch (refused) {
    worker = null;
  }
  return {
    ask(request) {
      return new Promise((resolve) => {
        pending.set(++next, { request, resolve });
        if (worker !== null) worker.postMessage({ ...request, id: next });
        else runInPage();
      });
    },
  };
}

const nameField = $("file-name"), settingsText = $("settings"), consoleBox = $("console");
const runButton = $("run"), downloadButton = $("download"), printButton = $("print"), shareButton = $("share");
const progress = $("progress");
const engine = startEngine();
const form = new KitForm((text) => {
  settingsText.value = text;
  edited();
});
const shown = new ShownDocument($("document"), VELMO_CSS, (done, all) => {
  progress.textContent = done < all ? "Showing the document: " + Math.round((100 * done) / all) + " %" : "";
  if (window.velmoPage.firstTableAt === null) {
    window.velmoPage.firstTableAt = performance.now();
    // The document's first rows in view, wherever the user started the
    // run; only now is the page long enough to scroll there.
    if (revealDocument && $("document-heading").getBoundingClientRect().top > window.innerHeight / 2) {
      $("document-heading").scrollIntoView({ block: "start" });
    }
  }
  if (done === all) window.velmoPage.shownAt = performance.now();
});
let settingsBytes = null;  // the exact bytes of a file, until the text is edited
let written = null;        // the last document: its name and bytes
// Its bytes as a link to save, kept until the next run: a browser may
// still be reading them after the click.
let downloadUrl = null;
let checkTimer = null;
let revealDocument = false;  // the run was the user's: show its document

// For the tests and the speed figures: when the first piece of the last
// document was shown, and all of it (milliseconds since the page began).
window.velmoPage = { firstTableAt: null, shownAt: null };

function currentBytes() {
  return settingsBytes !== null ? settingsBytes : new TextEncoder().encode(settingsText.value);
}

/// After every change: the form and the findings follow, and the settings
/// are kept for the next visit.
function changed() {
  keepEditing(nameField.value, currentBytes());
  clearTimeout(checkTimer);
  checkTimer = setTimeout(async () => {
    form.showFindings((await engine.ask({ type: "check", bytes: currentBytes() })).findings);
  }, 120);
}

function edited() {
  settingsBytes = null;
  changed();
}

function useSettingsFile(name, bytes) {
  nameField.value = name;
  settingsText.value = textOf(bytes);
  settingsBytes = bytes;
  form.fill(settingsText.value);
  changed();
}

/// Runs Velmo on the settings; `reveal`: then scrolls to the document.
async function run(reveal = true) {
  revealDocument = reveal;
  runButton.disabled = true;
  progress.textContent = "Running…";
  window.velmoPage.firstTableAt = window.velmoPage.shownAt = null;
  const { run: result } = await engine.ask({ type: "run", name: nameField.value, bytes: currentBytes() });
  runButton.disabled = false;
  consoleBox.textContent = new TextDecoder("utf-8").decode(result.console);
  written = result.document;
  if (downloadUrl !== null) URL.revokeObjectURL(downloadUrl);
  downloadUrl = null;
  downloadButton.disabled = printButton.disabled = written === null;
  $("document-heading").textContent = written === null ? "Document" : "Document: " + baseName(written.name);
  if (written === null || !written.shown) {
    shown.clear();
    progress.textContent = "";
    return;
  }
  await shown.show(written.name, written.bytes);
}

function download() {
  if (written === null) return;
  if (downloadUrl === null) {
    downloadUrl = URL.createObjectURL(new Blob([written.bytes], { type: "application/octet-stream" }));
  }
  const link = document.createElement("a");
  link.href = downloadUrl;
  link.download = baseName(written.name);
  document.body.append(link);
  link.click();
  link.remove();
}

async function openFile(file) {
  const note = $("open-note");
  note.textContent = "";
  if (file.size > kLargestSettingsFile) {
    note.textContent = file.name + " is " + (file.size / 1048576).toFixed(1) + " MB: a settings file is a few " +
      "lines, and the page opens none over 1 MB.";
    return;
  }
  try {
    useSettingsFile(file.name, new Uint8Array(await file.arrayBuffer()));
  } catch (failed) {
    note.textContent = file.name + " could not be read: " + failed.message;
    return;
  }
  run();
}

async function share() {
  const link = shareLink(nameField.value, currentBytes());
  const field = $("share-link");
  field.value = link;
  field.hidden = false;
  field.select();
  try {
    if (navigator.share) await navigator.share({ title: "Velmo: " + nameField.value, url: link });
    else await navigator.clipboard.writeText(link);
  } catch (declined) {
    // The link stays in its field, to be copied by hand.
  }
}

function listKits() {
  const list = $("kit-list");
  list.length = 1;
  for (const kitName of Object.keys(savedKits()).sort()) list.add(new Option(kitName, kitName));
}

function wireKits() {
  listKits();
  $("kit-list").addEventListener("change", () => {
    const kit = kitNamed($("kit-list").value);
    if (kit !== null) useSettingsFile(kit.name, kit.bytes);
  });
  $("kit-save").addEventListener("click", () => {
    const kitName = $("kit-name").value.trim() || nameField.value;
    saveKit(kitName, nameField.value, currentBytes());
    listKits();
    $("kit-list").value = kitName;
  });
  $("kit-delete").addEventListener("click", () => {
    if ($("kit-list").value === "") return;
    deleteKit($("kit-list").value);
    listKits();
  });
}

function wireFiles() {
  VELMO_EXAMPLES.forEach((example, index) => $("example").add(new Option(example.name, String(index))));
  $("example").addEventListener("change", () => {
    const example = VELMO_EXAMPLES[Number($("example").value)];
    useSettingsFile(example.name, fromBase64(example.bytes));
    run();
  });
  settingsText.addEventListener("input", () => {
    form.fill(settingsText.value);
    edited();
  });
  nameField.addEventListener("input", changed);
  $("open-file").addEventListener("change", (event) => {
    if (event.target.files.length > 0) openFile(event.target.files[0]);
  });
  // Entering and leaving the page's children fire events of their own: the
  // page is a drop target until the count comes back to none.
  let dragDepth = 0;
  document.addEventListener("dragenter", () => document.body.classList.toggle("dragging", ++dragDepth > 0));
  document.addEventListener("dragleave", () => document.body.classList.toggle("dragging", --dragDepth > 0));
  document.addEventListener("dragover", (event) => event.preventDefault());
  document.addEventListener("drop", (event) => {
    event.preventDefault();
    dragDepth = 0;
    document.body.classList.remove("dragging");
    if (event.dataTransfer.files.length > 0) openFile(event.dataTransfer.files[0]);
  });
}

/// Over http(s) the page is an app a phone installs and uses offline; from
/// disk it asks nothing of anyone.
function offerInstall() {
  if (location.protocol !== "https:" && location.protocol !== "http:") return;
  const manifest = document.createElement("link");
  manifest.rel = "manifest";
  manifest.href = "velmo.webmanifest";
  const touchIcon = document.createElement("link");
  touchIcon.rel = "apple-touch-icon";
  touchIcon.href = "velmo-192.png";
  document.head.append(manifest, touchIcon);
  navigator.serviceWorker?.register("velmo-sw.js").catch(() => {});
}

wireFiles();
wireKits();
document.addEventListener("keydown", (event) => {
  if (event.key === "Enter" && (event.ctrlKey || event.metaKey)) {
    event.preventDefault();
    run();
  }
});
runButton.addEventListener("click", () => run());
downloadButton.addEventListener("click", download);
printButton.addEventListener("click", () => window.print());
shareButton.addEventListener("click", share);
offerInstall();

const first = sharedKit() || editedKit();
if (first !== null) useSettingsFile(first.name, first.bytes);
else useSettingsFile(VELMO_EXAMPLES[0].name, fromBase64(VELMO_EXAMPLES[0].bytes));
engine.ask({ type: "formats" }).then(({ formats }) => form.setFormats(formats));
run(false);
