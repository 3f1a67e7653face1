// Files and choices the program refuses, each with its message: a load that cannot go on
// closes what it opened, leaves the window idle and every input file as it was; a run that
// cannot start leaves the dataset loaded or writes no result line; the errors after which the
// program ends.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

const std::string kOk = kTwoColors + kTwoPures + CrLf({"S1\t1\t1"});
const std::string kNotLoaded = "  The file was not loaded.";
const std::string kDataNotLoaded = "  The data file was not loaded.";
const std::string kNoCount =
    " gives no number of colors (a \"Wavelengths\" line with at least 1)." + kNotLoaded;
const std::string kTissueFile =
    CrLf({"Wavelengths\t3", "Color Tube\tTissue\tBlue\tGreen", "P1\t50\t30\t10", "P2\t7\t200\t20",
          "P3\t9\t10\t100", "S1\t77\t105\t60"});

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

class Refusals : public FixedFixture {
 protected:
  void ExpectIdleAndClosed() {
    const MainForm& f = p.form;
    EXPECT_TRUE(f.OpenData.enabled && f.OpenDataSS.enabled);
    EXPECT_FALSE(f.CloseIt.enabled || f.Spillover.enabled);
    EXPECT_FALSE(f.ColorBoxes.visible || f.SynchFrame.visible);
    EXPECT_FALSE(p.MatrixReady);
    for (int ch : {1, 3, 5, 7}) EXPECT_FALSE(p.channels.In(ch).IsOpen()) << ch;
    EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
    if (!host.pointers.empty()) {
      EXPECT_EQ(Pointer::Default, host.pointers.back());
    }
  }
  // Writes the files of a case; an empty companion text is a cancelled dialog.
  std::string WriteIf(const std::string& name, const std::string& text) {
    return text.empty() ? "" : Write(name, text);
  }
};

