#include "run/run_sequence.h"

#include <array>
#include <cmath>
#include <memory>
#include <new>

#include "numtext/number_settings.h"
#include "numtext/undefined.h"
#include "optics/camera_format.h"
#include "optics/diffraction.h"
#include "output/dof_table.h"
#include "output/page_frame.h"
#include "platform/code_position.h"
#include "platform/exceptions.h"
#include "platform/line_reader.h"
#include "platform/path_text.h"
#include "platform/text_writer.h"
#include "run/failure_report.h"
#include "run/fixed_texts.h"
#include "settings/format_text.h"
#include "settings/ini_file.h"
#include "settings/number_text.h"
#include "settings/run_settings.h"
#include "settings/units_text.h"

namespace velmo {

namespace {

const std::string kSection(SectionName);

// Longer than any path a system can open: a name read at the prompt is kept
// up to this length, and a longer one is simply not found.
constexpr std::size_t kLongestName = 1 << 15;

/// One value list of the settings file and where the run keeps it.
struct ListKey {
  const char* Key;
  const char* MissingLine;
  std::uint16_t RunSettings::*Count;
  std::array<double, kListCapacity> RunSettings::*Values;
  bool InfinityFromN;  // an item beginning with "N" is the infinite distance
};

const ListKey kLists[] = {
    {"Distance", "ERROR: Missing \"Distance\" line in the inifile", &RunSettings::DistanceCount,
     &RunSettings::Distances, true},
    {"Aperture", "ERROR: Missing \"Aperture\" line in the inifile", &RunSettings::ApertureCount,
     &RunSettings::Apertures, false},
    {"Focal", "Missing \"Focal\" line in the inifile", &RunSettings::FocalCount, &RunSettings::Focals, false},
};

class RunSequence {
 public:
  RunSequence(std::span<const std::string> arguments, TextWriter& console, LineReader& input,
              Platform& platform)
      : arguments_(arguments), console_(console), input_(input), platform_(platform) {}

  void Run() {
    console_.Line(BannerTitle);
    console_.Line(BannerVersion);
    console_.Line(BannerUpdates);
    bool created = ObtainSettingsFile() && ReadSettings() && WriteDocument();
    console_.Line("Done. Press Enter to exit.");
    console_.Flush();
    // Only a document this run wrote goes to the viewer: never an empty
    // name, nor a stale file of an earlier run.
    if (created) platform_.OpenInViewer(settings_.OutputFileName);
    input_.SkipLine();
  }

 private:
  /// Names the settings file and tests that it exists; false after the
  /// not-found lines.
  bool ObtainSettingsFile() {
    std::string& name = settingsName_;
    bool whole = true;
    if (!FirstArgument(name)) {
      console_.Text("Enter the inifile name to use: ");
      console_.Flush();
      whole = input_.ReadLine(name, kLongestName);
      name = std::string(TypedFileName(name));
    }
    if (!whole || !platform_.FileExists(name)) {
      console_.Line("*** ERROR: " + name + " not found");
      console_.Line("Current path: " + platform_.CurrentDirectory());
      return false;
    }
    settings_.SettingsFileName = platform_.FullPath(name);
    console_.Line("Using " + settings_.SettingsFileName);
    console_.LineEnd();
    console_.Line("Working...");
    console_.LineEnd();
    return true;
  }

  /// An empty argument is not counted, as an empty quoted word is not.
  bool FirstArgument(std::string& name) const {
    for (const std::string& argument : arguments_) {
      if (!argument.empty()) {
        name = argument;
        return true;
      }
    }
    return false;
  }

  /// Reads options and lists; false after a missing-section or -list line.
  bool ReadSettings() {
    // One reading answers every question, from the file that was found.
    std::string text;
    platform_.ReadWholeFile(settingsName_, text);
    ini_ = std::make_unique<TC_Ini_File>(std::move(text));
    const std::string sections[] = {kSection};
    settings_.HTML = ini_->FetchFlag(kSection, "HTML", settings_.HTML);
    settings_.Relative = ini_->FetchFlag(kSection, "Relative", settings_.Relative);
    settings_.Multiplier =
        static_cast<double>(ini_->LookupFloat(sections, "Multiplier", settings_.Multiplier));
    settings_.TableOnly = ini_->FetchFlag(kSection, "TableOnly", settings_.TableOnly);
    if (!ini_->HasSection(kSection)) {
      console_.Line("ERROR: No section named \"" + kSection + "\" found!");
      return false;
    }
    // Unset by a missing or unusable value, which keeps the default.
    const double coc = ini_->FetchFloat(kSection, "CoC", Undefined);
    if (!IsUndefined(coc)) settings_.CoC = coc;
    settings_.Comment = ini_->FetchText(kSection, "Comment", "");
    settings_.Units = UnitsFromText(ini_->FetchText(kSection, "Units", ""));
    settings_.Chart = ini_->FetchFlag(kSection, "Chart", settings_.Chart);
    ReadCameraFormat(!IsUndefined(coc));
    settings_.Diffraction = ini_->FetchFlag(kSection, "Diffraction", settings_.Diffraction);
    settings_.Wavelength = PositiveFloat("Wavelength", kDefaultWavelength);
    // A wavelength so short that the aperture where diffraction starts lies
    // beyond the numbers (f/+Inf) keeps the default.
    if (!std::isfinite(DiffractionAperture(settings_.Wavelength, settings_.CoC))) {
      settings_.Wavelength = kDefaultWavelength;
    }
    settings_.Stack = ini_->FetchFlag(kSection, "Stack", settings_.Stack);
    settings_.Phone = ini_->FetchFlag(kSection, "Phone", settings_.Phone);
    settings_.Zone = ini_->FetchFlag(kSection, "Zone", settings_.Zone);
    for (const ListKey& list : kLists) {
      if (!ReadList(list, sections)) {
        console_.Line(list.MissingLine);
        return false;
      }
    }
    return true;
  }

