// A run cancelled in the tissue dialogs ("Cancel Analysis" or Escape in Tissue, "Abort Run" in
// Tissue Sample Options) returns to the loaded dataset: the program goes on, every choice is as
// it was, the earlier results file is untouched, and the next Analyze writes what a freshly
// started program writes with the same choices.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "../app/window_fixtures.h"
#include "dispatch/commands.h"

namespace kolvane {
namespace {

const std::string kFixed = KOLVANE_SOURCE_DIR "/examples/fixed/tissue_blanks_controls";
const char* const kEarlier = "an earlier complete results file\r\n";

struct Window : testing_window::Started {
  explicit Window(const std::string& results) {
    host.QueueFile(kFixed + ".fix");
    host.QueueFile(kFixed + ".blk");
    host.QueueFile(kFixed + ".ctl");
    host.QueueFile(results);
    EXPECT_EQ(OpenData_Click(p), Flow::Continue);
  }
  // Choices a user makes before Analyze: microspheres/ml, one colour left out, an entry typed,
  // the background subtraction off.
  void Choose() {
    OFResults_Radio_Click(p, 1);
    p.form.OFResults_Radio[0].selected = false;
    p.form.OFResults_Radio[1].selected = true;
    SetColorTick(p, 8, false);
    SetMicrosPerMlFixText(p, 3, "1250000");
    p.form.BackSub.ticked = false;
    BackSub_Click(p);
  }
  Flow Analyze(std::function<void(TissueForm&)> tissue,
               std::function<void(TissueOptionsForm&)> options) {
    host.on_tissue = std::move(tissue);
    host.on_tissue_options = std::move(options);
    return RunAnalysis_Click(p);
  }
};

void UseTissue(TissueForm& f) {
  TissueOpt_Click(f, 0);
  TissueOk_Click(f);
}

struct Cancel {
  const char* name;
  std::function<void(TissueForm&)> tissue;
  std::function<void(TissueOptionsForm&)> options;
};

TEST(RunCancelled, ReturnsToTheDatasetAsItWasAndLeavesTheEarlierResults) {
  const Cancel cancels[] = {
      {"Cancel Analysis", [](TissueForm& f) { TissueCancel_Click(f); }, nullptr},
      {"Cancel Analysis after choosing to use tissue",
       [](TissueForm& f) {
         TissueOpt_Click(f, 0);
         TissueCancel_Click(f);
       },
       nullptr},
      {"Abort Run", UseTissue, [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); }},
  };
  for (const Cancel& c : cancels) {
    SCOPED_TRACE(c.name);
    const std::string results = testing_window::TempPath("cancel.fix.scf");
    std::ofstream(results, std::ios::binary) << kEarlier;
    Window w(results);
    w.Choose();
    const MainForm before = w.p.form;
    const bool tissue_in_file = w.p.TissueInFile, tissue_excluded = w.p.TissueExcluded;

    EXPECT_EQ(w.Analyze(c.tissue, c.options), Flow::Stop);
    EXPECT_FALSE(w.host.ended || w.p.Ending) << "the program goes on";
    EXPECT_FALSE(w.p.Busy);
    EXPECT_TRUE(w.p.FixedDataLoaded && w.p.form.CloseIt.enabled && w.p.form.ColorBoxes.visible);
    EXPECT_TRUE(w.p.form.SynchFrame.visible && w.p.form.SynchDataBox.visible &&
                w.p.form.RunAnalysis.visible && w.p.form.MicroLabel.visible);
    EXPECT_EQ(w.p.TissueInFile, tissue_in_file);
    EXPECT_EQ(w.p.TissueExcluded, tissue_excluded);
    for (int i = 1; i <= 8; ++i) {
      EXPECT_EQ(w.p.form.Color[i].ticked, before.Color[i].ticked) << i;
      EXPECT_EQ(w.p.form.MicrosPerMlFix[i].text, before.MicrosPerMlFix[i].text) << i;
    }
    EXPECT_TRUE(w.p.form.OFResults_Radio[1].selected && !w.p.form.BackSub.ticked);
    EXPECT_EQ(w.p.form.StatusLine.caption, "The run was cancelled before it began.");
    EXPECT_EQ(testing_window::FileText(results), kEarlier);
    EXPECT_FALSE(std::ifstream(results + ".json").good()) << "no record for a run never begun";

    // The next Analyze needs no dialog of the load and writes a fresh start's bytes.
    ASSERT_EQ(w.Analyze(UseTissue, [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); }),
              Flow::Continue);
    ASSERT_TRUE(w.p.ledger.Complete());
    const std::string fresh_results = testing_window::TempPath("cancel-fresh.fix.scf");
    Window fresh(fresh_results);
    fresh.Choose();
    ASSERT_EQ(
        fresh.Analyze(UseTissue, [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); }),
        Flow::Continue);
    const std::string bytes = testing_window::FileText(results);
    EXPECT_GT(bytes.size(), 1000u);
    EXPECT_EQ(bytes, testing_window::FileText(fresh_results));
    std::remove(results.c_str());
    std::remove((results + ".json").c_str());
    std::remove(fresh_results.c_str());
    std::remove((fresh_results + ".json").c_str());
  }
}

// Close File after a cancelled run: the results file the load chose still holds the earlier
// run's lines.
TEST(RunCancelled, CloseFileAfterwardsKeepsTheEarlierResults) {
  const std::string results = testing_window::TempPath("cancel-close.fix.scf");
  std::ofstream(results, std::ios::binary) << kEarlier;
  Window w(results);
  EXPECT_EQ(w.Analyze([](TissueForm& f) { TissueCancel_Click(f); }, nullptr), Flow::Stop);
  CloseIt_Click(w.p);
  EXPECT_FALSE(w.p.FixedDataLoaded && w.p.form.CloseIt.enabled);
  EXPECT_EQ(testing_window::FileText(results), kEarlier);
  std::remove(results.c_str());
}

}  // namespace
}  // namespace kolvane
