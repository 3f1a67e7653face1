// Analyze Again: after a run the window keeps the dataset with the run's choices; the next
// Analyze asks for nothing but the results file (the last one proposed) and writes what the
// first run wrote; the matrix file of a dataset without pures is read again without a dialog.
#include "dispatch/analyze_again.h"

#include <gtest/gtest.h>

#include "../app/window_fixtures.h"
#include "app/matrix_file.h"
#include "dispatch/commands.h"

namespace kolvane {
namespace {

using testing_window::FileText;
using testing_window::TempPath;

const std::string kDir = KOLVANE_SOURCE_DIR "/examples/";

struct Kept {
  ScriptedHost host;
  Program p{host};
  Kept() {
    Form_Load(p, 1920 * 15, 1080 * 15);
    p.KeepDatasetAfterRun = true;
  }
};

TEST(AnalyzeAgain, ScanKeepsChoicesAndAsksOnlyForTheResultsFile) {
  Kept w;
  const std::string first = TempPath("again_first.scf"), second = TempPath("again_second.scf");
  for (const std::string& f : {kDir + "scan/small.syn", kDir + "scan/small.slk", first})
    w.host.QueueFile(f);
  OpenDataSS_Click(w.p);
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

TEST(AnalyzeAgain, MatrixFileIsReadAgainForADatasetWithoutPures) {
  Kept w;
  w.host.allow_any_message = true;  // each load says the file has no pures
  const std::string out = TempPath("again_matrix.scf");
  for (const std::string& f : {kDir + "fixed/no_pures.fix", std::string(), std::string(), out})
    w.host.QueueFile(f);
  OpenData_Click(w.p);
  w.host.QueueFile(kDir + "fixed/no_pures.spl");
  Spillover_Click(w.p);
  SetColorTick(w.p, 2, false);
  RunAnalysis_Click(w.p);
  ASSERT_TRUE(w.p.ledger.Complete());
  const std::string before = FileText(out);
  EXPECT_TRUE(w.p.MatrixReady && w.p.MatrixFromFile);
  EXPECT_FALSE(w.p.form.Color[2].ticked);
  EXPECT_EQ(w.host.dialogs.size(), 5u);
  w.host.QueueFile(out);
  AnalyzeAgain_Click(w.p);
  ASSERT_TRUE(w.p.ledger.Complete());
  EXPECT_EQ(FileText(out), before);
}

}  // namespace
}  // namespace kolvane
