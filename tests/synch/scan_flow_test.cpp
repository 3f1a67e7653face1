// The window's flow over the hand-worked dataset: the run keys during a run and during the
// pure searches, a load that starts afresh, a record cut off by the end of the file, and the
// fit's single decomposition.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <tuple>

#include "app/run_control.h"
#include "base/channels.h"
#include "scan_fixture.h"
#include "synch/scan_fit.h"

namespace kolvane {
namespace {

using namespace scantest;

class FlowTest : public ScanTest {
 protected:
  void SetUp() override {
    ScanTest::SetUp();
    data = Write("five.syn", HandWorked());
    results = PathOf("five.scf");
  }
  // Keys pressed during a run leave the results those of an undisturbed run.
  void ExpectUndisturbed() {
    host.on_messages = nullptr;
    EXPECT_EQ(Lines(results), FreshResults(data));
  }
  std::string data, results;
};

TEST_F(FlowTest, PauseResumeAbortNoAndDisplayKeyLeaveTheResultsAlone) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  int step = 0;
  bool paused_seen = false;
  host.on_messages = [&](int) {
    if (step == 0 && p.scan.RecordsDone == 1) {
      Form_KeyDown(p, kKeyF11, 0);  // pause asked while record 2 is read
      EXPECT_EQ(p.form.Directions.caption, "Pausing.  Please Wait.");
      step = 1;
    } else if (step == 1 && p.PauseRequested) {
      // Inside the pause: F5 does nothing, F11 resumes.
      paused_seen = p.form.Directions.caption == "Paused.  Press F11 to Restart.";
      Form_KeyDown(p, kKeyF5, 0);
      EXPECT_FALSE(p.InterruptRequested);
      Form_KeyDown(p, kKeyF11, 0);
      step = 2;
    } else if (step == 2 && p.scan.RecordsDone == 2) {
      Form_KeyDown(p, kKeyF5, 0);  // answered No below
      step = 3;
    } else if (step == 3 && p.scan.RecordsDone == 3) {
      Form_KeyDown(p, kKeyF12, 0);  // S2 and S3 are not drawn
      step = 4;
    }
  };
  host.QueueAnswer(Answer::No);
  EXPECT_EQ(Run(), Flow::Continue);
  EXPECT_EQ(std::make_tuple(step, paused_seen, p.RunCompleted, p.form.Directions.caption),
            std::make_tuple(4, true, true, std::string(kRunKeyLegend)));
  EXPECT_EQ(host.questions, Strings{"Do you want to abort the current run"});
  EXPECT_EQ(p.form.YMax.caption, "440");  // still S1: peak 430
  ExpectUndisturbed();
}

// F5 answered Yes, or Exit, while the third record is read: that record is finished (abort)
// or not (exit), the fourth never begun, and the lines written are kept.
TEST_F(FlowTest, AbortYesAndExitDuringTheRun) {
  const Strings all = FreshResults(data);
  for (bool exit : {false, true}) {
    SCOPED_TRACE(exit ? "Exit" : "F5, Yes");
    ASSERT_EQ(Load(data, "", results), Flow::Continue);
    host.on_messages = [&](int) {
      if (p.scan.RecordsDone != 2 || p.InterruptRequested || p.Ending) return;
      if (exit) {
        Exit_Click(p);
      } else {
        Form_KeyDown(p, kKeyF5, 0);
      }
    };
    if (!exit) host.QueueAnswer(Answer::Yes);
    p.Busy = true;  // as the dispatcher holds the menu during a run
    EXPECT_EQ(RunScanAnalysis(p), exit ? Flow::ProgramEnding : Flow::Stop);
    p.Busy = false;
    host.on_messages = nullptr;
    EXPECT_EQ(std::make_tuple(p.RunCompleted, host.ended), std::make_tuple(false, exit));
    EXPECT_EQ(Lines(results), Strings(all.begin(), all.end() - (exit ? 3 : 2)));
    if (exit) break;
    EXPECT_EQ(host.questions, Strings{"Do you want to abort the current run"});
    // The run closed its dataset itself.
    EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen() ||
                 p.channels.Out(Channels::kResults).IsOpen());
  }
}

