#include "run/settings_check.h"

#include <algorithm>
#include <array>

#include "numtext/format_compact.h"
#include "numtext/undefined.h"
#include "output/table_rows.h"
#include "platform/exceptions.h"
#include "run/fixed_texts.h"
#include "settings/format_text.h"
#include "settings/ini_file.h"
#include "settings/number_text.h"
#include "settings/profile_string.h"
#include "settings/run_settings.h"
#include "settings/units_text.h"

namespace velmo {

namespace {

const std::string kSection(SectionName);

// A list line holds at most 2047 characters, so at most 1024 items.
constexpr std::uint16_t kMostItems = 1024;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

/// A number as a message shows it: 0.16, not the page's .16.
std::string NumberText(Extended x) {
  std::string text(FormatCompact(x, 4).View());
  return text.front() == '.' ? "0" + text : text;
}

class Checker {
 public:
  explicit Checker(std::string bytes) : ini_(std::move(bytes)) {}

  std::vector<SettingsFinding> Check() {
    for (const char* key :
         {"HTML", "Relative", "TableOnly", "Chart", "Diffraction", "Stack", "Phone", "Zone"}) {
      CheckFlag(key);
    }
    if (!ini_.HasSection(kSection)) {
      Say("", "There is no [" + kSection + "] section: the run stops before any table.");
      return std::move(findings_);
    }
    CheckNumber("Multiplier", "0 (none)", false);
    CheckNumber("CoC", "0.015", false);
    CheckUnits();
    CheckFormat();
    CheckNumber("CoCDivisor", "1500", true);
    CheckNumber("Wavelength", "550", true);
    settings_.Relative = ini_.FetchFlag(kSection, "Relative", false);
    settings_.Units = UnitsFromText(ini_.FetchText(kSection, "Units", ""));
    const bool distances = CheckList("Distance", settings_.Distances, settings_.DistanceCount, true);
    CheckList("Aperture", settings_.Apertures, settings_.ApertureCount, false);
    if (CheckList("Focal", settings_.Focals, settings_.FocalCount, false) && distances) CheckRows();
    return std::move(findings_);
  }

 private:
  void Say(const std::string& key, std::string text) { findings_.push_back({key, std::move(text)}); }

  std::string Value(const char* key) { return ini_.FetchText(kSection, key, ""); }

  /// A flag is read as an integer; any other text keeps the default.
  void CheckFlag(const char* key) {
    const std::string text = Value(key);
    // A text that is no integer gives back whichever default is asked for.
    if (text.empty() || ini_.FetchInteger(kSection, key, 0) == ini_.FetchInteger(kSection, key, 1)) return;
    Say(key, Quoted(text) + " is not a whole number (1 is on, 0 off): the default is kept.");
  }

  void CheckNumber(const char* key, const char* defaultText, bool positive) {
    const std::string text = Value(key);
    if (text.empty()) return;
    Extended value;
    if (!NumberFromText(text, value)) {
      Say(key, Quoted(text) + " is not a number (the decimal point is \".\"): the default, " + defaultText +
                   ", is used.");
    } else if (!IsUndefined(value) && IsUndefined(static_cast<double>(value))) {
      Say(key, Quoted(text) + " is too large: the run ends with a failure report.");
    } else if (positive && !(value > 0)) {
      Say(key, Quoted(text) + " is not above 0: the default, " + defaultText + ", is used.");
    }
  }

  void CheckUnits() {
    const std::string text = Value("Units");
    if (text.empty() || UnitsFromText(text) == DistanceUnit::Foot) return;
    for (const char* metres : {"m", "metre", "metres", "meter", "meters"}) {
      if (SameTextIgnoringCase(text, metres)) return;
    }
    Say("Units", Quoted(text) + " is neither \"ft\" nor \"feet\": distances are in metres.");
  }

  void CheckFormat() {
    const std::string text = Value("Format");
    CameraFormat format;
    if (text.empty() || ParseCameraFormat(text, format)) return;
    Say("Format", Quoted(text) +
                      " is neither a format's name nor a width x height in mm: the circle of confusion "
                      "stays as it would be without it.");
  }

  /// Reads a list as the run does; false when the run could not use it.
  bool CheckList(const char* key, std::array<double, kListCapacity>& values, std::uint16_t& count,
                 bool infinityFromN) {
    const std::string sections[] = {kSection};
    std::vector<std::string> items(kMostItems);
    const std::uint16_t all = ini_.LookupList(sections, key, items, kMostItems);
    if (all == 0) {
      Say(key, "Required: without it the run writes no document.");
      return false;
    }
    if (all > kListCapacity) {
      Say(key, "Only the first " + std::to_string(kListCapacity) + " of " + std::to_string(all) +
                   " values are used.");
    }
    count = std::min(all, kListCapacity);
    bool usable = true;
    for (std::uint16_t i = 0; i < count; ++i) {
      if (infinityFromN && items[i].front() == 'N') {
        values[i] = Undefined;
      } else if (!ItemNumber(items[i], values[i])) {
        Say(key, Quoted(items[i]) +
                     " is not a number: the run ends with a failure report. A list is plain "
                     "numbers separated by blanks, with \".\" as the decimal point" +
                     (infinityFromN ? std::string(", and N for infinity.") : std::string(".")));
        usable = false;
      }
    }
    return usable;
  }

  static bool ItemNumber(const std::string& item, double& value) {
    try {
      value = StoreDouble(ParseNumber(item));
      return true;
    } catch (const Exception&) {
      return false;
    }
  }

  /// The distances each focal length's table leaves out.
  void CheckRows() {
    const char* unit = UnitSymbol(settings_.Units);
    for (std::uint16_t f = 0; f < settings_.FocalCount; ++f) {
      const double focal = settings_.Focals[f];
      std::string missing;
      for (std::uint16_t d = 0; d < settings_.DistanceCount; ++d) {
        const double distance = settings_.Distances[d];
        if (RowIsWritten(settings_, distance, focal)) continue;
        missing +=
            (missing.empty() ? "" : ", ") + (IsUndefined(distance) ? std::string("N") : NumberText(distance));
      }
      if (missing.empty()) continue;
      std::string text = "At " + NumberText(focal) + " mm the table leaves out " + missing + ": it shows ";
      if (IsUndefined(focal)) {
        text += "no finite distance.";
      } else {
        const Extended millimetres =
            settings_.Units == DistanceUnit::Foot ? kMillimetresPerFoot : Extended(1000);
        text += "distances from 10 to 990 focal lengths, " + NumberText(Extended(10) * focal / millimetres) +
                " to " + NumberText(Extended(990) * focal / millimetres) + " " + unit +
                (settings_.Relative ? ", and in relative mode no infinity." : ".");
      }
      Say("Distance", text);
    }
  }

  TC_Ini_File ini_;
  RunSettings settings_;
  std::vector<SettingsFinding> findings_;
};

}  // namespace

std::vector<SettingsFinding> CheckSettings(std::string bytes) {
  return Checker(std::move(bytes)).Check();
}

}  // namespace velmo
