// The kit form: a field for every settings key, bound both ways to the
// settings text. Editing a field writes its key's line; editing or opening
// the settings file fills the fields. The run always reads the text, so a
// document made from the form is the document the desktop makes from the
// same file.

/* global readKey, writeKey -- settings_text.js */

/// The form's plain fields: the key each one writes.
const kTextFields = [
  ["kit-focal", "Focal"], ["kit-aperture", "Aperture"], ["kit-distance", "Distance"], ["kit-coc", "CoC"],
  ["kit-size", null], ["kit-divisor", "CoCDivisor"], ["kit-multiplier", "Multiplier"],
  ["kit-wavelength", "Wavelength"], ["kit-comment", "Comment"], ["kit-units", "Units"],
];
const kFlagFields = [
  ["kit-chart", "Chart"], ["kit-stack", "Stack"], ["kit-zone", "Zone"], ["kit-relative", "Relative"],
  ["kit-diffraction", "Diffraction"], ["kit-phone", "Phone"],
];
/// Where each key's findings are shown: beside the field that writes it.
const kNoteOf = {
  Focal: "kit-focal", Aperture: "kit-aperture", Distance: "kit-distance", CoC: "kit-coc", Format: "kit-format",
  CoCDivisor: "kit-divisor", Multiplier: "kit-multiplier", Wavelength: "kit-wavelength", Units: "kit-units",
  HTML: "kit-output", TableOnly: "kit-output", Chart: "kit-chart", Stack: "kit-stack", Zone: "kit-zone",
  Relative: "kit-relative",
  Diffraction: "kit-diffraction", Phone: "kit-phone", Comment: "kit-comment",
};

/// A flag's value as the program reads it: any integer but zero is on
/// ("0x10" and "$10" are hexadecimal); null for a text that is none.
function flagValue(text) {
  const match = /^[-+]?(?:(0x|\$)([0-9a-f]+)|([0-9]+))$/i.exec(text);
  if (match === null) return null;
  return /[1-9a-f]/i.test(match[2] || match[3]);
}

class KitForm {
  /// `onEdit(text)` is called with the new settings text after a field
  /// changed.
  constructor(onEdit) {
    this.onEdit = onEdit;
    this.formats = [];
    this.text = "";
    for (const [id, key] of kTextFields) {
      if (key !== null) this.field(id).addEventListener("input", () => this.write(key, this.field(id).value.trim()));
    }
    for (const [id, key] of kFlagFields) {
      this.field(id).addEventListener("change", () => this.write(key, this.field(id).checked ? "1" : null));
    }
    this.field("kit-format").addEventListener("change", () => this.writeFormat());
    this.field("kit-size").addEventListener("input", () => this.writeFormat());
    this.field("kit-output").addEventListener("change", () => this.writeOutput());
  }

  field(id) {
    return document.getElementById(id);
  }

  /// The formats by name, from the program itself: the list offers them
  /// with the circle of confusion each gives.
  setFormats(formats) {
    this.formats = formats;
    const list = this.field("kit-format");
    list.length = 0;
    list.add(new Option("None: the circle of confusion below", ""));
    for (const format of formats) list.add(new Option(format.name, format.name));
    list.add(new Option("Another size…", "size"));
    this.fill(this.text);
  }

  write(key, value) {
    this.text = writeKey(this.text, key, value);
    this.showCoC();
    this.onEdit(this.text);
  }

  writeFormat() {
    const choice = this.field("kit-format").value;
    this.field("kit-size-row").hidden = choice !== "size";
    this.write("Format", choice === "size" ? this.field("kit-size").value.trim() : choice);
  }

  writeOutput() {
    const output = this.field("kit-output").value;
    this.text = writeKey(this.text, "HTML", output === "txt" ? "0" : null);
    this.write("TableOnly", output === "i" ? "1" : null);
  }

  /// The fields as the settings text says.
  fill(text) {
    this.text = text;
    const value = (key) => readKey(text, key) || "";
    for (const [id, key] of kTextFields) {
      if (key !== null && document.activeElement !== this.field(id)) this.field(id).value = value(key);
    }
    for (const [id, key] of kFlagFields) this.field(id).checked = flagValue(value(key)) === true;
    this.fillUnits(value("Units"));
    const html = flagValue(value("HTML")), tableOnly = flagValue(value("TableOnly"));
    this.field("kit-output").value = html === false ? "txt" : tableOnly === true ? "i" : "html";
    this.fillFormat(value("Format"));
    this.showCoC();
  }

  /// Feet or metres; a value the list does not offer (a typo the check
  /// names) is shown as it is until it is changed.
  fillUnits(units) {
    const list = this.field("kit-units");
    for (const option of [...list.options]) if (option.dataset.typed) option.remove();
    const offered = /^(ft|feet)$/i.test(units) ? "ft" : units === "" ? "" : null;
    if (offered === null) {
      const option = new Option(units, units);
      option.dataset.typed = "1";
      list.add(option);
    }
    list.value = offered === null ? units : offered;
  }

  fillFormat(format) {
    const list = this.field("kit-format");
    const key = (name) => name.toLowerCase().replace(/[\s-]/g, "");
    const named = this.formats.find((known) => key(known.name) === key(format));
    list.value = format === "" ? "" : named !== undefined ? named.name : "size";
    if (document.activeElement !== this.field("kit-size")) this.field("kit-size").value = named ? "" : format;
    this.field("kit-size-row").hidden = list.value !== "size";
  }

  /// What each format gives, in the list and under it for the one
  /// chosen: its circle of confusion, by the same arithmetic as the
  /// program's.
  showCoC() {
    const divisor = Number(readKey(this.text, "CoCDivisor")) > 0 ? Number(readKey(this.text, "CoCDivisor")) : 1500;
    for (const option of this.field("kit-format").options) {
      const format = this.formats.find((known) => known.name === option.value);
      if (format !== undefined) {
        option.text = format.name + " (" + format.width + " × " + format.height + " mm, CoC " +
                      (Math.sqrt(format.width * format.width + format.height * format.height) / divisor).toPrecision(3) + " mm)";
      }
    }
    const choice = this.field("kit-format").value;
    const named = this.formats.find((format) => format.name === choice);
    const size = choice === "size" ? this.field("kit-size").value.match(/^\s*([\d.]+)\s*[xX]\s*([\d.]+)\s*$/) : null;
    const [width, height] = named ? [named.width, named.height] : size ? [Number(size[1]), Number(size[2])] : [0, 0];
    const coc = Math.sqrt(width * width + height * height) / divisor;
    this.field("kit-format-coc").textContent = !(coc > 0) ? ""
      : "Circle of confusion " + coc.toPrecision(3) + " mm (the diagonal, " + (coc * divisor).toFixed(1) +
        " mm, divided by " + divisor + ")" + (readKey(this.text, "CoC") ? "; the CoC below takes precedence." : ".");
  }

  /// The findings of the settings check, each under its field; the rest
  /// under the form.
  showFindings(findings) {
    for (const note of document.querySelectorAll(".finding")) note.textContent = "";
    for (const finding of findings) {
      const note = document.getElementById((kNoteOf[finding.key] || "kit") + "-note");
      note.textContent += (note.textContent ? " " : "") + finding.text;
    }
  }
}