// %fix, %blk, %ctl and %dir stand for the paths of the case's files and folder.
TEST_F(Refusals, FilesThatCannotBeLoaded) {
  struct Case {
    const char* name;
    std::string fix, blk, ctl, results, message;
  } cases[] = {
      {"record number beyond 16 bits", kTwoColors + kTwoPures + CrLf({"S40000\t1\t1"}), "", "", "",
       "Record \"S40000\" of the data file %fix has a record number outside -32768..32767." +
           kNotLoaded},
      {"fewer readings than colours", kTwoColors + kTwoPures + CrLf({"S5\t1", "S6\t1\t1"}), "", "",
       "", "Record \"S5\" of the data file %fix has 1 reading for 2 colors." + kNotLoaded},
      {"no readings", kTwoColors + kTwoPures + CrLf({"S7"}), "", "", "",
       "Record \"S7\" of the data file %fix has 0 readings for 2 colors." + kNotLoaded},
      {"reading beyond a double", kTwoColors + kTwoPures + CrLf({"S5\t1\t1e999"}), "", "", "",
       "Record \"S5\" of the data file %fix has a reading at color 2 that is too large." +
           kNotLoaded},
      {"more than 32767 samples", kTwoColors + Repeat("S1\t1\t1\r\n", 32768), "", "", "",
       "The data file %fix has more than 32767 sample records." + kNotLoaded},
      {"no colour line", CrLf({"Wavelengths\t2", "P1\t1\t1"}), "", "", "",
       "The data file %fix has no Color line." + kNotLoaded},
      {"no colour count", CrLf({"Pures\t2", "Color Tube\tA\tB"}), "", "", "",
       "The data file %fix" + kNoCount},
      {"colour count 0", CrLf({"Wavelengths\t0", "Color Tube\tA"}), "", "", "",
       "The data file %fix" + kNoCount},
      {"colour count beyond 16 bits", CrLf({"Wavelengths\t40000", "Color Tube\tA"}), "", "", "",
       "The data file %fix" + kNoCount},
      {"31 colours", CrLf({"Wavelengths\t31", "Color Tube\tA"}), "", "", "",
       "The data file %fix has 31 colors; at most 30 can be handled." + kNotLoaded},
      {"blanks record without TAB", kOk, kBlankHead + CrLf({"B1 5 6"}), "", "",
       "The blanks file %blk has a record \"B1 5 6\" on line 4 that has no TAB after its number." +
           kDataNotLoaded},
      {"blanks record with fewer readings", kOk, kBlankHead + CrLf({"B1\t5\t6", "B1\t5"}), "", "",
       "The blanks file %blk has a record \"B1\" on line 5 that has 1 reading for 2 colors." +
           kDataNotLoaded},
      {"blank numbered 1 after a later record", kOk,
       kBlankHead + CrLf({"B1\t1\t1", "B5\t1\t1", "B1\t1\t1"}), "", "",
       "The blanks file %blk has a record \"B1\" on line 6 that is numbered 1 after a later "
       "record; the records numbered 1 must stand at the start." +
           kDataNotLoaded},
      {"first group above 100", kOk, kBlankHead + Repeat("B1\t1\t1\r\n", 101), "", "",
       "The blanks file %blk has more than 100 records numbered 1." + kDataNotLoaded},
      {"blank number beyond 16 bits", kOk, kBlankHead + CrLf({"B1\t1\t1", "B40000\t1\t1"}), "", "",
       "The blanks file %blk has a record \"B40000\" on line 5 that is numbered outside "
       "-32768..32767." +
           kDataNotLoaded},
      {"blank beyond single precision", kOk, kBlankHead + CrLf({"B1\t1e39\t1"}), "", "",
       "The blanks file %blk has a record \"B1\" on line 4 that has a reading that is too large." +
           kDataNotLoaded},
      {"more than 32767 blanks", kOk, kBlankHead + Repeat("B2\t1\t1\r\n", 32768), "", "",
       "The blanks file %blk has more than 32767 records." + kDataNotLoaded},
      {"controls record without TAB", kOk, "", kBlankHead + CrLf({"C1\t1\t1", "", "C9"}), "",
       "The controls file %ctl has a record \"C9\" on line 6 that has no TAB after its number." +
           kDataNotLoaded},
      {"results file is the data file", kOk, "", "", "%fix",
       "The results file %fix is the file %fix, which is being read.  Please choose another name "
       "for the results file." +
           kNotLoaded},
      {"results file is the blanks file by another spelling", kOk, kBlankHead + CrLf({"B1\t1\t1"}),
       "", "%dir/./b.blk",
       "The results file %dir/./b.blk is the file %blk, which is being read.  Please choose "
       "another name for the results file." +
           kNotLoaded},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data = Write("d.fix", c.fix);
    std::string blanks = WriteIf("b.blk", c.blk), controls = WriteIf("c.ctl", c.ctl);
    auto paths = [&](std::string text) {
      text = ReplaceAll(ReplaceAll(text, "%fix", data), "%blk", Path("b.blk"));
      return ReplaceAll(ReplaceAll(text, "%ctl", controls), "%dir", dir.string());
    };
    host.ExpectMessage(paths(c.message));
    EXPECT_EQ(Flow::Stop, Load(data, blanks, controls, paths(c.results)));
    ExpectIdleAndClosed();
    EXPECT_EQ(c.fix, Read(data));
    if (!blanks.empty()) {
      EXPECT_EQ(c.blk, Read(blanks));
    }
  }
}

TEST_F(Refusals, FilesThatCannotBeOpenedAndCancelledDialogs) {
  std::string data = Write("ok.fix", kOk);
  host.ExpectMessage("Can't open file: " + Path("missing.fix"));
  host.QueueFile(Path("missing.fix"));
  EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
  ExpectIdleAndClosed();

  host.ExpectMessage("Can't open file: " + Path("missing.blk"));
  host.QueueFile(data);
  host.QueueFile(Path("missing.blk"));
  EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
  ExpectIdleAndClosed();

  // Cancelling the results dialog closes the data file and loads nothing.
  for (const char* answer : {data.c_str(), "", "", ""}) host.QueueFile(answer);
  EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
  ExpectIdleAndClosed();

  // Cancelling the first dialog does nothing at all.
  host.QueueFile("");
  EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
  EXPECT_EQ(1u + 2u + 4u + 1u, host.dialogs.size());
}