TEST_F(FlowTest, DisplayKeyDuringTheRunsSearchStillStoresThePures) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  int waits_before = host.one_second_waits;
  host.on_messages = [&](int) {
    if (p.CurrentPure == 1 && p.DisplayOn && p.scan.RecordsDone == 0) Form_KeyDown(p, kKeyF12, 0);
  };
  EXPECT_EQ(Run(), Flow::Continue);
  EXPECT_EQ(host.one_second_waits - waits_before, 2);  // display off: a second per pure
  ExpectUndisturbed();
}

TEST_F(FlowTest, DisplayKeyDuringTheLoadsSearchStillNamesThePures) {
  host.on_messages = [&](int) {
    if (p.CurrentPure == 1 && !p.DisplayOn) Form_KeyDown(p, kKeyF12, 0);
  };
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.on_messages = nullptr;
  EXPECT_EQ(
      std::make_tuple(p.ColorSelected[5], p.ColorSelected[6], p.form.MicrosForColor[1].caption,
                      p.form.MicrosForColor[2].caption, p.scan.PureSpectra(2, 106)),
      std::make_tuple(true, true, "Yellow-Green", "Yellow", 200.0f));
}

TEST_F(FlowTest, AbortDuringTheLoadsSearchClosesTheDataset) {
  host.on_messages = [&](int) {
    if (p.CurrentPure == 1 && !p.InterruptRequested && host.questions.empty()) {
      Form_KeyDown(p, kKeyF5, 0);
    }
  };
  host.QueueAnswer(Answer::Yes);
  p.Busy = true;  // as the Open command holds the menu during a load
  EXPECT_EQ(Load(data, "", results), Flow::Stop);
  p.Busy = false;
  EXPECT_EQ(std::make_tuple(host.questions.size(), p.ScanDataLoaded,
                            p.channels.In(Channels::kData).IsOpen(),
                            p.channels.Out(Channels::kResults).IsOpen(), p.form.OpenDataSS.enabled,
                            p.form.CloseIt.enabled, p.ColorSelected[5]),
            std::make_tuple(1u, false, false, false, true, false, false));
}

TEST_F(FlowTest, AbortDuringTheRunsSearchReturnsAtOnce) {
  Form_KeyDown(p, kKeyF5, 0);  // no run is polling: forgotten when the load's search starts
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  EXPECT_TRUE(host.questions.empty());
  host.on_messages = [&](int) {
    if (p.CurrentPure == 1 && p.DisplayOn && host.questions.empty() && !p.InterruptRequested) {
      Form_KeyDown(p, kKeyF5, 0);
    }
  };
  host.QueueAnswer(Answer::Yes);
  EXPECT_EQ(Run(), Flow::Stop);
  EXPECT_FALSE(p.RunCompleted);
  EXPECT_EQ(Lines(results), kHeaderEcho);  // nothing of the run section
}

// A load starts afresh: a dataset with blanks, its own solvent, microspheres and keys pressed,
// then one without a solvent item, with the interval before the limits and a blanks file
// without any record numbered 1, gives the second the results of a fresh start.
TEST_F(FlowTest, SecondDatasetEqualsAFreshStart) {
  std::string blanks = Write("five.slk", "one\r\ntwo\r\nthree\r\n" + Record("B1", Values(121, 5)) +
                                             Record("B1", Values(121, 5)));
  std::string first = Write("first.syn", Header() + Record("B1", Values(121, 3)) +
                                             Record("P1", PureOne()) + Record("P2", PureTwo()) +
                                             Record("S1", Mix(PureOne(), 3, PureTwo(), 2)));
  ASSERT_EQ(Load(first, blanks, PathOf("first.scf")), Flow::Continue);
  p.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(p, 1);
  host.on_messages = [&](int) {
    if (p.scan.RecordsDone == 1 && p.DisplayOn) Form_KeyDown(p, kKeyF12, 0);
  };
  ASSERT_EQ(Run(), Flow::Continue);
  host.on_messages = nullptr;
  Form_KeyDown(p, kKeyF11, 0);  // left pending after the run

  data =
      Write("second.syn", HandWorked("KOLVANE test scan\r\nPures\t2\r\nScan data interval\t2\r\n"
                                     "Scan upper\t540\r\nScan lower\t300\r\nDate/Time\tlater\r\n"));
  std::string later_blanks =
      Write("later.slk", "one\r\ntwo\r\nthree\r\n" + Record("B2", Values(121, 7)) +
                             Record("B3", Values(121, 7)));
  ASSERT_EQ(Load(data, later_blanks, results), Flow::Continue);
  EXPECT_EQ(p.form.BlanksNum.caption, "2");
  EXPECT_TRUE(p.BackgroundOn);  // so a blank spectrum left over would show in the results
  p.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(p, 1);
  ASSERT_EQ(Run(), Flow::Continue);
  Strings lines = Lines(results);
  EXPECT_EQ(lines, FreshResults(data, later_blanks, true));
  // And the fresh start's own figures: solvent 2.0, so pure 1's factor is 1000/100*2.
  ASSERT_GE(lines.size(), 21u);
  EXPECT_EQ(lines[20], "P1\t2000\t0\t0.00\t1.000\t0.00");
}

