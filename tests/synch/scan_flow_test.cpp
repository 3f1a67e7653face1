// The window's flow over a scan dataset: pause, resume, abort and the display key during a
// run and during the load's pure search; a load that starts afresh; refusals of the load and
// of the run; and the fit's single decomposition.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "app/color_panel.h"
#include "app/run_control.h"
#include "base/channels.h"
#include "scan_fixture.h"
#include "synch/scan_fit.h"
#include "synch/scan_results.h"

namespace kolvane {
namespace {

using namespace scantest;

const char* const kGeometry = "Scan lower\t300\r\nScan upper\t540\r\nScan data interval\t2\r\n";

// The hand-worked dataset of the run tests: P1, P2, S1..S3 (see scan_run_test.cpp).
std::string FiveRecords(const std::string& header) {
  Values p1 = PureOne(120, 97, 106), p2 = PureTwo(120, 97, 106);
  return header + Record("P1", p1) + Record("P2", p2) + Record("S1", Mix(p1, 3, p2, 2)) +
         Record("S2", Mix(p1, 1, p2, 10)) + Record("S3", Mix(p1, 0.5, p2, 0.5));
}

class FlowTest : public ScanTest {
 protected:
  void SetUp() override {
    ScanTest::SetUp();
    data = Write("five.syn", FiveRecords(Header(kGeometry)));
    results = PathOf("five.scf");
  }
  // The results of an undisturbed run of the same dataset in a program of its own.
  std::vector<std::string> Undisturbed() {
    ScriptedHost other_host;
    Program other(other_host);
    Form_Load(other, 19200, 14400);
    other_host.QueueFile(data);
    other_host.QueueFile("");
    other_host.QueueFile(PathOf("fresh.scf"));
    EXPECT_EQ(OpenScanDataset(other), Flow::Continue);
    EXPECT_EQ(RunScanAnalysis(other), Flow::Continue);
    other.channels.CloseAll();
    return Lines(PathOf("fresh.scf"));
  }
  std::string data, results;
};

TEST_F(FlowTest, PauseAndResumeLeaveTheResultsAlone) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  bool paused_seen = false;
  int presses = 0;
  host.on_messages = [&](int) {
    if (p.scan.RecordsDone == 1 && presses == 0) {
      Form_KeyDown(p, kKeyF11, 0);  // pause asked while record 2 is read
      EXPECT_EQ(p.form.Directions.caption, "Pausing.  Please Wait.");
      ++presses;
    } else if (p.PauseRequested && !p.InterruptRequested && presses == 1) {
      // Inside the pause: F5 does nothing, F11 resumes.
      paused_seen = p.form.Directions.caption == "Paused.  Press F11 to Restart.";
      Form_KeyDown(p, kKeyF5, 0);
      EXPECT_FALSE(p.InterruptRequested);
      Form_KeyDown(p, kKeyF11, 0);
      ++presses;
    }
  };
  EXPECT_EQ(Run(), Flow::Continue);
  EXPECT_TRUE(paused_seen);
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(p.form.Directions.caption, kRunKeyLegend);
  host.on_messages = nullptr;
  EXPECT_EQ(Lines(results), Undisturbed());
}

TEST_F(FlowTest, AbortAnsweredYesKeepsTheLinesWritten) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.on_messages = [&](int) {
    if (p.scan.RecordsDone == 2 && !p.InterruptRequested) Form_KeyDown(p, kKeyF5, 0);
  };
  host.QueueAnswer(Answer::Yes);
  p.Busy = true;  // as the dispatcher holds the menu during a run
  EXPECT_EQ(RunScanAnalysis(p), Flow::Stop);
  p.Busy = false;
  // The run closed its dataset itself.
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
  EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
  EXPECT_FALSE(p.RunCompleted);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0], "Do you want to abort the current run");
  // F5 came while the third record was read: it is finished, the fourth is never begun.
  host.on_messages = nullptr;
  std::vector<std::string> all = Undisturbed();
  std::vector<std::string> expected(all.begin(), all.end() - 2);
  EXPECT_EQ(Lines(results), expected);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
}

TEST_F(FlowTest, AbortAnsweredNoGoesOn) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.on_messages = [&](int) {
    if (p.scan.RecordsDone == 2 && host.questions.empty() && !p.InterruptRequested) {
      Form_KeyDown(p, kKeyF5, 0);
    }
  };
  host.QueueAnswer(Answer::No);
  EXPECT_EQ(Run(), Flow::Continue);
  EXPECT_TRUE(p.RunCompleted);
  host.on_messages = nullptr;
  EXPECT_EQ(Lines(results), Undisturbed());
}

