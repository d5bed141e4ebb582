// What a settings file will do before it is run: every value the run would
// ignore or refuse, and the distances a focal length's table leaves out,
// found by the run's own reading rules. The browser edition shows them
// beside the form, so that a typo is seen before it costs a run.
#pragma once

#include <string>
#include <vector>

namespace velmo {

/// One thing the run would do otherwise than the file's author meant: the
/// key it belongs to and what happens, in a photographer's words.
struct SettingsFinding {
  std::string Key;
  std::string Text;
};

/// The findings for the settings file whose whole content is `bytes`, in
/// the order of the keys a run reads.
std::vector<SettingsFinding> CheckSettings(std::string bytes);

}  // namespace velmo
