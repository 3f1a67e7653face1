// What the window remembers: the recent list's rules and the round trip through settings values.
#include "app/preferences.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

RecentDataset D(const std::string& stem) {
  return {"/d/" + stem + ".fix", "/d/" + stem + ".blk", ""};
}

TEST(Preferences, RecentListKeepsEightNewestFirstOnePerDataFile) {
  Preferences prefs;
  for (int i = 1; i <= 10; ++i) NoteRecentDataset(prefs, D(std::to_string(i)));
  ASSERT_EQ(prefs.recent.size(), 8u);
  EXPECT_EQ(prefs.recent.front().data, "/d/10.fix");
  EXPECT_EQ(prefs.recent.back().data, "/d/3.fix");
  // Opening a listed file again moves it to the top with its new companions.
  NoteRecentDataset(prefs, {"/d/5.fix", "", "/d/5.ctl"});
  ASSERT_EQ(prefs.recent.size(), 8u);
  EXPECT_EQ(prefs.recent[0], (RecentDataset{"/d/5.fix", "", "/d/5.ctl"}));
  EXPECT_EQ(prefs.recent[1].data, "/d/10.fix");
  EXPECT_EQ(prefs.recent.back().data, "/d/3.fix");
  NoteRecentDataset(prefs, {"", "/d/x.blk", ""});  // no data file: nothing to remember
  EXPECT_EQ(prefs.recent[0].data, "/d/5.fix");
  ClearRecentDatasets(prefs);
  EXPECT_TRUE(prefs.recent.empty());
}

TEST(Preferences, RoundTripThroughSettingsValues) {
  Preferences prefs;
  NoteRecentDataset(prefs, D("a"));
  NoteRecentDataset(prefs, {"/d/b.syn", "/d/b.slk", ""});
  prefs.last_folder = "/d";
  prefs.options_kept = true;
  prefs.microspheres = true;
  prefs.background = false;
  prefs.control_correction = true;
  const auto values = PreferenceValues(prefs);
  EXPECT_EQ(values.at("recent/count"), "2");
  EXPECT_EQ(values.at("recent/1/data"), "/d/b.syn");
  EXPECT_EQ(values.at("recent/2/blanks"), "/d/a.blk");
  const Preferences back = PreferencesFromValues(values);
  EXPECT_EQ(back.recent, prefs.recent);
  EXPECT_EQ(back.last_folder, "/d");
  EXPECT_TRUE(back.options_kept && back.microspheres && !back.background &&
              back.control_correction);
}

TEST(Preferences, MissingOrDamagedValuesLeaveTheStartUpChoices) {
  const Preferences empty = PreferencesFromValues({});
  EXPECT_TRUE(empty.recent.empty());
  EXPECT_FALSE(empty.options_kept);
  EXPECT_FALSE(empty.microspheres);
  EXPECT_TRUE(empty.background);
  const Preferences damaged = PreferencesFromValues(
      {{"recent/count", "x9"}, {"options/microspheres", "yes"}, {"options/background", "false"}});
  EXPECT_TRUE(damaged.recent.empty());
  EXPECT_TRUE(damaged.options_kept);
  EXPECT_FALSE(damaged.microspheres);
  EXPECT_FALSE(damaged.background);
  // A count beyond eight reads eight; entries without a data file are skipped.
  std::map<std::string, std::string> many{{"recent/count", "12"}};
  for (int i = 1; i <= 12; ++i) many["recent/" + std::to_string(i) + "/data"] = i == 2 ? "" : "f";
  EXPECT_EQ(PreferencesFromValues(many).recent.size(), 7u);
}

}  // namespace
}  // namespace kolvane