TEST_F(FlowTest, DisplayKeyStopsTheDrawingButNotTheResults) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.on_messages = [&](int) {
    if (p.scan.RecordsDone == 3 && p.DisplayOn) Form_KeyDown(p, kKeyF12, 0);
  };
  EXPECT_EQ(Run(), Flow::Continue);
  // Records 4 and 5 were not drawn: the picture still shows S1 (peak 430, top 440).
  EXPECT_EQ(p.form.YMax.caption, "440");
  host.on_messages = nullptr;
  EXPECT_EQ(Lines(results), Undisturbed());
}

TEST_F(FlowTest, DisplayKeyDuringTheRunsSearchStillStoresThePures) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  int waits_before = host.one_second_waits;
  host.on_messages = [&](int) {
    if (p.CurrentPure == 1 && p.DisplayOn && p.scan.RecordsDone == 0) Form_KeyDown(p, kKeyF12, 0);
  };
  EXPECT_EQ(Run(), Flow::Continue);
  // With the display off the search waits a second per pure, as the load's search does.
  EXPECT_EQ(host.one_second_waits - waits_before, 2);
  host.on_messages = nullptr;
  EXPECT_EQ(Lines(results), Undisturbed());
}

TEST_F(FlowTest, DisplayKeyDuringTheLoadsSearchStillNamesThePures) {
  host.on_messages = [&](int) {
    if (p.CurrentPure == 1 && !p.DisplayOn) Form_KeyDown(p, kKeyF12, 0);
  };
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.on_messages = nullptr;
  EXPECT_TRUE(p.ColorSelected[5]);
  EXPECT_TRUE(p.ColorSelected[6]);
  EXPECT_EQ(p.form.MicrosForColor[1].caption, "Yellow-Green");
  EXPECT_EQ(p.form.MicrosForColor[2].caption, "Yellow");
  EXPECT_EQ(p.scan.PureSpectra(2, 106), 200.0f);
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
  EXPECT_FALSE(p.ScanDataLoaded);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
  EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
  EXPECT_TRUE(p.form.OpenDataSS.enabled);
  EXPECT_FALSE(p.form.CloseIt.enabled);
  EXPECT_FALSE(p.ColorSelected[5]);
}

TEST_F(FlowTest, AbortDuringTheRunsSearchReturnsAtOnce) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.on_messages = [&](int) {
    if (p.CurrentPure == 1 && p.DisplayOn && host.questions.empty() && !p.InterruptRequested) {
      Form_KeyDown(p, kKeyF5, 0);
    }
  };
  host.QueueAnswer(Answer::Yes);
  EXPECT_EQ(Run(), Flow::Stop);
  EXPECT_FALSE(p.RunCompleted);
  // Nothing of the run section was written.
  EXPECT_EQ(Lines(results).size(), 11u);
}

TEST_F(FlowTest, KeysPendingBeforeALoadAreForgotten) {
  Form_KeyDown(p, kKeyF5, 0);  // no run is polling: the request would wait for the next poll
  ASSERT_EQ(Load(data, "", results), Flow::Continue);  // no question is asked
  EXPECT_TRUE(host.questions.empty());
}

// A load starts afresh: a dataset with blanks, its own solvent and scan limits, microspheres
// and keys pressed, followed by one without any of that, gives the second one the results of
// a fresh start.
TEST_F(FlowTest, SecondDatasetEqualsAFreshStart) {
  // First dataset: a blanks file of 5 at every point, a "B" record, solvent 2.5.
  std::string blanks =
      Write("five.slk", "one\r\ntwo\r\nthree\r\n" + Record("B1", Values(121, 5.0)) +
                            Record("B1", Values(121, 5.0)));
  Values p1 = PureOne(120, 97, 106), p2 = PureTwo(120, 97, 106);
  std::string first =
      Write("first.syn", Header(kGeometry) + Record("B1", Values(121, 3.0)) + Record("P1", p1) +
                             Record("P2", p2) + Record("S1", Mix(p1, 3, p2, 2)));
  ASSERT_EQ(Load(first, blanks, PathOf("first.scf")), Flow::Continue);
  p.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(p, 1);
  host.on_messages = [&](int) {
    if (p.scan.RecordsDone == 1 && p.DisplayOn) Form_KeyDown(p, kKeyF12, 0);
  };
  ASSERT_EQ(Run(), Flow::Continue);
  host.on_messages = nullptr;
  Form_KeyDown(p, kKeyF11, 0);  // left pending after the run

  // Second dataset: no blanks, no solvent item, the interval before the lower limit.
  std::string second_header =
      "KOLVANE test scan\r\nPures\t2\r\nScan data interval\t2\r\nScan upper\t540\r\n"
      "Scan lower\t300\r\nDate/Time\tlater\r\n";
  data = Write("second.syn", FiveRecords(second_header));
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  p.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(p, 1);
  ASSERT_EQ(Run(), Flow::Continue);

  ScriptedHost other_host;
  Program other(other_host);
  Form_Load(other, 19200, 14400);
  other_host.QueueFile(data);
  other_host.QueueFile("");
  other_host.QueueFile(PathOf("fresh.scf"));
  ASSERT_EQ(OpenScanDataset(other), Flow::Continue);
  other.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(other, 1);
  ASSERT_EQ(RunScanAnalysis(other), Flow::Continue);
  other.channels.CloseAll();
  EXPECT_EQ(ReadFile(results), ReadFile(PathOf("fresh.scf")));
  // And the fresh start's own figures: solvent 2.0, so pure 1's factor is 1000/100*2.
  std::vector<std::string> lines = Lines(results);
  ASSERT_GE(lines.size(), 21u);
  EXPECT_EQ(lines[20], "P1\t2000\t0\t0.00\t1.000\t0.00");
}

