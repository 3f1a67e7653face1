// Analyze Again: after a run the window keeps the dataset with the run's choices; the next
// Analyze asks for nothing but the results file (the last one proposed) and writes what the
// first run wrote. (Every kind of dataset analysed again, the matrix file of a dataset without
// pures read again without a dialog: tests/dispatch/fresh_load_test.cpp.)
#include "dispatch/analyze_again.h"

#include <gtest/gtest.h>

#include "dispatch_fixtures.h"

namespace kolvane {
namespace {

using testing_window::FileText;
using testing_window::TempPath;

TEST(AnalyzeAgain, ScanKeepsChoicesAndAsksOnlyForTheResultsFile) {
  testing_window::Window w;
  w.p.KeepDatasetAfterRun = true;
  const std::string first = TempPath("again_first.scf"), second = TempPath("again_second.scf");
  w.Open(true, testing_window::kScanFiles, first);
  OFResults_Radio_Click(w.p, 1);
  SetMicrosPerMlText(w.p, 2, "555");
  w.p.form.BackSub.ticked = false;
  BackSub_Click(w.p);
  RunAnalysis_Click(w.p);
  ASSERT_TRUE(w.p.ledger.Complete());
  EXPECT_TRUE(w.p.ScanDataLoaded && w.p.form.CloseIt.enabled && w.p.RerunReady);
  EXPECT_TRUE(w.p.ResultsInMicrospheres && w.p.form.OFResults_Radio[1].selected);
  EXPECT_EQ(w.p.form.MicrosPerMl[2].text, "555");
  EXPECT_FALSE(w.p.BackgroundOn || w.p.form.BackSub.ticked);
  EXPECT_EQ(w.host.dialogs.size(), 3u);  // the load's, none after the run
  EXPECT_FALSE(w.p.results.empty());

  w.host.QueueFile("");  // the results dialog cancelled: no run
  EXPECT_EQ(AnalyzeAgain_Click(w.p), Flow::Stop);
  EXPECT_TRUE(w.p.form.CloseIt.enabled && w.p.RerunReady);
  ASSERT_EQ(w.host.dialogs.size(), 4u);
  EXPECT_EQ(w.host.dialogs[3].title, "Save Results File");
  EXPECT_EQ(w.host.dialogs[3].default_name, first);

  w.host.QueueFile(second);
  AnalyzeAgain_Click(w.p);
  ASSERT_TRUE(w.p.ledger.Complete());
  EXPECT_EQ(w.host.dialogs.size(), 5u);
  EXPECT_EQ(w.p.ledger.results, second);
  EXPECT_EQ(FileText(second), FileText(first));
}

}  // namespace
}  // namespace kolvane
