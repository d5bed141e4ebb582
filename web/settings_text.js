// The settings file as text, read and changed key by key as the desktop
// program reads it: the first [VELMO] section, names without regard to
// letter case, blanks around names and values not counting, a value
// perhaps in quotation marks, lines starting with ";" or "#" comments.
// A change touches one line and keeps every other line as it was.

const kSection = "velmo";

/// The lines of `text`, each with its line end.
function linesOf(text) {
  return text.match(/[^\r\n]*(\r\n|\r|\n|$)/g).filter((line, index, all) => line !== "" || index < all.length - 1);
}

/// Where the section is: the index of its heading line and of the line
/// after its last line; null when the text has none.
function sectionRange(lines) {
  let start = null;
  for (let i = 0; i < lines.length; ++i) {
    const line = lines[i].trim();
    if (!line.startsWith("[")) continue;
    if (start !== null) return { start, end: i };
    const close = line.indexOf("]");
    if (line.slice(1, close < 0 ? undefined : close).trim().toLowerCase() === kSection) start = i;
  }
  return start === null ? null : { start, end: lines.length };
}

/// The line of `key` in the section: its index, or -1.
function keyLine(lines, range, key) {
  for (let i = range.start + 1; i < range.end; ++i) {
    const line = lines[i].trim();
    if (line === "" || line[0] === ";" || line[0] === "#") continue;
    const equals = line.indexOf("=");
    if (equals > 0 && line.slice(0, equals).trim().toLowerCase() === key.toLowerCase()) return i;
  }
  return -1;
}

function unquote(value) {
  return value.length >= 2 && value[0] === value[value.length - 1] && (value[0] === "\"" || value[0] === "'")
    ? value.slice(1, -1) : value;
}

/// The value of `key` as the program reads it, or null without one.
function readKey(text, key) {
  const lines = linesOf(text);
  const range = sectionRange(lines);
  const at = range === null ? -1 : keyLine(lines, range, key);
  if (at < 0) return null;
  const line = lines[at].trim();
  return unquote(line.slice(line.indexOf("=") + 1).trim());
}

/// `text` with `key` set to `value`, or without the key's line where
/// `value` is null or empty. A new key goes after the section's last
/// setting; a text without the section gets one at its end.
function writeKey(text, key, value) {
  const lines = linesOf(text);
  const ending = (lines.find((line) => /\r\n|\r|\n/.test(line)) || "\n").match(/\r\n|\r|\n|$/)[0] || "\n";
  let range = sectionRange(lines);
  if (range === null) {
    if (value === null || value === "") return text;
    if (lines.length > 0 && !/[\r\n]$/.test(lines[lines.length - 1])) lines[lines.length - 1] += ending;
    lines.push("[VELMO]" + ending);
    range = { start: lines.length - 1, end: lines.length };
  }
  const at = keyLine(lines, range, key);
  const end = at < 0 ? ending : lines[at].match(/\r\n|\r|\n|$/)[0];
  if (value === null || value === "") {
    if (at >= 0) lines.splice(at, 1);
  } else if (at >= 0) {
    const line = lines[at];
    lines[at] = line.slice(0, line.indexOf("=") + 1) + value + end;
  } else {
    let last = range.end;
    while (last > range.start + 1 && lines[last - 1].trim() === "") --last;
    if (!/[\r\n]$/.test(lines[last - 1])) lines[last - 1] += ending;
    lines.splice(last, 0, key + "=" + value + ending);
  }
  return lines.join("");
}