TEST_F(FlowTest, CrOnlyLineEndsReadAsAnyOther) {
  std::string cr = ReadFile(std::string(KOLVANE_TEST_DATA) + "/scan/cr_only_line_ends.syn");
  ASSERT_EQ(cr.find('\n'), std::string::npos);
  std::string crlf;
  for (char c : cr) crlf += c == '\r' ? std::string("\r\n") : std::string(1, c);
  std::string cr_path = Write("cr.syn", cr);
  std::string crlf_path = Write("crlf.syn", crlf);
  ASSERT_EQ(Load(cr_path, "", PathOf("cr.scf")), Flow::Continue);
  ASSERT_EQ(Run(), Flow::Continue);
  ASSERT_EQ(Load(crlf_path, "", PathOf("crlf.scf")), Flow::Continue);
  ASSERT_EQ(Run(), Flow::Continue);
  EXPECT_EQ(ReadFile(PathOf("cr.scf")), ReadFile(PathOf("crlf.scf")));
  // S1 is twice the pure, whose own peak is 6: intensity 12.
  EXPECT_EQ(Lines(PathOf("cr.scf")).back(), "S1\t12.000\t0.00\t1.000");
}

TEST_F(FlowTest, TruncatedLastRecordIsDroppedWithOneMessage) {
  std::string text = FiveRecords(Header(kGeometry));
  text += "S4 1 2 3\r\n";  // 3 of 120 values
  data = Write("truncated_last_record.syn", text);
  host.ExpectMessage("EOF detected unexpectedly on data file");
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  EXPECT_EQ(p.form.Samples.caption, "3");
  ASSERT_EQ(Run(), Flow::Continue);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(Lines(results).back().substr(0, 3), "S3\t");
}

TEST_F(FlowTest, PuresMissingRefuseTheLoad) {
  std::string text =
      FiveRecords("KOLVANE\r\nPures\t3\r\n" + std::string(kGeometry) + "Date/Time\tx\r\n");
  data = Write("pures_missing.syn", text);
  const char* text_eof =
      "EOF detected while searching for a Pure color/wavelength.  Please check data file "
      "structure.";
  host.ExpectMessage(text_eof);
  EXPECT_EQ(Load(data, "", results), Flow::Stop);
  EXPECT_FALSE(p.ScanDataLoaded);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
  EXPECT_EQ(p.form.Directions.caption, text_eof);
}

TEST_F(FlowTest, ResultsFileMayNotBeAFileBeingRead) {
  std::string blanks = Write("b.slk", "a\r\nb\r\nc\r\n" + Record("B1", Values(121, 1.0)));
  const std::string before_data = ReadFile(data), before_blanks = ReadFile(blanks);
  for (const std::string& target : {data, blanks}) {
    host.ExpectMessage("The results file may not be one of the files being read: " + target);
    EXPECT_EQ(Load(data, blanks, target), Flow::Stop);
    EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
    EXPECT_FALSE(p.channels.In(Channels::kBlanks).IsOpen());
  }
  EXPECT_EQ(ReadFile(data), before_data);
  EXPECT_EQ(ReadFile(blanks), before_blanks);
}