// A run refused before it starts keeps the dataset loaded, and the remedy lets it go; any
// other refusal ends the run without a result line.
TEST_F(Refusals, RunsThatCannotGoOn) {
  const std::string zero_diagonal =
      "The pure Blue has no signal at its own color, so the spillover matrix cannot be "
      "completed.  Please edit data file or enter new spillover matrix.";
  const std::string zero_reference =
      "The control value of Blue from the controls file %ctl is 0, and Control Correction "
      "divides by it.  Please untick Control Correction or edit the controls file.";
  auto control_correction = [this] { SetControlCorrection(true); };
  auto entry = [this](const char* e) {
    return [this, e] {
      Microspheres({"1000", e});
      p.form.focus = Focus{};
    };
  };
  auto focus_then_untick = [this] {
    EXPECT_EQ("MicrosPerMlFix", p.form.focus.control);
    EXPECT_EQ(2, p.form.focus.index);
    Untick(2);  // left out, the colour's entry does not matter
  };
  struct Case {
    std::string name, fix, blk, ctl;
    std::function<void()> choose;
    std::string message;           // empty: none
    std::function<void()> remedy;  // null: the run ends
  };
  std::vector<Case> cases = {
      {"pure reading 0 at its own colour",
       kTwoColors + CrLf({"P1\t0\t10", "P2\t5\t100", "S1\t1\t1"}), "", "", nullptr, zero_diagonal,
       nullptr},
      {"background above the pure's reading",
       kTwoColors + CrLf({"P1\t80\t10", "P2\t5\t100", "S1\t1\t1"}),
       kBlankHead + CrLf({"B1\t100\t0"}), "", nullptr, zero_diagonal, nullptr},
      {"pure without corrected signal, microspheres/ml",
       CrLf({"Wavelengths\t1", "Color Tube\tBlue", "P1\t-100", "S1\t5"}), "", "",
       [this] { Microspheres({"1000"}); },
       "Problem computing spillover matrix.  Please edit data file or enter new spillover "
       "matrix.",
       nullptr},
      {"tissue left out but not the first colour",
       CrLf({"Wavelengths\t2", "Color Tube\tBlue\tTissue"}) + kTwoPures + CrLf({"S1\t1\t1"}), "",
       "", nullptr,
       "Tissue can be left out of the spillover correction only when the Tissue column is the "
       "first color of the file.  Please use tissue in the spillover correction or edit the data "
       "file.",
       nullptr},
      {"tissue options aborted", kTissueFile, "", "",
       [this] {
         UseTissue();
         host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); };
       },
       "", nullptr},
      {"control reference 0", kOk, "", kBlankHead + CrLf({"C1\t0\t5", "C1\t0\t7"}),
       control_correction, zero_reference, [this] { SetControlCorrection(false); }},
      {"no control records", kOk, "", kBlankHead, control_correction, zero_reference,
       [this] { SetControlCorrection(false); }},
      // A zero control of a colour left out does not matter.
      {"later control 0", kOk, "", kBlankHead + CrLf({"C1\t5\t5", "C3\t5\t0"}), control_correction,
       "The control record numbered 3 in the controls file %ctl reads 0 for Red, and Control "
       "Correction divides by it.  Please untick Control Correction or edit the controls file.",
       [this] { Untick(2); }},
  };
  for (const char* e : {"abc", "", "-5", "1e39"}) {
    cases.push_back({std::string("entry ") + e, kOk, "", "", entry(e),
                     "Entry must be a positive integer", focus_then_untick});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    host.on_tissue_options = nullptr;
    std::string data = Write("d.fix", c.fix);
    std::string controls = WriteIf("c.ctl", c.ctl);
    ASSERT_EQ(Flow::Continue, Load(data, WriteIf("b.blk", c.blk), controls));
    if (c.choose) c.choose();
    if (!c.message.empty()) host.ExpectMessage(ReplaceAll(c.message, "%ctl", controls));
    EXPECT_EQ(Flow::Stop, Analyze());
    EXPECT_EQ("", Read(data + ".scf"));
    EXPECT_EQ(c.remedy != nullptr, p.FixedDataLoaded && p.MatrixReady && p.form.CloseIt.enabled &&
                                       p.channels.In(Channels::kData).IsOpen());
    if (!c.remedy) {
      EXPECT_FALSE(p.RunCompleted);
      continue;
    }
    c.remedy();
    EXPECT_EQ(Flow::Continue, Analyze());
    EXPECT_NE(std::string::npos, Read(data + ".scf").find("\r\nS1\t"));
  }
}