// The load's search runs with the background off, as after start-up, even when the dataset
// before left it on: a "B" record before the pures is not taken up, and the pures lose only
// the blanks file's spectrum.
TEST_F(FlowTest, LoadSearchIgnoresTheBackgroundChoiceOfTheDatasetBefore) {
  std::string blanks = Write("b.slk", "one\r\ntwo\r\nthree\r\n" + Record("B1", Values(121, 5)));
  ASSERT_EQ(Load(data, blanks, results), Flow::Continue);
  ASSERT_TRUE(p.BackgroundOn);
  p.channels.CloseAll();
  CloseIt_Click(p);
  std::string second = Write("second.syn", Header() + Record("B1", Values(121, 30)) +
                                               Record("P1", PureOne()) + Record("P2", PureTwo()));
  ASSERT_EQ(Load(second, blanks, PathOf("second.scf")), Flow::Continue);
  EXPECT_EQ(p.scan.PureSpectra(1, 97), 95.0f);  // 100 - 5, not 100 - 30
  EXPECT_EQ(p.scan.PureSpectra(2, 106), 195.0f);
  EXPECT_TRUE(p.BackgroundOn);  // ticked again for the user once the search is over
}

TEST_F(FlowTest, TruncatedLastRecordIsDroppedWithOneMessage) {
  data = Write("truncated_last_record.syn", HandWorked() + "S4 1 2 3\r\n");  // 3 of 120 values
  host.ExpectMessage("EOF detected unexpectedly on data file");
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  EXPECT_EQ(p.form.Samples.caption, "3");
  ASSERT_EQ(Run(), Flow::Continue);
  EXPECT_EQ(host.messages.size(), 1u);  // the run's pass says nothing more
  EXPECT_EQ(Lines(results).back().substr(0, 3), "S3\t");
}

// The pure matrix is decomposed once per run; the factors give every record exactly the
// numbers that a decomposition made afresh for that record gives.
TEST_F(FlowTest, OneDecompositionGivesTheNumbersOfOnePerRecord) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  BuildFitMatrix(p);
  ScanFit once;
  ASSERT_EQ(DecomposeFitMatrix(p, once), SvdStatus::Decomposed);
  const int m = 10, n = 2;
  for (int record = 0; record < 20; ++record) {
    Vector b(m + 1, 0.0);
    for (int r = 1; r <= m; ++r) b[r] = std::sin(record * 7.0 + r) * 1000.0 + record;
    Matrix a(m, n), v;
    for (int r = 1; r <= m; ++r)
      for (int k = 1; k <= n; ++k) a(r, k) = p.scan.FitMatrix(r, k);
    Vector w, x_once, x_fresh;
    SolveRecord(once, b, x_once);
    ASSERT_EQ(DecomposeSvd(a, m, n, w, v), SvdStatus::Decomposed);
    SvdBackSubstitute(a, w, v, m, n, b, x_fresh);
    ASSERT_TRUE(x_once.size() >= 3u && x_fresh.size() >= 3u);
    EXPECT_EQ(std::memcmp(&x_once[1], &x_fresh[1], n * sizeof(double)), 0) << "record " << record;
  }
}

}  // namespace
}  // namespace kolvane
