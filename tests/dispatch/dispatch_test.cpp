// The analyse button and the run dispatch: the checks made before a run, the refusals that
// keep the dataset loaded, and the window's return to idle after a run. The runs themselves are
// replaced by a stand-in that records what the window looked like while it ran.
#include <gtest/gtest.h>

#include <string>

#include "../app/window_fixtures.h"
#include "dispatch/commands.h"

namespace kolvane {
namespace {

using testing_window::LoadFixedWindow;
using testing_window::LoadScanWindow;

// What the stand-in run saw.
struct Seen {
  int fixed_runs = 0, scan_runs = 0, checks = 0;
  bool busy = false, options_shown = true, progress_shown = false, flags = true;
  Flow checks_answer = Flow::Continue, run_answer = Flow::Continue;
};
Seen* g_seen = nullptr;

Flow FakeRun(Program& p, int& runs) {
  ++runs;
  g_seen->busy = p.Busy;
  g_seen->options_shown = p.form.SynchDataBox.visible;
  g_seen->progress_shown = p.form.ProgressBar.visible;
  g_seen->flags = p.InterruptRequested || p.PauseRequested || p.RunCompleted;
  p.RunCompleted = true;
  return g_seen->run_answer;
}

struct Dispatch : ::testing::Test {
  testing_window::Started s;
  ScriptedHost& host = s.host;
  Program& p = s.p;
  Seen seen;
  const RunPaths fakes{[](Program&) { return ++g_seen->checks, g_seen->checks_answer; },
                       [](Program& q) { return FakeRun(q, g_seen->fixed_runs); },
                       [](Program& q) { return FakeRun(q, g_seen->scan_runs); }};
  void SetUp() override { g_seen = &seen; }
  void TearDown() override { g_seen = nullptr; }
  void OpenResults() { ASSERT_TRUE(p.channels.Out(2).Open(::testing::TempDir() + "dispatch.scf")); }
  // A refused run leaves the dataset loaded so the user can mend the choice.
  void ExpectStillLoaded(int colors) {
    EXPECT_TRUE(p.form.CloseIt.enabled && p.form.SynchFrame.visible && p.form.SynchDataBox.visible);
    EXPECT_EQ(p.SelectedColorCount, colors);
    EXPECT_FALSE(p.Busy);
  }
};

// Both paths, whatever the run's outcome: the run sees a busy window without its options box,
// with its flags cleared; afterwards the window is idle, the files closed, no matrix.
TEST_F(Dispatch, RunsReturnTheWindowToIdle) {
  for (bool fixed : {true, false}) {
    for (Flow outcome : {Flow::Continue, Flow::Stop}) {
      SCOPED_TRACE(fixed);
      seen = Seen{};
      seen.run_answer = outcome;
      if (fixed) LoadFixedWindow(p, 12, true, true);
      if (!fixed) LoadScanWindow(p, 3, true);
      OFResults_Radio_Click(p, 1);
      OpenResults();
      p.InterruptRequested = p.PauseRequested = p.RunCompleted = true;
      const int pumps = host.message_pumps;
      EXPECT_EQ(RunAnalysisWith(p, fakes), outcome);
      EXPECT_EQ(fixed ? 1 : 0, seen.fixed_runs);
      EXPECT_EQ(seen.checks, seen.fixed_runs);
      EXPECT_EQ(fixed ? 0 : 1, seen.scan_runs);
      EXPECT_TRUE(seen.busy);
      EXPECT_EQ(!fixed, seen.progress_shown);
      EXPECT_FALSE(seen.options_shown || seen.flags);
      EXPECT_EQ(pumps + 1, host.message_pumps) << "one yield before the run";
      const MainForm& f = p.form;
      EXPECT_TRUE(testing_window::NothingButMenuBar(f));
      EXPECT_TRUE(f.OpenData.enabled && f.OpenDataSS.enabled && f.SynchDataBox.visible);
      EXPECT_FALSE(f.CloseIt.enabled || f.MicroLabel.visible || p.MatrixReady || p.Busy);
      EXPECT_TRUE(!fixed || !f.Spillover.enabled) << "disabled after a fixed run";
      for (int i = 1; i <= 30; ++i) EXPECT_FALSE(f.Color[i].ticked || p.ColorSelected[i]) << i;
      EXPECT_EQ(p.SelectedColorCount, 0);
      EXPECT_FALSE(p.channels.Out(2).IsOpen());
      EXPECT_EQ(fixed, p.FixedDataLoaded);
    }
  }
}

TEST_F(Dispatch, FixedRefusalsKeepTheDatasetLoaded) {
  const char* const no_matrix =
      "There is no spillover matrix data available to for this dataset.  Please use the 'New "
      "Spillover Matrix' menu option to associate a matrix with this dataset.";
  LoadFixedWindow(p, 5, false, true);
  seen.checks_answer = Flow::Stop;
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Stop);
  EXPECT_EQ(seen.fixed_runs, 0);
  ExpectStillLoaded(5);
  EXPECT_TRUE(p.MatrixReady && p.form.ColorBoxes.visible);