TEST_F(Refusals, SingularMatrixInTheSamplePassStopsTheRun) {
  std::string data = Write("sing.fix", kTwoColors + CrLf({"S1\t10\t20", "S2\t1\t1"}));
  host.ExpectMessage(kNoPuresMessage);
  ASSERT_EQ(Flow::Continue, Load(data));
  ASSERT_EQ(Flow::Continue, ReadMatrix(CrLf({"100\t100", "100\t100"})));
  host.ExpectMessage("Error in Partial Pivoting.  Analysis ending.");
  EXPECT_EQ(Flow::Stop, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(std::string::npos, text.find("Sample/Color\tBlue\tRed\r\n")) << text;
  EXPECT_EQ(std::string::npos, text.find("S1")) << text;
  EXPECT_FALSE(p.RunCompleted);
}

// All files are closed, then the program ends through the host.
TEST_F(Refusals, ErrorsThatEndTheProgram) {
  struct Case {
    const char* name;
    std::string fix, message;
    bool at_load;
  } cases[] = {
      {"pures out of order", kTwoColors + CrLf({"P1\t100\t0", "P3\t0\t100"}),
       "Problem computing spillover matrix. Pure samples are not present or in the wrong order.  "
       "Please check the data file.",
       true},
      {"singular matrix in the pure pass", kTwoColors + CrLf({"P1\t100\t100", "P2\t100\t100"}),
       "Error (2 in Partial Pivoting.  Analysis ending.", false},
      {"tissue dialog cancelled", kTissueFile, "", false},
  };
  host.on_tissue = [](TissueForm& f) { TissueCancel_Click(f); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.ended = p.Ending = false;
    std::string data = Write("d.fix", c.fix);
    if (!c.message.empty()) host.ExpectMessage(c.message);
    if (c.at_load) {
      EXPECT_EQ(Flow::ProgramEnding, Load(data));
    } else {
      ASSERT_EQ(Flow::Continue, Load(data));
      EXPECT_EQ(Flow::ProgramEnding, Analyze());
    }
    EXPECT_TRUE(host.ended);
    EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
    EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
    CloseDataset(p);
  }
}

// Exit chosen while a load or a run yields: the operation unwinds at once and reports the end.
TEST_F(Refusals, ExitWhileYieldingUnwinds) {
  std::string data =
      Write("exit.fix", kTwoColors + kTwoPures + CrLf({"S1\t1\t1", "S2\t1\t1", "S3\t1\t1"}));
  for (int at_pump : {2, 9}) {
    SCOPED_TRACE(at_pump);
    host.ended = p.Ending = false;
    ASSERT_EQ(Flow::Continue, Load(data));
    int pumps = host.message_pumps;
    host.on_messages = [&](int count) {
      if (count == pumps + at_pump) Exit_Click(p);
    };
    EXPECT_EQ(Flow::ProgramEnding, RunFixedAnalysis(p));
    host.on_messages = nullptr;
    EXPECT_TRUE(host.ended);
    EXPECT_FALSE(p.RunCompleted);
    CloseDataset(p);
  }
  p.Ending = false;
  int pumps = host.message_pumps;
  host.on_messages = [&](int count) {
    if (count == pumps + 1) Exit_Click(p);
  };
  EXPECT_EQ(Flow::ProgramEnding, Load(data));
}

}  // namespace
}  // namespace kolvane
