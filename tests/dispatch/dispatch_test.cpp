// The analyse button and the run dispatch: the checks made before a run, the refusal without
// a spillover matrix, and the window's return to idle after a run. The runs themselves are
// replaced by a stand-in that records what the window looked like while it ran.
#include <gtest/gtest.h>

#include <string>

#include "../app/window_fixtures.h"
#include "dispatch/commands.h"

namespace kolvane {
namespace {

using testing_window::LoadFixedWindow;
using testing_window::LoadScanWindow;
using testing_window::NothingButMenuBar;

const char* const kNoMatrix =
    "There is no spillover matrix data available to for this dataset.  Please use the 'New "
    "Spillover Matrix' menu option to associate a matrix with this dataset.";

// What the stand-in run saw.
struct Seen {
  int fixed_runs = 0, scan_runs = 0, checks = 0;
  bool busy = false, options_shown = true, progress_shown = false;
  bool interrupt = true, pause = true, run_completed = true;
  Flow checks_answer = Flow::Continue, run_answer = Flow::Continue;
};
Seen* g_seen = nullptr;

Flow FakeRun(Program& p, int& runs) {
  ++runs;
  g_seen->busy = p.Busy;
  g_seen->options_shown = p.form.SynchDataBox.visible;
  g_seen->progress_shown = p.form.ProgressBar.visible;
  g_seen->interrupt = p.InterruptRequested;
  g_seen->pause = p.PauseRequested;
  g_seen->run_completed = p.RunCompleted;
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
  void OpenResultsChannel() {
    ASSERT_TRUE(p.channels.Out(2).Open(::testing::TempDir() + "dispatch_results.scf"));
  }
  // The window after a run, whatever its outcome.
  void ExpectIdleAfterRun() {
    const MainForm& f = p.form;
    EXPECT_TRUE(NothingButMenuBar(f));
    EXPECT_TRUE(f.OpenData.enabled && f.OpenDataSS.enabled);
    EXPECT_FALSE(f.CloseIt.enabled);
    EXPECT_TRUE(f.SynchDataBox.visible) << "shows with SynchFrame the next time";
    for (int i = 1; i <= 30; ++i) EXPECT_FALSE(f.Color[i].ticked || p.ColorSelected[i]) << i;
    EXPECT_EQ(p.SelectedColorCount, 0);
    EXPECT_FALSE(p.MatrixReady || p.Busy);
    EXPECT_FALSE(p.channels.Out(2).IsOpen());
  }
  // A refused run leaves the dataset loaded so the user can mend the choice.
  void ExpectStillLoaded(int colors) {
    EXPECT_TRUE(p.form.CloseIt.enabled);
    EXPECT_TRUE(p.form.SynchFrame.visible && p.form.SynchDataBox.visible);
    EXPECT_EQ(p.SelectedColorCount, colors);
    EXPECT_FALSE(p.Busy);
  }
};

TEST_F(Dispatch, FixedRunWithoutAMatrixIsRefusedAndTheDatasetStaysLoaded) {
  LoadFixedWindow(p, 6, true, true);
  OFResults_Radio_Click(p, 1);
  p.MatrixReady = false;
  OpenResultsChannel();
  host.ExpectMessage(kNoMatrix);
  EXPECT_EQ(DispatchRun(p), Flow::Stop);
  ExpectStillLoaded(6);
  EXPECT_TRUE(p.FixedDataLoaded && p.form.ColorBoxes.visible);
  EXPECT_TRUE(p.form.Spillover.enabled) << "so the user can read a matrix file";
  EXPECT_TRUE(p.channels.Out(2).IsOpen());
  EXPECT_TRUE(p.form.MicroLabel.visible && p.ResultsInMicrospheres);

  // The real Analyze button: the fixed path's own checks pass, the message is the dispatcher's.
  host.allow_any_message = true;
  EXPECT_EQ(RunAnalysis_Click(p), Flow::Stop);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages.back(), kNoMatrix);
  ExpectStillLoaded(6);
}

TEST_F(Dispatch, FixedRunReturnsTheWindowToIdle) {
  LoadFixedWindow(p, 12, true, true);
  OFResults_Radio_Click(p, 1);
  OpenResultsChannel();
  p.InterruptRequested = p.PauseRequested = p.RunCompleted = true;
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Continue);
  EXPECT_EQ(seen.checks, 1);
  EXPECT_EQ(seen.fixed_runs, 1);
  EXPECT_EQ(seen.scan_runs, 0);
  EXPECT_TRUE(seen.busy);
  EXPECT_FALSE(seen.options_shown) << "the options box is hidden while the run proceeds";
  EXPECT_FALSE(seen.interrupt || seen.pause);
  EXPECT_FALSE(seen.run_completed) << "cleared before the run starts";
  EXPECT_TRUE(p.RunCompleted);
  ExpectIdleAfterRun();
  EXPECT_FALSE(p.form.Spillover.enabled) << "disabled after a fixed run";
  EXPECT_FALSE(p.form.MicroLabel.visible);
  EXPECT_EQ(host.message_pumps, 1) << "one yield before the run";
  EXPECT_TRUE(p.FixedDataLoaded) << "the dataset kind stays";
}

TEST_F(Dispatch, FixedChecksThatRefuseKeepTheDatasetLoaded) {
  LoadFixedWindow(p, 5, false, true);
  seen.checks_answer = Flow::Stop;
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Stop);
  EXPECT_EQ(seen.fixed_runs, 0);
  ExpectStillLoaded(5);
  EXPECT_TRUE(p.MatrixReady && p.form.ColorBoxes.visible);
}

TEST_F(Dispatch, ScanRunShowsProgressAndReturnsToIdleWhateverItsOutcome) {
  for (Flow outcome : {Flow::Continue, Flow::Stop}) {
    seen = Seen{};
    seen.run_answer = outcome;
    LoadScanWindow(p, 3, true);
    OpenResultsChannel();
    EXPECT_EQ(RunAnalysisWith(p, fakes), outcome);
    EXPECT_EQ(seen.scan_runs, 1);
    EXPECT_EQ(seen.checks, 0);
    EXPECT_TRUE(seen.progress_shown && seen.busy);
    EXPECT_FALSE(seen.options_shown);
    ExpectIdleAfterRun();
    EXPECT_TRUE(p.ScanDataLoaded);
  }
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

TEST_F(Dispatch, AnEndingProgramLeavesTheWindowAlone) {
  LoadFixedWindow(p, 4, false, false);
  seen.run_answer = Flow::ProgramEnding;
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::ProgramEnding);
  EXPECT_TRUE(p.form.ColorBoxes.visible && p.form.CloseIt.enabled);
  EXPECT_EQ(p.SelectedColorCount, 4);
}

TEST_F(Dispatch, ExitDuringTheYieldBeforeTheRunStartsNoRun) {
  LoadScanWindow(p, 2, false);
  OpenResultsChannel();
  host.on_messages = [&](int) { Exit_Click(p); };
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::ProgramEnding);
  EXPECT_EQ(seen.scan_runs, 0);
  EXPECT_TRUE(host.ended);
  EXPECT_FALSE(p.channels.Out(2).IsOpen()) << "flushed and closed by Exit";
}

TEST_F(Dispatch, CommandsWaitWhileALoadOrRunIsInProgress) {
  // Cancelling the first dialog: nothing loads and the menu is free again.
  host.QueueFile("");
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
