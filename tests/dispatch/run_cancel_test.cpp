// A run cancelled in the tissue dialogs ("Cancel Analysis" or Escape in Tissue, "Abort Run" in
// Tissue Sample Options) returns to the loaded dataset: the program goes on, every choice is as
// it was, the earlier results file is untouched (Close File afterwards too), and the next
// Analyze writes what a freshly started program writes with the same choices.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "dispatch_fixtures.h"

namespace kolvane {
namespace {

using testing_window::FileText;
using testing_window::TempPath;
using testing_window::UseProvidedTissue;

const char* const kEarlier = "an earlier complete results file\r\n";

struct Window : testing_window::Window {
  explicit Window(const std::string& results) {
    EXPECT_EQ(Open(false, testing_window::kFixedFiles, results), Flow::Continue);
  }
  // Choices a user makes before Analyze: microspheres/ml, one colour left out, an entry typed,
  // the background subtraction off.
  void Choose() {
    OFResults_Radio_Click(p, 1);
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
  Flow AnalyzeUsingTissue() {
    return Analyze(UseProvidedTissue,
                   [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); });
  }
};

TEST(RunCancelled, ReturnsToTheDatasetAsItWasAndLeavesTheEarlierResults) {
  const struct {
    const char* name;
    std::function<void(TissueForm&)> tissue;
    std::function<void(TissueOptionsForm&)> options;
    bool close;  // Close File after the cancel, instead of the next Analyze
  } cancels[] = {
      {"Cancel Analysis", [](TissueForm& f) { TissueCancel_Click(f); }, nullptr, false},
      {"Cancel Analysis after choosing to use tissue",
       [](TissueForm& f) {
         TissueOpt_Click(f, 0);
         TissueCancel_Click(f);
       },
       nullptr, false},
      {"Abort Run", UseProvidedTissue, [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); },
       false},
      {"Cancel Analysis, then Close File", [](TissueForm& f) { TissueCancel_Click(f); }, nullptr,
       true},
  };
  for (const auto& c : cancels) {
    SCOPED_TRACE(c.name);
    const std::string results = TempPath("cancel.fix.scf");
    std::ofstream(results, std::ios::binary) << kEarlier;
    Window w(results);
    w.Choose();
    const MainForm before = w.p.form;
    const bool tissue_in_file = w.p.TissueInFile, tissue_excluded = w.p.TissueExcluded;

    EXPECT_EQ(w.Analyze(c.tissue, c.options), Flow::Stop);
    EXPECT_FALSE(w.host.ended || w.p.Ending || w.p.Busy) << "the program goes on";
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
    EXPECT_EQ(FileText(results), kEarlier);
    EXPECT_FALSE(std::ifstream(results + ".json").good()) << "no record for a run never begun";
    if (c.close) {
      CloseIt_Click(w.p);
      EXPECT_FALSE(w.p.form.CloseIt.enabled);
      EXPECT_EQ(FileText(results), kEarlier);
      continue;
    }

    // The next Analyze needs no dialog of the load and writes a fresh start's bytes.
    ASSERT_EQ(w.AnalyzeUsingTissue(), Flow::Continue);
    ASSERT_TRUE(w.p.ledger.Complete());
    const std::string fresh_results = TempPath("cancel-fresh.fix.scf");
    Window fresh(fresh_results);
    fresh.Choose();
    ASSERT_EQ(fresh.AnalyzeUsingTissue(), Flow::Continue);
    EXPECT_GT(FileText(results).size(), 1000u);
    EXPECT_EQ(FileText(results), FileText(fresh_results));
    for (const std::string& f : {results, fresh_results}) {
      std::remove(f.c_str());
      std::remove((f + ".json").c_str());
    }
  }
}

}  // namespace
}  // namespace kolvane
