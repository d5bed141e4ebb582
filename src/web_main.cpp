// The run in a web page: the page hands in the settings file's name and
// bytes, as a user names the file on the command line, and reads back the
// console's text and the document (velmo_api.js wraps these calls).
#include <emscripten/emscripten.h>

#include <cstddef>
#include <string>
#include <vector>

#include "numtext/format_compact.h"
#include "numtext/number_settings.h"
#include "platform/browser_files.h"
#include "platform/os.h"
#include "run/run_sequence.h"
#include "run/settings_check.h"
#include "settings/format_text.h"

extern "C" {

/// Runs Velmo on the settings file `name` of `size` bytes; returns the exit
/// status the desktop program would give.
EMSCRIPTEN_KEEPALIVE int velmo_run(const char* name, const char* bytes, std::size_t size) {
  velmo::PutSettingsFile(name, std::string(bytes, size));
  velmo::HostPlatform platform;
  platform.PrepareProcess();
  velmo::InitNumberSettings();
  const std::vector<std::string> arguments{name};
  auto in = velmo::StandardInput();
  auto out = velmo::StandardOutput();
  return velmo::RunVelmo(arguments, *in, *out, platform);
}

EMSCRIPTEN_KEEPALIVE const char* velmo_console_data() {
  return velmo::ConsoleText().data();
}

EMSCRIPTEN_KEEPALIVE std::size_t velmo_console_size() {
  return velmo::ConsoleText().size();
}

/// The document's full name, or an empty text when the run wrote none.
EMSCRIPTEN_KEEPALIVE const char* velmo_document_name() {
  return velmo::WrittenDocument().Name.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* velmo_document_data() {
  return velmo::WrittenDocument().Bytes.data();
}

EMSCRIPTEN_KEEPALIVE std::size_t velmo_document_size() {
  return velmo::WrittenDocument().Bytes.size();
}

/// 1 when the run asked for its document to be shown, as the desktop opens
/// it in the viewer.
EMSCRIPTEN_KEEPALIVE int velmo_document_shown() {
  return velmo::WrittenDocument().Shown ? 1 : 0;
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
