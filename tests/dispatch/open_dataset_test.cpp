// File > Open Dataset...: the kind from the content, the companions by stem, no file dialog but
// the one that names the data file; a wrong-kind file refused at once; a companion changed or
// removed, the results path edited; the run equals one whose dialogs were answered by hand.
#include "dispatch/open_dataset.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "dispatch_fixtures.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using testing_window::FileText;
using testing_window::TempPath;
using Window = testing_window::Window;

const std::string& kFixed = testing_window::kFixedStem;
const std::string& kScan = testing_window::kScanStem;

// A folder of its own holding copies of `files` (name -> source).
std::string Folder(const std::string& name,
                   const std::vector<std::pair<std::string, std::string>>& files) {
  const std::string dir = TempPath(name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (const auto& [file, source] : files) fs::copy_file(source, dir + "/" + file);
  return dir;
}

// A file of neither kind is refused with the reason, and the loaded dataset stays.
TEST(OpenDataset, KindFromContentNotFromTheName) {
  const std::string dir = Folder("kinds", {{"scan.fix", kScan + ".syn"},
                                           {"fixed.syn", kFixed + ".fix"},
                                           {"blanks.fix", kFixed + ".blk"}});
  std::string problem;
  EXPECT_EQ(DataKindOf(dir + "/scan.fix", problem), DataKind::Scan);
  EXPECT_EQ(DataKindOf(dir, problem), DataKind::Unknown);
  EXPECT_EQ(problem, "Can't open file: " + dir);
  Window w;
  ASSERT_EQ(OpenDatasetFile(w.p, dir + "/fixed.syn"), Flow::Continue);
  EXPECT_TRUE(w.p.FixedDataLoaded);
  w.host.ExpectMessage("The file " + dir +
                       "/blanks.fix is neither a fixed-wavelength file (it has no Color line) nor "
                       "a synchronous-scan file (it has no \"Date/Time\" item).  The file was "
                       "not loaded.");
  EXPECT_EQ(OpenDatasetFile(w.p, dir + "/blanks.fix"), Flow::Stop);
  EXPECT_TRUE(w.p.FixedDataLoaded && w.p.form.CloseIt.enabled);
  EXPECT_EQ(w.p.Dataset.data, dir + "/fixed.syn");
  EXPECT_EQ(w.p.prefs.recent.size(), 1u);
}

TEST(OpenDataset, FixedWithCompanionsRunsAsWithTheDialogs) {
  const std::string dir =
      Folder("fixed",
             {{"d.fix", kFixed + ".fix"}, {"d.blk", kFixed + ".blk"}, {"d.ctl", kFixed + ".ctl"}});
  Window w;
  w.host.QueueFile(dir + "/d.fix");
  OpenDataset_Click(w.p);
  ASSERT_EQ(w.host.dialogs.size(), 1u);  // the data file's, no other
  EXPECT_EQ(w.host.dialogs[0].title, "Open Dataset");
  EXPECT_TRUE(w.p.FixedDataLoaded);
  EXPECT_TRUE(w.p.BlanksPresent && w.p.ControlsPresent);
  EXPECT_EQ(w.p.Dataset.blanks, dir + "/d.blk");
  EXPECT_EQ(w.p.Dataset.controls, dir + "/d.ctl");
  EXPECT_EQ(w.p.Dataset.results, dir + "/d.fix.scf");
  ASSERT_EQ(w.p.prefs.recent.size(), 1u);
  EXPECT_EQ(w.p.prefs.recent[0], (RecentDataset{dir + "/d.fix", dir + "/d.blk", dir + "/d.ctl"}));
  EXPECT_EQ(w.p.prefs.last_folder, dir);
  RunAnalysis_Click(w.p);
  ASSERT_TRUE(w.p.ledger.Complete());

  Window by_hand;
  for (const char* f : {"/d.fix", "/d.blk", "/d.ctl", "/by_hand.scf"})
    by_hand.host.QueueFile(dir + f);
  OpenData_Click(by_hand.p);
  EXPECT_TRUE(by_hand.p.Dataset.data.empty());
  RunAnalysis_Click(by_hand.p);
  ASSERT_TRUE(by_hand.p.ledger.Complete());
  EXPECT_EQ(FileText(dir + "/d.fix.scf"), FileText(dir + "/by_hand.scf"));
}

TEST(OpenDataset, ScanWithoutCompanionsAndRemovedOrChangedCompanions) {
  const std::string dir =
      Folder("scan", {{"s.syn", kScan + ".syn"}, {"other.slk", kScan + ".slk"}});
  Window w;
  ASSERT_EQ(OpenDatasetFile(w.p, dir + "/s.syn"), Flow::Continue);
  EXPECT_TRUE(w.p.ScanDataLoaded);
  EXPECT_FALSE(w.p.BlanksPresent);
  EXPECT_TRUE(w.p.Dataset.scan);
  EXPECT_EQ(w.p.Dataset.blanks, "");
  ASSERT_EQ(ChangeCompanion(w.p, "blanks", dir + "/other.slk"), Flow::Continue);
  EXPECT_TRUE(w.p.BlanksPresent);
  EXPECT_EQ(w.p.Dataset.blanks, dir + "/other.slk");
  EXPECT_EQ(w.p.prefs.recent.size(), 1u);  // one entry per data file
  EXPECT_EQ(w.p.prefs.recent[0].blanks, dir + "/other.slk");
  ChangeCompanion(w.p, "blanks", "");
  EXPECT_FALSE(w.p.BlanksPresent);
  EXPECT_TRUE(w.host.dialogs.empty());
}

TEST(OpenDataset, ResultsPathEditedInTheWindow) {
  const std::string dir =
      Folder("results", {{"d.fix", kFixed + ".fix"}, {"d.blk", kFixed + ".blk"}});
  Window w;
  ASSERT_EQ(OpenDatasetFile(w.p, dir + "/d.fix"), Flow::Continue);
  w.host.ExpectMessage("The results file may not be one of the files being read: " + dir +
                       "/d.blk");
  EXPECT_EQ(ChangeResultsPath(w.p, dir + "/d.blk"), Flow::Stop);
  EXPECT_EQ(w.p.Dataset.results, dir + "/d.fix.scf");
  ASSERT_EQ(ChangeResultsPath(w.p, dir + "/edited.scf"), Flow::Continue);
  RunAnalysis_Click(w.p);
  ASSERT_TRUE(w.p.ledger.Complete());
  EXPECT_TRUE(fs::exists(dir + "/edited.scf"));
  EXPECT_FALSE(fs::exists(dir + "/d.fix.scf"));
  EXPECT_EQ(FileText(dir + "/d.blk"), FileText(kFixed + ".blk"));
}

// The proposed results file cannot be written (a folder holds its name): the user is asked for
// another once, and the window shows the one chosen.
TEST(OpenDataset, AProposedResultsFileThatCannotBeWrittenIsAskedForAgain) {
  const std::string dir = Folder("unwritable", {{"d.fix", kFixed + ".fix"}});
  fs::create_directories(dir + "/d.fix.scf");
  Window w;
  w.host.allow_any_message = true;
  w.host.QueueFile(dir + "/chosen.scf");
  ASSERT_EQ(OpenDatasetFile(w.p, dir + "/d.fix"), Flow::Continue);
  ASSERT_EQ(w.host.messages.size(), 1u);
  EXPECT_EQ(w.host.messages[0].rfind("Can't open file: " + dir, 0), 0u) << w.host.messages[0];
  ASSERT_EQ(w.host.dialogs.size(), 1u);
  EXPECT_EQ(w.host.dialogs[0].role, FileRole::Results);
  EXPECT_EQ(w.p.Dataset.results, dir + "/chosen.scf");
}

TEST(OpenDataset, KeptOptionsReachTheNextDatasetsWindow) {
  const std::string dir = Folder(
      "kept", {{"d.fix", kFixed + ".fix"}, {"d.blk", kFixed + ".blk"}, {"d.ctl", kFixed + ".ctl"}});
  Window w;
  ASSERT_EQ(OpenDatasetFile(w.p, dir + "/d.fix"), Flow::Continue);
  OFResults_Radio_Click(w.p, 1);
  w.p.form.BackSub.ticked = false;
  w.p.form.ControlCorr.ticked = true;
  KeepOptions(w.p);
  CloseIt_Click(w.p);
  ASSERT_EQ(OpenDatasetFile(w.p, dir + "/d.fix"), Flow::Continue);
  EXPECT_FALSE(w.p.ResultsInMicrospheres);  // every load starts with intensities...
  ApplyKeptOptions(w.p);                    // ...until the window gives the kept choices
  EXPECT_TRUE(w.p.ResultsInMicrospheres && w.p.form.OFResults_Radio[1].selected);
  EXPECT_FALSE(w.p.BackgroundOn || w.p.form.BackSub.ticked);
  EXPECT_TRUE(w.p.ControlCorrectionOn && w.p.form.ControlCorr.ticked);
}

}  // namespace
}  // namespace kolvane