TEST_F(FlowTest, FilesThatCannotBeOpened) {
  // Cancelling the first dialog changes nothing.
  host.QueueFile("");
  EXPECT_EQ(OpenScanDataset(p), Flow::Stop);
  std::string missing = PathOf("no_such.slk");
  host.ExpectMessage("Can't open file: " + missing);
  host.QueueFile(data);
  host.QueueFile(missing);
  EXPECT_EQ(OpenScanDataset(p), Flow::Stop);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
  // A results file in a folder that does not exist.
  std::string unwritable = PathOf("no_such_dir/out.scf");
  host.ExpectMessage("Can't open file: " + unwritable);
  EXPECT_EQ(Load(data, "", unwritable), Flow::Stop);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
  // Cancelling the results dialog closes what was opened.
  EXPECT_EQ(Load(data, "", ""), Flow::Stop);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
  // After all that a load goes through.
  EXPECT_EQ(Load(data, "", results), Flow::Continue);
}

TEST_F(FlowTest, PureWithoutAValueAboveZeroRefusesTheRun) {
  Values p1 = PureOne(120, 97, 106);
  Values flat(121, 0.0);
  data = Write("zero_pure.syn",
               Header(kGeometry) + Record("P1", p1) + Record("P2", flat) + Record("S1", p1));
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.ExpectMessage(
      "Pure 2 (P2) has no value above 0 at its peak: the spillover cannot be corrected.");
  EXPECT_EQ(Run(), Flow::Stop);
  EXPECT_FALSE(p.RunCompleted);
  EXPECT_EQ(Lines(results).size(), 11u);  // the header echo only
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
    Vector x_once;
    SolveRecord(once, b, x_once);
    Matrix a(m, n);
    for (int r = 1; r <= m; ++r)
      for (int k = 1; k <= n; ++k) a(r, k) = p.scan.FitMatrix(r, k);
    Vector w;
    Matrix v;
    ASSERT_EQ(DecomposeSvd(a, m, n, w, v), SvdStatus::Decomposed);
    Vector x_fresh;
    SvdBackSubstitute(a, w, v, m, n, b, x_fresh);
    ASSERT_GE(x_once.size(), 3u);
    ASSERT_GE(x_fresh.size(), 3u);
    EXPECT_EQ(std::memcmp(&x_once[1], &x_fresh[1], n * sizeof(double)), 0) << "record " << record;
  }
}

}  // namespace
}  // namespace kolvane

namespace kolvane {
namespace {

using namespace scantest;

// The load's search runs with background subtraction off, as after start-up, even when the
// previous dataset left it on: a "B" record before the pures is not taken up, and the pures
// lose only the blanks file's spectrum.
TEST_F(FlowTest, LoadSearchIgnoresTheBackgroundChoiceOfTheDatasetBefore) {
  std::string blanks = Write("b.slk", "one\r\ntwo\r\nthree\r\n" + Record("B1", Values(121, 5.0)));
  ASSERT_EQ(Load(data, blanks, results), Flow::Continue);
  ASSERT_TRUE(p.BackgroundOn);
  p.channels.CloseAll();
  CloseIt_Click(p);

  Values p1 = PureOne(120, 97, 106), p2 = PureTwo(120, 97, 106);
  std::string second = Write("second.syn", Header(kGeometry) + Record("B1", Values(121, 30.0)) +
                                               Record("P1", p1) + Record("P2", p2));
  ASSERT_EQ(Load(second, blanks, PathOf("second.scf")), Flow::Continue);
  EXPECT_EQ(p.scan.PureSpectra(1, 97), 95.0f);  // 100 - 5, not 100 - 30
  EXPECT_EQ(p.scan.PureSpectra(2, 106), 195.0f);
  EXPECT_TRUE(p.BackgroundOn);  // ticked again for the user once the search is over
}

// Exit while the run yields: the run unwinds at once and the lines written so far are kept.
TEST_F(FlowTest, ExitDuringTheRunUnwinds) {
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  host.on_messages = [&](int) {
    if (p.scan.RecordsDone == 2 && !p.Ending) Exit_Click(p);
  };
  EXPECT_EQ(RunScanAnalysis(p), Flow::ProgramEnding);
  EXPECT_TRUE(host.ended);
  EXPECT_FALSE(p.RunCompleted);
  host.on_messages = nullptr;
  std::vector<std::string> all = Undisturbed();
  std::vector<std::string> expected(all.begin(), all.end() - 3);
  EXPECT_EQ(Lines(results), expected);
}

TEST(ResultCells, NumbersThatAreNotFiniteLeaveTheCellEmpty) {
  EXPECT_EQ(FixedCell(std::numeric_limits<double>::infinity(), 2), "");
  EXPECT_EQ(FixedCell(-std::numeric_limits<double>::infinity(), 0), "");
  EXPECT_EQ(FixedCell(std::nan(""), 3), "");
  EXPECT_EQ(FixedCell(-0.0004, 3), "0.000");
  EXPECT_EQ(FixedCell(2.675, 2), "2.68");
}

}  // namespace
}  // namespace kolvane
