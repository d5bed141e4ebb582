// The document as a reader sees it, in the page itself (a shadow root keeps
// its style sheet and the page's apart): the HTML with velmo.css, the text
// table as it is. A large document appears a piece at a time, each piece
// in a task, so that the page never freezes; each focal length's block is
// a table of its own, which the browser lays out only when it comes into
// view and prints on one sheet where it fits one.

// A table in view grows by about kStepBytes of rows a task: the browser
// lays out a table in view whole, and one that grows by a few rows costs it
// far less than a large one laid out at once. Out of view, where it lays
// out nothing, about kPieceBytes of the document go in one task.
const kStepBytes = 16 * 1024;
const kPieceBytes = 48 * 1024;

/// velmo.css for the shown document: its rules for Velmo's own page apply
/// to the element that holds it (a shadow root has no body); each block is
/// a table in a box of its own that scrolls sideways, its distance column
/// held. Its borders are drawn separately, as the collapsed borders look:
/// the browser lays such a table out in half the time, which keeps the
/// largest block within a task a user does not notice. On a narrow screen
/// a chart keeps its size and scrolls with its table, so that its labels
/// stay readable.
function shownStyle(css) {
  return css.replace(/body:has\(/g, ".page:has(") + `
.page { overflow-wrap: anywhere; container-type: normal; }
.page .block { margin: 1em 0; overflow-x: auto; content-visibility: auto; contain-intrinsic-size: auto 40em; }
.page .block TABLE.DOF { display: table; margin: 0 auto; overflow: visible; border-collapse: separate; border-spacing: 0;
                         border-left: 1px solid #ccc; border-top: 1px solid #ccc; }
.page .block TABLE.DOF TD, .page .block TABLE.DOF TH { border-width: 0 1px 1px 0; }
.page .block TABLE.DOF TD.HYPER { border-top-width: 2px; }
.page .block TABLE.DOF TH.SPACER, .page .block TABLE.DOF TH.STACKS, .page .block TABLE.DOF TD.CHART { border: 0; }
.page PRE { margin: 0; font: 13px/1.35 Menlo, Consolas, "DejaVu Sans Mono", monospace; overflow-wrap: normal; }
@media screen and (max-width: 40em) {
  .page SVG.DOFCHART { width: 640px; max-width: none; position: static; }
}
@media print {
  .page .block { overflow: visible; break-inside: avoid; page-break-inside: avoid; }
}`;
}

/// The document's text cut into pieces to insert one by one: what comes
/// before the table, a table per focal length's block (a large block's
/// rows in groups, the later ones added to its table), what follows. Each
/// piece is { kind, text }, with the number of its block where it has one:
/// "html" goes after what is shown, "rows" into the last table, "text" is
/// a run of the text table's lines.
function documentPieces(name, bytes) {
  if (/\.txt$/i.test(name)) return textPieces(new TextDecoder("utf-8").decode(bytes));
  // Velmo's HTML is ISO 8859-1, its other characters as references; the
  // style sheet it imports is in place already.
  const html = new TextDecoder("windows-1252").decode(bytes).replace(/@import url\(velmo\.css\);/, "");
  const start = html.search(/<TABLE CLASS=DOF>/i);
  if (start < 0) return [{ kind: "html", text: html }];
  const bodyStart = start + "<TABLE CLASS=DOF>".length;
  const end = html.indexOf("</TABLE>", bodyStart);
  const pieces = [{ kind: "html", text: html.slice(0, start) }];
  html.slice(bodyStart, end).split(/<TR>\r?\n<TH CLASS=SPACER[^>]*>\r?\n/i).forEach((block, number) => {
    rowGroups(block).forEach((rows, index) => {
      pieces.push(index === 0 ? { kind: "html", text: "<div class=block><TABLE CLASS=DOF>" + rows + "</TABLE></div>", block: number }
                            : { kind: "rows", text: rows, block: number });
    });
  });
  pieces.push({ kind: "html", text: html.slice(end + "</TABLE>".length) });
  return pieces;
}

/// A block's rows in groups of about kStepBytes, each cut before a row.
function rowGroups(block) {
  const groups = [];
  for (let start = 0; start < block.length;) {
    const end = block.indexOf("<TR>", start + kStepBytes);
    groups.push(block.slice(start, end < 0 ? block.length : end));
    start = end < 0 ? block.length : end;
  }
  return groups;
}

/// The text table in pieces of whole lines.
function textPieces(text) {
  const pieces = [];
  for (let start = 0; start < text.length;) {
    let end = text.indexOf("\n", start + kPieceBytes);
    end = end < 0 ? text.length : end + 1;
    pieces.push({ kind: "text", text: text.slice(start, end).replace(/\r\n/g, "\n") });
    start = end;
  }
  return pieces;
}

/// Whether `piece` lands in view or within two screens below it, where the
/// browser lays it out at once (Chromium lays out what lies within one and
/// a half): rows where their block's table begins, anything else at the end
/// of what is shown.
function landsInView(page, piece) {
  const where = piece.kind === "rows" ? page.lastElementChild : page;
  const rect = where.getBoundingClientRect();
  return (piece.kind === "rows" ? rect.top : rect.bottom) < 3 * window.innerHeight;
}

function nextTask() {
  return new Promise((resolve) => setTimeout(resolve, 0));
}

/// A task after the browser's next frame (which a hidden page holds back:
/// what it shows goes on when the reader looks again).
function afterNextFrame() {
  return new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
}

class ShownDocument {
  constructor(host, css, onProgress) {
    this.root = host.attachShadow({ mode: "open" });
    this.css = shownStyle(css);
    this.onProgress = onProgress;
    this.generation = 0;
  }

  clear() {
    ++this.generation;
    this.root.replaceChildren();
  }

  /// Shows the document `name` of `bytes`, a piece or a few a task. A
  /// later call stops an earlier one.
  async show(name, bytes) {
    this.clear();
    const generation = this.generation;
    const style = document.createElement("style");
    style.textContent = this.css;
    const page = document.createElement("div");
    page.className = "page";
    page.lang = "en";
    this.root.append(style, page);
    // Reading the document is a task of its own, and so is every piece of
    // the first block (a run brings it into view) and every piece that
    // lands in or near the reader's view; further down, pieces go several
    // a task.
    const pieces = documentPieces(name, bytes);
    let alone = false;
    for (let shown = 0; shown < pieces.length;) {
      // After a piece in view the browser shows it before the next comes:
      // else several steps could meet in one frame, laid out at once.
      await (alone ? afterNextFrame() : nextTask());
      if (generation !== this.generation) return;
      alone = pieces[shown].block === 0 || landsInView(page, pieces[shown]);
      let size = 0;
      do {
        this.insert(page, pieces[shown]);
        size += pieces[shown].text.length;
        ++shown;
      } while (!alone && shown < pieces.length && size + pieces[shown].text.length < kPieceBytes);
      this.onProgress(shown, pieces.length);
    }
  }

  insert(page, piece) {
    if (piece.kind === "text") {
      const pre = document.createElement("pre");
      pre.textContent = piece.text;
      page.append(pre);
    } else if (piece.kind === "rows") {
      const tables = page.querySelectorAll("table.DOF");
      tables[tables.length - 1].tBodies[0].insertAdjacentHTML("beforeend", piece.text);
    } else {
      page.insertAdjacentHTML("beforeend", piece.text);
      // The document's links open beside the app, never in its place.
      for (const link of page.querySelectorAll("a[href]:not([target])")) {
        link.target = "_blank";
        link.rel = "noopener";
      }
    }
  }
}
