// What a web page hands the run and takes back from it. A browser gives a
// page no files: the settings file comes in as bytes, and the document and
// the console's text stay in memory for the page to show.
#pragma once

#include <string>

namespace velmo {

/// The document a run in the browser wrote.
struct BrowserDocument {
  std::string Name;   // as the console names it, a full path
  std::string Bytes;  // the whole file, exactly as the desktop writes it
  bool Written = false;
  bool Shown = false;  // the run asked for it to be shown
};

/// Starts a new run with one file on the browser's empty disk: the settings
/// file `name` with its `bytes`. Forgets the last run's document and
/// console text.
void PutSettingsFile(const std::string& name, std::string bytes);

/// The document of the last run, if it wrote one.
const BrowserDocument& WrittenDocument();

/// Everything the last run wrote to its console.
const std::string& ConsoleText();

}  // namespace velmo