  LoadFixedWindow(p, 6, true, true);
  OFResults_Radio_Click(p, 1);
  p.MatrixReady = false;
  OpenResults();
  host.ExpectMessage(no_matrix);  // the real checks pass; the message is the dispatcher's
  EXPECT_EQ(RunAnalysis_Click(p), Flow::Stop);
  ExpectStillLoaded(6);
  EXPECT_TRUE(p.form.Spillover.enabled && p.channels.Out(2).IsOpen());
  EXPECT_TRUE(p.form.MicroLabel.visible && p.ResultsInMicrospheres);
}

TEST_F(Dispatch, NegativeScanEntryIsRefusedWithTheFocusOnIt) {
  LoadScanWindow(p, 3, false);
  OFResults_Radio_Click(p, 1);
  SetMicrosPerMlText(p, 1, "1000");
  SetMicrosPerMlText(p, 2, "abc");
  SetMicrosPerMlText(p, 3, "-5");
  host.ExpectMessage("Entry must be a positive integer");
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Stop);
  EXPECT_EQ(p.form.focus.control, "MicrosPerMl");
  EXPECT_EQ(p.form.focus.index, 2) << "the first offending box, in increasing order";
  EXPECT_EQ(seen.scan_runs, 0);
  EXPECT_FALSE(p.form.ProgressBar.visible);
  EXPECT_TRUE(p.form.MicroBox.visible && p.form.CloseIt.enabled);
  // Zero and a fraction pass; the check is made in either format, only for declared pures.
  SetMicrosPerMlText(p, 2, "0");
  SetMicrosPerMlText(p, 3, "0.5");
  p.MicrosPerMlValues[4] = -1;
  OFResults_Radio_Click(p, 0);
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Continue);
  EXPECT_EQ(seen.scan_runs, 1);
}

// An ending program leaves the window alone; Exit during the yield before the run starts none.
TEST_F(Dispatch, EndingPrograms) {
  LoadFixedWindow(p, 4, false, false);
  seen.run_answer = Flow::ProgramEnding;
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::ProgramEnding);
  EXPECT_TRUE(p.form.ColorBoxes.visible && p.form.CloseIt.enabled);
  EXPECT_EQ(p.SelectedColorCount, 4);

  LoadScanWindow(p, 2, false);
  p.Busy = false;
  OpenResults();
  host.on_messages = [&](int) { Exit_Click(p); };
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::ProgramEnding);
  EXPECT_EQ(seen.scan_runs, 0);
  EXPECT_TRUE(host.ended);
  EXPECT_FALSE(p.channels.Out(2).IsOpen()) << "flushed and closed by Exit";
}

TEST_F(Dispatch, CommandsWaitWhileALoadOrRunIsInProgress) {
  host.QueueFile("");  // cancelled: nothing loads and the menu is free again
  OpenData_Click(p);
  EXPECT_FALSE(p.Busy);
  host.QueueFile("");
  OpenDataSS_Click(p);
  EXPECT_FALSE(p.Busy || p.FixedDataLoaded || p.ScanDataLoaded);
  LoadScanWindow(p, 2, false);
  SetBusy(p, true);
  // The strict host fails on any file dialog: the Open commands must return at once.
  EXPECT_EQ(OpenData_Click(p), Flow::Stop);
  EXPECT_EQ(OpenDataSS_Click(p), Flow::Stop);
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Stop);
  EXPECT_EQ(seen.scan_runs, 0);
  EXPECT_TRUE(p.Busy);
}

}  // namespace
}  // namespace kolvane
