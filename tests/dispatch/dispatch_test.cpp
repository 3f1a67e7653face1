// The analyse button and the run dispatch: the checks made before a run, the refusals that
// keep the dataset loaded, and the window's return to idle after a run. The runs themselves are
// replaced by a stand-in that records what the window looked like while it ran.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "../app/window_fixtures.h"
#include "dispatch/commands.h"
#include "support/table.h"

namespace kolvane {
namespace {

using testing_window::LoadFixedWindow;
using testing_window::LoadScanWindow;

struct Seen {  // what the stand-in run saw
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
  g_seen->flags = p.InterruptRequested || p.PauseRequested || p.ledger.Complete();
  p.ledger.end = RunEnd::Complete;
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
  void SetUp() override {
    g_seen = &seen;
    ASSERT_TRUE(p.channels.Out(2).Open(testing_window::TempPath("dispatch.scf")));
  }
  void TearDown() override { g_seen = nullptr; }
  // A refused run leaves the dataset loaded so the user can mend the choice.
  void ExpectStillLoaded(int colors) {
    EXPECT_TRUE(p.form.CloseIt.enabled && p.form.SynchFrame.visible &&
                p.form.SynchDataBox.visible && p.SelectedColorCount == colors && !p.Busy);
  }
};

// Both paths, whatever the run's outcome: the run sees a busy window without its options box,
// its flags cleared, after one yield; afterwards the window is idle, the files closed.
TEST_F(Dispatch, RunsReturnTheWindowToIdle) {
  for (int run = 0; run < 4; ++run) {
    const bool fixed = run < 2;
    seen = Seen{};
    seen.run_answer = run % 2 == 0 ? Flow::Continue : Flow::Stop;
    fixed ? LoadFixedWindow(p, 12, true, true) : LoadScanWindow(p, 3, true);
    OFResults_Radio_Click(p, 1);
    p.InterruptRequested = p.PauseRequested = true;
    p.ledger.end = RunEnd::Complete;
    const int pumps = host.message_pumps;
    EXPECT_EQ(RunAnalysisWith(p, fakes), seen.run_answer);
    EXPECT_EQ(std::make_tuple(seen.fixed_runs, seen.checks, seen.scan_runs),
              std::make_tuple(+fixed, +fixed, +!fixed));
    EXPECT_TRUE(seen.busy && seen.progress_shown != fixed);
    EXPECT_FALSE(seen.options_shown || seen.flags);
    EXPECT_EQ(pumps + 1, host.message_pumps);
    // The rest of Close File's window: tests/app/main_form_ops_test.cpp.
    const MainForm& f = p.form;
    EXPECT_TRUE(testing_window::NothingButMenuBar(f) && f.SynchDataBox.visible);
    EXPECT_FALSE(f.CloseIt.enabled || f.MicroLabel.visible || p.MatrixReady || p.Busy);
    EXPECT_FALSE(p.channels.Out(2).IsOpen() || (fixed && f.Spillover.enabled));
    ASSERT_TRUE(p.channels.Out(2).Open(testing_window::TempPath("dispatch.scf")));
  }
}

TEST_F(Dispatch, FixedRefusalsKeepTheDatasetLoaded) {
  LoadFixedWindow(p, 5, false, true);
  seen.checks_answer = Flow::Stop;
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Stop);
  EXPECT_EQ(seen.fixed_runs, 0);
  ExpectStillLoaded(5);
  LoadFixedWindow(p, 6, true, true);
  OFResults_Radio_Click(p, 1);
  p.MatrixReady = false;
  host.ExpectMessage(  // the real checks pass; the message is the dispatcher's
      "There is no spillover matrix data available for this dataset.  Please use the 'New "
      "Spillover Matrix' menu option to associate a matrix with this dataset.");
  EXPECT_EQ(RunAnalysis_Click(p), Flow::Stop);
  ExpectStillLoaded(6);
  EXPECT_TRUE(p.form.Spillover.enabled && p.channels.Out(2).IsOpen() && p.form.MicroLabel.visible &&
              p.ResultsInMicrospheres);
}

TEST_F(Dispatch, NegativeScanEntryIsRefusedWithTheFocusOnIt) {
  for (const TableRow& c : ReadTable("dispatch/scan_entries.tsv")) {
    SCOPED_TRACE(c[1] + " " + c[2] + " " + c[3]);
    const int focus = std::stoi(c[4]);
    LoadScanWindow(p, 3, false);
    OFResults_Radio_Click(p, std::stoi(c[0]));
    for (int i = 1; i <= 3; ++i) SetMicrosPerMlText(p, i, c[i]);
    p.ScanMicrosPerMlValues[4] = -1;
    p.ledger.end = RunEnd::Complete;
    if (focus) host.ExpectMessage("Entry must be a positive integer");
    EXPECT_EQ(RunAnalysisWith(p, fakes), focus ? Flow::Stop : Flow::Continue);
    EXPECT_EQ(seen.scan_runs, focus ? 0 : 1);
    if (!focus) break;
    EXPECT_EQ(p.form.focus.control + std::to_string(p.form.focus.index),
              "MicrosPerMl" + std::to_string(focus));
    EXPECT_FALSE(p.form.ProgressBar.visible || p.ledger.Complete());
    EXPECT_TRUE(p.form.MicroBox.visible && p.form.CloseIt.enabled && p.ScanDataLoaded);
  }
}

// An ending program leaves the window alone; Exit during the yield before the run starts none.
TEST_F(Dispatch, EndingPrograms) {
  seen.run_answer = Flow::ProgramEnding;
  for (bool fixed : {true, false}) {
    fixed ? LoadFixedWindow(p, 4, false, false) : LoadScanWindow(p, 4, false);
    EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::ProgramEnding);
    EXPECT_TRUE(p.form.CloseIt.enabled && p.channels.Out(2).IsOpen());
    p.Busy = false;
  }
  seen = Seen{};
  LoadScanWindow(p, 2, false);
  p.Busy = false;
  host.on_messages = [&](int) { Exit_Click(p); };
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::ProgramEnding);
  EXPECT_TRUE(seen.scan_runs == 0 && host.ended);
  EXPECT_FALSE(p.channels.Out(2).IsOpen()) << "flushed and closed by Exit";
}

// Cancelled loads free the menu; while busy, the Open commands return at once (the strict host
// fails on any file dialog) and no run starts.
TEST_F(Dispatch, CommandsWaitWhileALoadOrRunIsInProgress) {
  host.QueueFile("");
  host.QueueFile("");
  OpenData_Click(p);
  OpenDataSS_Click(p);
  EXPECT_FALSE(p.Busy || p.FixedDataLoaded || p.ScanDataLoaded);
  LoadScanWindow(p, 2, false);
  SetBusy(p, true);
  EXPECT_EQ(OpenData_Click(p), Flow::Stop);
  EXPECT_EQ(OpenDataSS_Click(p), Flow::Stop);
  EXPECT_EQ(RunAnalysisWith(p, fakes), Flow::Stop);
  EXPECT_TRUE(seen.scan_runs == 0 && p.Busy);
}

}  // namespace
}  // namespace kolvane
