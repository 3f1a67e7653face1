// Files and choices the program refuses, each with its message: a load that cannot go on
// closes what it opened, leaves the window idle and every input file as it was; a run that
// cannot start leaves the dataset loaded; the errors after which the program ends.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

const std::string kOk = kTwoColors + kTwoPures + CrLf({"S1\t1\t1"});
const std::string kTissueFile =
    CrLf({"Wavelengths\t3", "Color Tube\tTissue\tBlue\tGreen", "P1\t50\t30\t10", "P2\t7\t200\t20",
          "P3\t9\t10\t100", "S1\t77\t105\t60"});

class Refusals : public FixedFixture {
 protected:
  void ExpectIdleAndClosed() {
    const MainForm& f = p.form;
    EXPECT_TRUE(f.OpenData.enabled && f.OpenDataSS.enabled);
    EXPECT_FALSE(f.CloseIt.enabled || f.Spillover.enabled || f.ColorBoxes.visible);
    EXPECT_FALSE(p.MatrixReady || p.FixedDataLoaded);
    for (int ch : {1, 3, 5, 7}) EXPECT_FALSE(p.channels.In(ch).IsOpen()) << ch;
    EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
  }
};

// The load closes what it opened, leaves the window idle and every input as it was. The other
// refused files, with their messages, are golden cases (refused_*). %fix, %blk, %ctl and %dir
// stand for the case's files and folder.
TEST_F(Refusals, FilesThatCannotBeLoaded) {
  // Answered as the batch answers: a refused results file ends the load. (The window asks
  // again: tests/dispatch/open_checks_test.cpp.)
  host.has_user = false;
  const std::string data_file = "  The file was not loaded.",
                    companion = "  The data file was not loaded.";
  const std::string reading = kBlankHead + CrLf({"B1\t1\t1"}), same = ", which is being read.";
  struct Case {
    std::string fix, blk, ctl, results, message, tail;
  } cases[] = {
      {kTwoColors + Repeat("S1\t1\t1\r\n", 32768), "", "", "",
       "The data file %fix has more than 32767 sample records.", data_file},
      {kTwoColors + Repeat("P1\t1\t1\r\n", 32768), "", "", "",
       "The data file %fix has more than 32767 pure records.", data_file},
      {kOk, kBlankHead + Repeat("B2\t1\t1\r\n", 32768), "", "",
       "The blanks file %blk has more than 32767 records.", companion},
      {kOk, "", "", "%fix", "The results file %fix is the file %fix" + same, data_file},
      {kOk, reading, "", "%dir/./b.blk", "The results file %dir/./b.blk is the file %blk" + same,
       data_file},
      {kOk, "", reading, "%ctl", "The results file %ctl is the file %ctl" + same, data_file},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string data = Write("d.fix", c.fix), blanks = Write("b.blk", c.blk),
                      controls = Write("c.ctl", c.ctl);
    auto paths = [&](std::string text) {
      text = ReplaceAll(ReplaceAll(text, "%fix", data), "%blk", Path("b.blk"));
      return ReplaceAll(ReplaceAll(text, "%ctl", Path("c.ctl")), "%dir", dir);
    };
    const bool same = c.message.rfind("The results file", 0) == 0;
    host.ExpectMessage(paths(
        c.message + (same ? "  Please choose another name for the results file." : "") + c.tail));
    EXPECT_EQ(Flow::Stop, Load(data, blanks, controls, paths(c.results)));
    ExpectIdleAndClosed();
    EXPECT_EQ(c.fix + c.blk + c.ctl,
              ReadFile(data) + ReadFile(Path("b.blk")) + ReadFile(Path("c.ctl")));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
}

TEST_F(Refusals, FilesThatCannotBeOpenedAndCancelledDialogs) {
  const std::string data = Write("ok.fix", kOk), no_fix = Path("missing.fix"),
                    no_blk = Path("missing.blk");
  const std::vector<std::string> answers[] = {{no_fix}, {data, no_blk}, {data, "", "", ""}};
  for (const auto& queue : answers) {  // the last: no results file
    if (queue.size() < 4)
      host.ExpectMessage("Can't open file: " + queue.back() + " (No such file or directory)");
    for (const std::string& answer : queue) host.QueueFile(answer);
    EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
    ExpectIdleAndClosed();
  }
}

// A run refused before it starts keeps the dataset loaded, and the remedy lets it go. The runs
// that stop on the data are golden cases (stopped_*).
TEST_F(Refusals, RunsThatCannotStartUntilMended) {
  const std::string zero_reference =
      "The control value of Blue from the controls file %ctl is 0, and Control Correction "
      "divides by it.  Please untick Control Correction or edit the controls file.";
  auto uncorrect = [this] { SetControlCorrection(false); };
  struct Case {
    std::string ctl, entry, message;
    std::function<void()> remedy;
  };
  std::vector<Case> cases = {
      {kBlankHead + CrLf({"C1\t0\t5", "C1\t0\t7"}), "", zero_reference, uncorrect},
      {kBlankHead, "", zero_reference, uncorrect},
      // A zero control of a colour left out does not matter.
      {kBlankHead + CrLf({"C1\t5\t5", "C3\t5\t0"}), "",
       "The control record numbered 3 in the controls file %ctl reads 0 for Red, and Control "
       "Correction divides by it.  Please untick Control Correction or edit the controls file.",
       [this] { Untick(2); }},
  };
  // A bad entry in the last box only; the focus goes to it, and leaving the colour out helps.
  for (const char* e : {"abc", "", "-5", "1e39"}) {
    cases.push_back({"", e, "Entry must be a positive integer", [this] {
                       EXPECT_EQ("MicrosPerMlFix", p.form.focus.control);
                       EXPECT_EQ(2, p.form.focus.index);
                       Untick(2);
                     }});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::string data = Write("d.fix", kOk), controls = Write("c.ctl", c.ctl);
    ASSERT_EQ(Flow::Continue, Load(data, "", controls));
    if (!c.ctl.empty()) SetControlCorrection(true);
    if (c.ctl.empty()) Microspheres({"1000", c.entry.c_str()});
    host.ExpectMessage(ReplaceAll(c.message, "%ctl", controls));
    const std::string earlier = ReadFile(data + ".scf");  // the last row's results, or none
    EXPECT_EQ(Flow::Stop, Analyze());
    EXPECT_EQ(earlier, ReadFile(data + ".scf")) << "a refused run leaves the results file alone";
    EXPECT_TRUE(p.FixedDataLoaded && p.MatrixReady && p.form.CloseIt.enabled &&
                p.channels.In(Channels::kData).IsOpen());
    c.remedy();
    EXPECT_EQ(Flow::Continue, Analyze());
    EXPECT_NE(std::string::npos, ReadFile(data + ".scf").find("\r\nS1\t"));
  }
}

// The tissue options aborted, or the tissue dialog cancelled: the run ends as cancelled before
// its first line, the program goes on and no results file is written. (The dataset kept
// loaded, through the window: tests/dispatch/run_cancel_test.cpp.)
TEST_F(Refusals, TissueDialogsAbortedOrCancelled) {
  std::string data = Write("t.fix", kTissueFile);
  for (bool abort : {true, false}) {
    SCOPED_TRACE(abort ? "Abort Run" : "Cancel Analysis");
    ASSERT_EQ(Flow::Continue, Load(data));
    p.ledger.cancelled = false;
    host.on_tissue = [abort](TissueForm& f) {
      TissueOpt_Click(f, 0);  // used in the correction
      abort ? TissueOk_Click(f) : TissueCancel_Click(f);
    };
    host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); };
    EXPECT_EQ(Flow::Stop, Analyze());
    EXPECT_TRUE(p.ledger.cancelled);
    EXPECT_FALSE(p.ledger.Complete() || host.ended || p.Ending);
    EXPECT_FALSE(std::ifstream(data + ".scf").good());
  }
}

// Exit chosen while a load or a run yields: the operation unwinds at once and reports the end.
TEST_F(Refusals, ExitWhileYieldingUnwinds) {
  std::string data = Write("exit.fix", kOk + CrLf({"S2\t1\t1", "S3\t1\t1"}));
  for (int at_pump : {2, 9, 0}) {
    SCOPED_TRACE(at_pump);
    host.ended = p.Ending = false;
    if (at_pump > 0) {
      ASSERT_EQ(Flow::Continue, Load(data));
    }
    int pumps = host.message_pumps;
    host.on_messages = [&](int count) {
      if (count == pumps + std::max(at_pump, 1)) Exit_Click(p);
    };
    EXPECT_EQ(Flow::ProgramEnding, at_pump > 0 ? RunFixedAnalysis(p) : Load(data));
    host.on_messages = nullptr;
    EXPECT_TRUE(host.ended && !p.ledger.Complete());
    CloseDataset(p);
  }
}

}  // namespace
}  // namespace kolvane
