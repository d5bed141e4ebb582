#include "run/failure_report.h"

#include <cstdio>

namespace velmo {

void WriteFailureReport(TextWriter& console, std::string_view className, std::string_view message,
                        std::string_view programName, std::uint32_t position) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(position));
  console.Text("Exception ");
  console.Text(className);
  console.Text(" in module ");
  console.Text(programName);
  console.Text(" at ");
  console.Text(hex);
  console.Line(".");
  console.Text(message);
  if (!message.empty() && message.back() != '.') console.Char('.');
  console.LineEnd();
  console.LineEnd();
}

}  // namespace velmo
