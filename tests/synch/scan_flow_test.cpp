// The window's flow over the hand-worked dataset: the run keys during a run and during the
// pure searches, and a load that starts afresh.
#include <gtest/gtest.h>

#include <tuple>

#include "app/run_control.h"
#include "base/channels.h"
#include "scan_fixture.h"

namespace kolvane {
namespace {

using namespace scantest;
using std::make_tuple;

class FlowTest : public ScanTest {
 protected:
  const std::string data = Golden("two_pures_intensity", "two_pures.syn");
  const std::string expected = ReadFile(Golden("two_pures_intensity", "expected.scf"));
  std::string Results() const { return ReadFile(Path("five.scf")); }
  // Where a run that did not complete keeps the lines it wrote.
  std::string Incomplete() const { return ReadFile(Path("five.incomplete.scf")); }
  Flow LoadData() { return Load(data, "", Path("five.scf")); }
};

TEST_F(FlowTest, PauseResumeAbortNoAndDisplayKeyLeaveTheResultsAlone) {
  ASSERT_EQ(LoadData(), Flow::Continue);
  int step = 0;
  host.on_messages = [&](int) {
    if (step == 0 && p.ledger.records_read == 1) {
      Form_KeyDown(p, kKeyF11, 0);  // pause asked while record 2 is read
      step = p.form.Directions.caption == "Pausing.  Please Wait." ? 1 : 9;
    } else if (step == 1 && p.PauseRequested) {
      // Inside the pause: F5 does nothing, F11 resumes.
      step = p.form.Directions.caption == "Paused.  Press F11 to Restart." ? 2 : 9;
      Form_KeyDown(p, kKeyF5, 0);
      if (p.InterruptRequested) step = 9;
      Form_KeyDown(p, kKeyF11, 0);
    } else if (step == 2 && p.ledger.records_read == 2) {
      Form_KeyDown(p, kKeyF5, 0);  // answered No below
      step = 3;
    } else if (step == 3 && p.ledger.records_read == 3) {
      Form_KeyDown(p, kKeyF12, 0);  // S2 and S3 are not drawn
      step = 4;
    }
  };
  host.QueueAnswer(Answer::No);
  EXPECT_EQ(Run(), Flow::Continue);
  EXPECT_EQ(make_tuple(step, p.ledger.Complete(), p.form.Directions.caption, p.form.YMax.caption),
            make_tuple(4, true, std::string(kRunKeyLegend), "440"));  // S1's peak 430
  EXPECT_EQ(host.questions, Strings{"Do you want to abort the current run?"});
  EXPECT_EQ(Results(), expected);
}

// F5 answered Yes, or Exit, while the third record is read: that record is finished (abort)
// or not (exit), the fourth never begun, and the lines written are kept beside the results
// file, which the run never wrote.
TEST_F(FlowTest, AbortYesAndExitDuringTheRun) {
  for (bool exit : {false, true}) {
    SCOPED_TRACE(exit ? "Exit" : "F5, Yes");
    ASSERT_EQ(LoadData(), Flow::Continue);
    host.on_messages = [&](int) {
      if (p.ledger.records_read != 2 || p.InterruptRequested || p.Ending) return;
      exit ? Exit_Click(p) : Form_KeyDown(p, kKeyF5, 0);
    };
    if (!exit) host.QueueAnswer(Answer::Yes);
    p.Busy = true;  // as the dispatcher holds the menu during a run
    EXPECT_EQ(RunScanAnalysis(p), exit ? Flow::ProgramEnding : Flow::Stop);
    p.Busy = false;
    host.on_messages = nullptr;
    EXPECT_EQ(make_tuple(p.ledger.Complete(), host.ended), make_tuple(false, exit));
    p.channels.CloseAll();  // an Exit leaves the closing to the end of the program
    EXPECT_EQ(Results(), "");
    EXPECT_EQ(Incomplete(), Head(expected, exit ? -3 : -2));
    std::remove(Path("five.incomplete.scf").c_str());
    // The abort closed the dataset itself.
    EXPECT_TRUE(exit || !p.channels.In(Channels::kData).IsOpen());
  }
}

// F12 during the load's search or the run's: the pures are still stored and named.
TEST_F(FlowTest, DisplayKeyDuringEitherSearchStillStoresAndNamesThePures) {
  for (bool at_load : {true, false}) {
    host.on_messages = [&](int) {
      if (p.CurrentPure == 1 && p.DisplayOn != at_load && p.ledger.records_read == 0)
        Form_KeyDown(p, kKeyF12, 0);
    };
    ASSERT_EQ(LoadData(), Flow::Continue);
    EXPECT_EQ(make_tuple(p.form.MicrosForColor[1].caption, p.form.MicrosForColor[2].caption),
              make_tuple("Yellow-Green", "Yellow"));
    ASSERT_EQ(Run(), Flow::Continue);
    host.on_messages = nullptr;
    EXPECT_EQ(Results(), expected);
  }
}

// F5 answered Yes during either search: the load closes the dataset and leaves the window
// idle; the run returns at once with the header only. F5 pressed while nothing polls is
// forgotten when the load's search starts.
TEST_F(FlowTest, AbortDuringEitherSearch) {
  for (bool at_load : {true, false}) {
    host.questions.clear();
    Form_KeyDown(p, kKeyF5, 0);
    host.on_messages = [&](int) {
      if (p.CurrentPure == 1 && p.DisplayOn != at_load && host.questions.empty() &&
          !p.InterruptRequested)
        Form_KeyDown(p, kKeyF5, 0);
    };
    host.QueueAnswer(Answer::Yes);
    p.Busy = at_load;  // as the Open command holds the menu during a load
    const Flow loaded = LoadData();
    p.Busy = false;
    if (at_load) {
      EXPECT_EQ(make_tuple(loaded, host.questions.size(), p.ScanDataLoaded,
                           p.channels.In(Channels::kData).IsOpen(),
                           p.channels.Out(Channels::kResults).IsOpen(), p.form.OpenDataSS.enabled,
                           p.form.CloseIt.enabled, p.ColorSelected[5]),
                make_tuple(Flow::Stop, 1u, false, false, false, true, false, false));
      continue;
    }
    ASSERT_EQ(make_tuple(loaded, host.questions.size()), make_tuple(Flow::Continue, 0u));
    EXPECT_EQ(Run(), Flow::Stop);
    EXPECT_EQ(make_tuple(p.ledger.Complete(), host.questions.size()), make_tuple(false, 1u));
    // The header only, no record line: no file at all.
    EXPECT_EQ(Results() + Incomplete(), "");
  }
}

// A load starts afresh: after a run with blanks, a blank record in the data file, microspheres
// and keys pressed, the hand-worked dataset with a blanks file that has no record numbered 1
// gives the hand-worked results, and the run leaves the entered values alone.
TEST_F(FlowTest, SecondDatasetEqualsAFreshStart) {
  ASSERT_EQ(Load(Golden("blank_subtraction", "blanks.syn"),
                 Golden("blank_subtraction", "blanks.slk"), Path("first.scf")),
            Flow::Continue);
  ChooseMicrospheres();
  SetMicrosPerMlText(p, 2, "500");
  host.on_messages = [&](int) {
    if (p.ledger.records_read == 1 && p.DisplayOn) Form_KeyDown(p, kKeyF12, 0);
  };
  ASSERT_EQ(Run(), Flow::Continue);
  host.on_messages = nullptr;
  EXPECT_EQ(make_tuple(p.ScanMicrosPerMlValues[1], p.ScanMicrosPerMlValues[2]),
            make_tuple(1000.0, 500.0));
  Form_KeyDown(p, kKeyF11, 0);  // left pending after the run

  std::string no_initial =
      Write("later.slk", "one\r\ntwo\r\nthree\r\n" + Record("B2", Values(121, 7)));
  ASSERT_EQ(Load(Golden("two_pures_microspheres", "two_pures.syn"), no_initial, Path("r.scf")),
            Flow::Continue);
  EXPECT_EQ(make_tuple(p.form.BlanksNum.caption, p.BackgroundOn), make_tuple("1", true));
  ChooseMicrospheres();
  SetMicrosPerMlText(p, 2, "500");
  ASSERT_EQ(Run(), Flow::Continue);
  EXPECT_EQ(ReadFile(Path("r.scf")), ReadFile(Golden("two_pures_microspheres", "expected.scf")));
}

// The load's search runs with the background off, as after start-up, even when the dataset
// before left it on: a "B" record before the pures is not taken up, and the pures lose only
// the blanks file's spectrum.
TEST_F(FlowTest, LoadSearchIgnoresTheBackgroundChoiceOfTheDatasetBefore) {
  std::string blanks = Write("b.slk", "one\r\ntwo\r\nthree\r\n" + Record("B1", Values(121, 5)));
  ASSERT_EQ(Load(data, blanks, Path("first.scf")), Flow::Continue);
  ASSERT_TRUE(p.BackgroundOn);
  p.channels.CloseAll();
  CloseIt_Click(p);
  std::string second = Write("second.syn",
                             "Pures\t1\r\nScan lower\t300\r\nScan upper\t540\r\n"
                             "Scan data interval\t2\r\nDate/Time\tx\r\n" +
                                 Record("B1", Values(121, 30)) + Record("P1", Tent(120, 97, 100)));
  ASSERT_EQ(Load(second, blanks, Path("second.scf")), Flow::Continue);
  EXPECT_EQ(make_tuple(p.scan.PureSpectra(1, 97), p.BackgroundOn),
            make_tuple(95.0f, true));  // 100 - 5, not 100 - 30; ticked again afterwards
}

}  // namespace
}  // namespace kolvane
