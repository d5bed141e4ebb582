// The run in a web page: the page hands in the settings file's name and
// bytes, as a user names the file on the command line, and reads back the
// console's text and the document (velmo_api.js wraps these calls).
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "numtext/format_compact.h"
#include "platform/memory_platform.h"
#include "run/run_sequence.h"
#include "run/settings_check.h"
#include "settings/format_text.h"

namespace {

/// What the last run had and left: a disk in memory that held the settings
/// file in its root, and the console's text.
struct BrowserRun {
  velmo::MemoryPlatform Disk{"/", "velmo.wasm"};
  std::string Console;
  std::string DocumentName;  // empty when the run wrote none
  bool Shown = false;        // the run asked for it to be shown
};

BrowserRun& LastRun() {
  static BrowserRun run;
  return run;
}

class ConsoleSink : public velmo::ByteSink {
 public:
  void Write(const char* data, std::size_t size) override { LastRun().Console.append(data, size); }
  void Close() override {}
};

/// The console's input: a page has no keyboard to wait on.
class EmptySource : public velmo::ByteSource {
 public:
  std::size_t Read(char*, std::size_t) override { return 0; }
};

const std::string& DocumentBytes() {
  static const std::string none;
  const BrowserRun& run = LastRun();
  return run.DocumentName.empty() ? none : run.Disk.Files.at(run.DocumentName);
}

}  // namespace

extern "C" {

/// Runs Velmo on the settings file `name` of `size` bytes; returns the exit
/// status the desktop program would give.
EMSCRIPTEN_KEEPALIVE int velmo_run(const char* name, const char* bytes, std::size_t size) {
  BrowserRun& run = LastRun() = BrowserRun{};
  run.Disk.Files[run.Disk.FullPath(name)] = std::string(bytes, size);
  const std::vector<std::string> arguments{name};
  EmptySource in;
  ConsoleSink out;
  const int status = velmo::RunProgram(run.Disk, arguments, in, out);
  if (!run.Disk.Written.empty()) run.DocumentName = run.Disk.Written.back();
  const std::vector<std::string>& viewed = run.Disk.Viewed;
  run.Shown = std::find(viewed.begin(), viewed.end(), run.DocumentName) != viewed.end();
  return status;
}

EMSCRIPTEN_KEEPALIVE const char* velmo_console_data() {
  return LastRun().Console.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t velmo_console_size() {
  return LastRun().Console.size();
}

/// The document's full name, or an empty text when the run wrote none.
EMSCRIPTEN_KEEPALIVE const char* velmo_document_name() {
  return LastRun().DocumentName.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* velmo_document_data() {
  return DocumentBytes().data();
}

EMSCRIPTEN_KEEPALIVE std::size_t velmo_document_size() {
  return DocumentBytes().size();
}

/// 1 when the run asked for its document to be shown, as the desktop opens
/// it in the viewer.
EMSCRIPTEN_KEEPALIVE int velmo_document_shown() {
  return LastRun().Shown ? 1 : 0;
}

/// The findings of `CheckSettings` for a settings file of `size` bytes, one
/// a line: its key, a tab, its text.
EMSCRIPTEN_KEEPALIVE const char* velmo_check(const char* bytes, std::size_t size) {
  static std::string lines;
  lines.clear();
  for (const velmo::SettingsFinding& finding : velmo::CheckSettings(std::string(bytes, size))) {
    lines += finding.Key + "\t" + finding.Text + "\n";
  }
  return lines.c_str();
}

/// The formats `Format` takes by name, one a line: the name lists show, a
/// tab, the width, a tab, the height in millimetres.
EMSCRIPTEN_KEEPALIVE const char* velmo_format_names() {
  static std::string lines;
  if (lines.empty()) {
    for (const velmo::NamedFormat& named : velmo::NamedFormats()) {
      lines += std::string(named.Names[0]) + "\t" +
               std::string(velmo::FormatCompact(named.Format.Width, 5).View()) + "\t" +
               std::string(velmo::FormatCompact(named.Format.Height, 5).View()) + "\n";
    }
  }
  return lines.c_str();
}

}  // extern "C"
