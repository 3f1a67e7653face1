#include "app/preferences.h"

#include <algorithm>

namespace kolvane {

namespace {

std::string Key(int i, const char* field) {
  return "recent/" + std::to_string(i + 1) + "/" + field;
}

const char* Flag(bool b) {
  return b ? "true" : "false";
}

bool ReadFlag(const std::map<std::string, std::string>& values, const std::string& key,
              bool fallback) {
  auto it = values.find(key);
  if (it == values.end()) return fallback;
  if (it->second == "true") return true;
  if (it->second == "false") return false;
  return fallback;
}

}  // namespace

void NoteRecentDataset(Preferences& prefs, const RecentDataset& d) {
  if (d.data.empty()) return;
  auto& list = prefs.recent;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const RecentDataset& r) { return r.data == d.data; }),
             list.end());
  list.insert(list.begin(), d);
  if (list.size() > static_cast<std::size_t>(kMaxRecentDatasets)) list.resize(kMaxRecentDatasets);
}

void ClearRecentDatasets(Preferences& prefs) {
  prefs.recent.clear();
}

std::map<std::string, std::string> PreferenceValues(const Preferences& prefs) {
  std::map<std::string, std::string> v;
  v["recent/count"] = std::to_string(prefs.recent.size());
  for (std::size_t i = 0; i < prefs.recent.size(); ++i) {
    const int n = static_cast<int>(i);
    v[Key(n, "data")] = prefs.recent[i].data;
    v[Key(n, "blanks")] = prefs.recent[i].blanks;
    v[Key(n, "controls")] = prefs.recent[i].controls;
  }
  v["last_folder"] = prefs.last_folder;
  if (prefs.options_kept) {
    v["options/microspheres"] = Flag(prefs.microspheres);
    v["options/background"] = Flag(prefs.background);
    v["options/control_correction"] = Flag(prefs.control_correction);
  }
  return v;
}

Preferences PreferencesFromValues(const std::map<std::string, std::string>& values) {
  Preferences prefs;
  auto get = [&](const std::string& key) {
    auto it = values.find(key);
    return it == values.end() ? std::string() : it->second;
  };
  int count = 0;
  const std::string text = get("recent/count");
  if (!text.empty() && text.size() < 3 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    count = std::min(std::stoi(text), kMaxRecentDatasets);
  for (int i = 0; i < count; ++i) {
    RecentDataset d{get(Key(i, "data")), get(Key(i, "blanks")), get(Key(i, "controls"))};
    if (!d.data.empty()) prefs.recent.push_back(d);
  }
  prefs.last_folder = get("last_folder");
  prefs.options_kept = values.count("options/microspheres") > 0;
  prefs.microspheres = ReadFlag(values, "options/microspheres", prefs.microspheres);
  prefs.background = ReadFlag(values, "options/background", prefs.background);
  prefs.control_correction =
      ReadFlag(values, "options/control_correction", prefs.control_correction);
  return prefs;
}

}  // namespace kolvane
