// The page around the module: the settings file's bytes in, the console's
// text and the document out. A file opened or dropped is used byte for
// byte; once the text is edited, its bytes are those of a UTF-8 file of the
// text, as an editor would save it.
"use strict";
(function () {
  var $ = function (id) { return document.getElementById(id); };
  var exampleList = $("example"), nameField = $("file-name"), settingsText = $("settings");
  var runButton = $("run"), downloadButton = $("download"), printButton = $("print");
  var consoleBox = $("console"), documentFrame = $("document");
  var velmo = null;
  var settingsBytes = null;  // the exact bytes of a file, until the text is edited
  var written = null;        // the last document: its name and bytes
  // Its bytes as a link to save, kept until the next run: a browser may
  // still be reading them after the click.
  var downloadUrl = null;

  function fromBase64(text) {
    var binary = atob(text), bytes = new Uint8Array(binary.length);
    for (var i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  /// The text a settings file shows in an editor: UTF-16 by its byte-order
  /// mark, else UTF-8.
  function textOf(bytes) {
    var encoding = bytes[0] === 0xFF && bytes[1] === 0xFE ? "utf-16le"
                 : bytes[0] === 0xFE && bytes[1] === 0xFF ? "utf-16be" : "utf-8";
    return new TextDecoder(encoding).decode(bytes);
  }

  function baseName(path) {
    return path.slice(path.lastIndexOf("/") + 1);
  }

  function escapeHtml(text) {
    return text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;");
  }

  function useSettingsFile(name, bytes) {
    nameField.value = name;
    settingsText.value = textOf(bytes);
    settingsBytes = bytes;
  }

  /// The document as a reader sees it: the HTML with velmo.css in place of
  /// the style sheet it imports from beside it, the text table as it is.
  function shownDocument(name, bytes) {
    if (/\.txt$/i.test(name)) {
      return "<!DOCTYPE html><meta charset=\"utf-8\"><style>pre { margin: 0.5em; font: 13px/1.35 Menlo, " +
             "Consolas, \"DejaVu Sans Mono\", monospace; }</style><pre>" +
             escapeHtml(new TextDecoder("utf-8").decode(bytes)) + "</pre>";
    }
    // Velmo's HTML is ISO 8859-1, its other characters as references.
    var html = new TextDecoder("windows-1252").decode(bytes);
    if (/\.i$/i.test(name)) return "<!DOCTYPE html><meta charset=\"utf-8\"><style>" + VELMO_CSS + "</style>" + html;
    return html.replace(/@import url\(velmo\.css\);/, function () { return VELMO_CSS; });
  }

  function run() {
    if (velmo === null) return;
    var name = nameField.value;
    var bytes = settingsBytes !== null ? settingsBytes : new TextEncoder().encode(settingsText.value);
    var result = velmo.runVelmo(name, bytes);
    consoleBox.textContent = new TextDecoder("utf-8").decode(result.console);
    written = result.document;
    if (downloadUrl !== null) URL.revokeObjectURL(downloadUrl);
    downloadUrl = null;
    downloadButton.disabled = printButton.disabled = written === null;
    documentFrame.srcdoc = written !== null && written.shown ? shownDocument(written.name, written.bytes) : "";
  }

  function download() {
    if (written === null) return;
    if (downloadUrl === null) {
      downloadUrl = URL.createObjectURL(new Blob([written.bytes], { type: "application/octet-stream" }));
    }
    var link = document.createElement("a");
    link.href = downloadUrl;
    link.download = baseName(written.name);
    document.body.appendChild(link);
    link.click();
    link.remove();
  }

  function print() {
    try {
      documentFrame.contentWindow.print();
    } catch (denied) {
      window.print();
    }
  }

  function openFile(file) {
    file.arrayBuffer().then(function (buffer) {
      useSettingsFile(file.name, new Uint8Array(buffer));
      run();
    });
  }

  VELMO_EXAMPLES.forEach(function (example, index) {
    exampleList.add(new Option(example.name, String(index)));
  });
  exampleList.addEventListener("change", function () {
    var example = VELMO_EXAMPLES[Number(exampleList.value)];
    useSettingsFile(example.name, fromBase64(example.bytes));
    run();
  });
  settingsText.addEventListener("input", function () { settingsBytes = null; });
  $("open-file").addEventListener("change", function (event) {
    if (event.target.files.length > 0) openFile(event.target.files[0]);
  });
  document.addEventListener("dragover", function (event) {
    event.preventDefault();
    document.body.classList.add("dragging");
  });
  document.addEventListener("dragleave", function () { document.body.classList.remove("dragging"); });
  document.addEventListener("drop", function (event) {
    event.preventDefault();
    document.body.classList.remove("dragging");
    if (event.dataTransfer.files.length > 0) openFile(event.dataTransfer.files[0]);
  });
  document.addEventListener("keydown", function (event) {
    if (event.key === "Enter" && (event.ctrlKey || event.metaKey)) {
      event.preventDefault();
      run();
    }
  });
  runButton.addEventListener("click", run);
  downloadButton.addEventListener("click", download);
  printButton.addEventListener("click", print);

  var first = VELMO_EXAMPLES[0];
  useSettingsFile(first.name, fromBase64(first.bytes));
  runButton.disabled = true;
  // For the speed figures: when the first table was there (milliseconds
  // since the page began to load).
  window.velmoPage = { firstTableAt: null };
  VelmoModule().then(function (module) {
    velmo = module;
    runButton.disabled = false;
    run();
    window.velmoPage.firstTableAt = performance.now();
  });
})();