  /// A number that only makes sense above zero (a divisor, a wavelength):
  /// one that cannot be used keeps `defaultValue`, as numbers keep their
  /// defaults.
  double PositiveFloat(const char* key, double defaultValue) {
    const double value = ini_->FetchFloat(kSection, key, defaultValue);
    return value > 0 && !IsUndefined(value) ? value : defaultValue;
  }

  /// The circle of confusion from the camera's format, unless the CoC key
  /// gave one. A format that cannot be used is named on the console, and
  /// the circle of confusion stays as it was.
  void ReadCameraFormat(bool cocGiven) {
    const std::string text = ini_->FetchText(kSection, "Format", "");
    if (text.empty()) return;
    CameraFormat format;
    const bool parsed = ParseCameraFormat(text, format);
    double divisor = parsed ? PositiveFloat("CoCDivisor", kDefaultCoCDivisor) : kDefaultCoCDivisor;
    // A divisor that takes the circle of confusion beyond the numbers keeps
    // the default; a format whose diagonal or circle is beyond them even so
    // cannot be used.
    if (!FinitePositive(CoCFromFormat(format, divisor))) divisor = kDefaultCoCDivisor;
    if (!parsed || !FinitePositive(Diagonal(format)) || !FinitePositive(CoCFromFormat(format, divisor))) {
      console_.Line("ERROR: \"Format\" value \"" + text + "\" is not a width x height in mm");
      return;
    }
    settings_.CoCDivisor = divisor;
    settings_.Format = format;
    if (cocGiven) {
      settings_.CoCFrom = CoCOrigin::KeyOverFormat;
    } else {
      settings_.CoCFrom = CoCOrigin::Format;
      settings_.CoC = CoCFromFormat(format, divisor);
    }
  }

  static bool FinitePositive(double x) { return std::isfinite(x) && x > 0; }

  /// Fetches one list and converts every item; false when it has none.
  bool ReadList(const ListKey& list, std::span<const std::string> sections) {
    std::uint16_t& count = settings_.*list.Count;
    count = ini_->LookupList(sections, list.Key, items_, kListCapacity);
    for (std::uint16_t i = 0; i < count; ++i) {
      const std::string& item = items_[i];
      (settings_.*list.Values)[i] =
          list.InfinityFromN && item.front() == 'N' ? Undefined : StoreDouble(ParseNumber(item));
    }
    return count > 0;
  }

  /// Names, creates and writes the document; false when it would replace
  /// the settings file or follow another user's link.
  bool WriteDocument() {
    // Beside the settings file, named after it as the file system has
    // found it, by the form it takes.
    const std::string documentName =
        ChangeExtension(FileSystemName(settingsName_), !settings_.HTML       ? ".txt"
                                                       : settings_.TableOnly ? ".i"
                                                                             : ".html");
    const std::string& name = settings_.OutputFileName = platform_.FullPath(documentName);
    if (platform_.SameFile(documentName, settingsName_)) {
      console_.Line("*** ERROR: " + name + " would replace the settings file");
      return false;
    }
    std::unique_ptr<ByteSink> sink = platform_.CreateDocument(documentName);
    if (!sink) {
      console_.Line("*** ERROR: " + name + " is another user's link; it is not followed");
      return false;
    }
    const bool page = settings_.HTML && !settings_.TableOnly;
    auto document = std::make_unique<TextWriter>(*sink);
    if (page) WritePageHead(*document, settings_);
    WriteDofTable(*document, settings_);
    if (page) WritePageFoot(*document);
    document->Close();
    console_.Line("Created " + name);
    return true;
  }

  std::span<const std::string> arguments_;
  TextWriter& console_;
  LineReader& input_;
  Platform& platform_;
  RunSettings settings_;
  // The settings file by the name the user gave: every file operation uses
  // it (or the document's name made from it), so the file found is the file
  // read and the document lies beside it, however long or strange the full
  // paths that the console shows.
  std::string settingsName_;
  std::unique_ptr<TC_Ini_File> ini_;
  // The items of one list line, shared by the three lists in turn.
  std::array<std::string, kListCapacity> items_;
};

void ReportFailure(TextWriter& console, Platform& platform, std::string_view className,
                   std::string_view message, const void* where) {
  // The report must reach the console even when the console is what failed:
  // each attempt is made once, and a second failure is not reported.
  try {
    console.Flush();
  } catch (const Exception&) {
  }
  try {
    WriteFailureReport(console, className, message, platform.ProgramFileName(), CodeOffset(where));
    console.Flush();
  } catch (const Exception&) {
  }
}

}  // namespace

int RunVelmo(std::span<const std::string> arguments, ByteSource& in, ByteSink& out, Platform& platform) {
  auto console = std::make_unique<TextWriter>(out, TextWriter::Buffering::Line);
  LineReader input(in);
  try {
    RunSequence(arguments, *console, input, platform).Run();
    console->Flush();
    return 0;
  } catch (const Exception& failure) {
    ReportFailure(*console, platform, failure.ClassName(), failure.Message(), failure.Where());
  } catch (const std::bad_alloc&) {
    ReportFailure(*console, platform, "EOutOfMemory", "Out of memory", AllocationFailureAddress());
  } catch (const std::exception& failure) {
    ReportFailure(*console, platform, "Exception", failure.what(), nullptr);
  }
  return 1;
}

int RunProgram(Platform& platform, std::span<const std::string> arguments, ByteSource& in, ByteSink& out) {
  platform.PrepareProcess();
  InitNumberSettings();
  return RunVelmo(arguments, in, out, platform);
}

}  // namespace velmo
