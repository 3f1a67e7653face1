// In this file: what the window remembers between starts: the recent datasets (each with its
// companions), the last folder a file was chosen in, and the options panel's choices. Plain data
// with its own rules (eight datasets, the newest first, one entry per data file); the window
// keeps it in the platform's settings as text keys and values.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kolvane {

constexpr int kMaxRecentDatasets = 8;

// A data file and the companions it was opened with (empty: none).
struct RecentDataset {
  std::string data, blanks, controls;
  bool operator==(const RecentDataset& o) const {
    return data == o.data && blanks == o.blanks && controls == o.controls;
  }
};

struct Preferences {
  std::vector<RecentDataset> recent;  // newest first
  std::string last_folder;
  // The options panel as the user last left it; applied after a load.
  bool options_kept = false;
  bool microspheres = false;
  bool background = true;
  bool control_correction = false;
};

// `d` becomes the newest; an older entry for the same data file goes, and the list keeps eight.
void NoteRecentDataset(Preferences& prefs, const RecentDataset& d);
void ClearRecentDatasets(Preferences& prefs);

// The preferences as settings keys and values, and back. Values that are missing or cannot be
// read leave the start-up choice.
std::map<std::string, std::string> PreferenceValues(const Preferences& prefs);
Preferences PreferencesFromValues(const std::map<std::string, std::string>& values);

}  // namespace kolvane
