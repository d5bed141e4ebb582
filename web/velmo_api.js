// One run of Velmo on the bytes of a settings file, for the page and for
// node: Module.runVelmo(name, bytes) gives the exit status, the console's
// bytes, and the document (its full name, its bytes, whether the run asked
// for it to be shown), or null when the run wrote none.
Module["runVelmo"] = function (name, bytes) {
  var nameSize = lengthBytesUTF8(name) + 1;
  var namePointer = _malloc(nameSize);
  stringToUTF8(name, namePointer, nameSize);
  var bytesPointer = _malloc(Math.max(bytes.length, 1));
  HEAPU8.set(bytes, bytesPointer);
  try {
    var status = _velmo_run(namePointer, bytesPointer, bytes.length);
  } finally {
    _free(bytesPointer);
    _free(namePointer);
  }
  function copy(pointer, size) {
    return HEAPU8.slice(pointer, pointer + size);
  }
  var consoleBytes = copy(_velmo_console_data(), _velmo_console_size());
  var documentName = UTF8ToString(_velmo_document_name());
  return {
    status: status,
    console: consoleBytes,
    document: documentName === "" ? null : {
      name: documentName,
      bytes: copy(_velmo_document_data(), _velmo_document_size()),
      shown: _velmo_document_shown() === 1,
    },
  };
};

// The findings of the settings check for a settings file's bytes: a list
// of { key, text }.
Module["checkSettings"] = function (bytes) {
  var pointer = _malloc(Math.max(bytes.length, 1));
  HEAPU8.set(bytes, pointer);
  try {
    var lines = UTF8ToString(_velmo_check(pointer, bytes.length));
  } finally {
    _free(pointer);
  }
  return lines.split("\n").filter(Boolean).map(function (line) {
    var tab = line.indexOf("\t");
    return { key: line.slice(0, tab), text: line.slice(tab + 1) };
  });
};

// The formats the Format key takes by name: a list of { name, width, height }.
Module["formatNames"] = function () {
  return UTF8ToString(_velmo_format_names()).split("\n").filter(Boolean).map(function (line) {
    var fields = line.split("\t");
    return { name: fields[0], width: Number(fields[1]), height: Number(fields[2]) };
  });
};
