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
const std::string kAuto = CrLf({"Delivery\tAuto", "Wavelengths\t2", "Color Tube\tBlue\tRed",
                                "P1\t7\t100\t0", "P2\t7\t0\t100"});
const std::string kTissueFile =
    CrLf({"Wavelengths\t3", "Color Tube\tTissue\tBlue\tGreen", "P1\t50\t30\t10", "P2\t7\t200\t20",
          "P3\t9\t10\t100", "S1\t77\t105\t60"});
const std::string kNoCount =
    "The data file %fix gives no number of colors (a \"Wavelengths\" line with at least 1).";
const std::string kTooLarge = " of the data file %fix has a reading at color ";

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

// %fix, %blk, %ctl and %dir stand for the case's files and folder. The load counts the
// records by their fields and must refuse what the run would refuse, in the same words.
TEST_F(Refusals, FilesThatCannotBeLoaded) {
  const std::string data_file = "  The file was not loaded.",
                    companion = "  The data file was not loaded.";
  struct Case {
    std::string fix, blk, ctl, results, message, tail;
  } cases[] = {
      {kOk + CrLf({"S40000\t1\t1"}), "", "", "",
       "Record \"S40000\" of the data file %fix has a record number outside -32768..32767.",
       data_file},
      {kOk + CrLf({"S-40000\t1\t1"}), "", "", "",
       "Record \"S-40000\" of the data file %fix has a record number outside -32768..32767.",
       data_file},
      {kOk + CrLf({"S32768\t1\t1"}), "", "", "",
       "Record \"S32768\" of the data file %fix has a record number outside -32768..32767.",
       data_file},
      {kOk + CrLf({"S5\t1", "S6\t1\t1"}), "", "", "",
       "Record \"S5\" of the data file %fix has 1 reading for 2 colors.", data_file},
      {kOk + CrLf({"S7"}), "", "", "",
       "Record \"S7\" of the data file %fix has 0 readings for 2 colors.", data_file},
      {kAuto + CrLf({"S5\t3\t1"}), "", "", "",
       "Record \"S5\" of the data file %fix has 1 reading for 2 colors.", data_file},
      {kAuto + CrLf({"S6\t3"}), "", "", "",
       "Record \"S6\" of the data file %fix has 0 readings for 2 colors.", data_file},
      {kOk + CrLf({"S5\t1\t1e999"}), "", "", "",
       "Record \"S5\"" + kTooLarge + "2 that is too large.", data_file},
      {kOk + CrLf({"S5\t1\t1" + std::string(399, '0')}), "", "", "",
       "Record \"S5\"" + kTooLarge + "2 that is too large.", data_file},
      {kOk + CrLf({"S5\t1E400"}), "", "", "", "Record \"S5\"" + kTooLarge + "1 that is too large.",
       data_file},
      {kTwoColors + Repeat("S1\t1\t1\r\n", 32768), "", "", "",
       "The data file %fix has more than 32767 sample records.", data_file},
      {kTwoColors + Repeat("P1\t1\t1\r\n", 32768), "", "", "",
       "The data file %fix has more than 32767 pure records.", data_file},
      {CrLf({"Wavelengths\t2", "P1\t1\t1"}), "", "", "", "The data file %fix has no Color line.",
       data_file},
      {CrLf({"Pures\t2", "Color Tube\tA\tB"}), "", "", "", kNoCount, data_file},
      {CrLf({"Wavelengths\t0", "Color Tube\tA"}), "", "", "", kNoCount, data_file},
      {CrLf({"Wavelengths\t40000", "Color Tube\tA"}), "", "", "", kNoCount, data_file},
      {CrLf({"Wavelengths\t31", "Color Tube\tA"}), "", "", "",
       "The data file %fix has 31 colors; at most 30 can be handled.", data_file},
      {kOk, kBlankHead + CrLf({"B1 5 6"}), "", "",
       "The blanks file %blk has a record \"B1 5 6\" on line 4 that has no TAB after its number.",
       companion},
      {kOk, kBlankHead + CrLf({"B1\t5\t6", "B1\t5"}), "", "",
       "The blanks file %blk has a record \"B1\" on line 5 that has 1 reading for 2 colors.",
       companion},
      {kOk, kBlankHead + CrLf({"B1\t1\t1", "B5\t1\t1", "B1\t1\t1"}), "", "",
       "The blanks file %blk has a record \"B1\" on line 6 that is numbered 1 after a later "
       "record; "
       "the records numbered 1 must stand at the start.",
       companion},
      {kOk, kBlankHead + Repeat("B1\t1\t1\r\n", 101), "", "",
       "The blanks file %blk has more than 100 records numbered 1.", companion},
      {kOk, kBlankHead + CrLf({"B1\t1\t1", "B40000\t1\t1"}), "", "",
       "The blanks file %blk has a record \"B40000\" on line 5 that is numbered outside "
       "-32768..32767.",
       companion},
      {kOk, kBlankHead + CrLf({"B1\t1e39\t1"}), "", "",
       "The blanks file %blk has a record \"B1\" on line 4 that has a reading that is too large.",
       companion},
      {kOk, kBlankHead + Repeat("B2\t1\t1\r\n", 32768), "", "",
       "The blanks file %blk has more than 32767 records.", companion},
      {kOk, "", kBlankHead + CrLf({"C1\t1\t1", "", "C9"}), "",
       "The controls file %ctl has a record \"C9\" on line 6 that has no TAB after its number.",
       companion},
      {kOk, "", "", "%fix", "The results file %fix is the file %fix, which is being read.",
       data_file},
      {kOk, kBlankHead + CrLf({"B1\t1\t1"}), "", "%dir/./b.blk",
       "The results file %dir/./b.blk is the file %blk, which is being read.", data_file},
      {kOk, "", kBlankHead + CrLf({"C1\t1\t1"}), "%ctl",
       "The results file %ctl is the file %ctl, which is being read.", data_file},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string data = Write("d.fix", c.fix), blanks = Write("b.blk", c.blk),
                      controls = Write("c.ctl", c.ctl);
    auto paths = [&](std::string text) {
      text = ReplaceAll(ReplaceAll(text, "%fix", data), "%blk", Path("b.blk"));
      return ReplaceAll(ReplaceAll(text, "%ctl", Path("c.ctl")), "%dir", dir.string());
    };
    const bool same = c.message.rfind("The results file", 0) == 0;
    host.ExpectMessage(paths(
        c.message + (same ? "  Please choose another name for the results file." : "") + c.tail));
    EXPECT_EQ(Flow::Stop, Load(data, blanks, controls, paths(c.results)));
    ExpectIdleAndClosed();
    EXPECT_EQ(c.fix, Read(data));
    EXPECT_EQ(c.blk, Read(Path("b.blk")));
    EXPECT_EQ(c.ctl, Read(Path("c.ctl")));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
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
  for (const char* answer : {data.c_str(), "", "", ""}) host.QueueFile(answer);  // no results file
  EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
  ExpectIdleAndClosed();
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
  auto correction = [this] { SetControlCorrection(true); };
  auto uncorrect = [this] { SetControlCorrection(false); };
  struct Case {
    std::string fix, blk, ctl;
    std::function<void()> choose;
    std::string message;           // empty: none
    std::function<void()> remedy;  // null: the run ends
  };
  std::vector<Case> cases = {
      {kTwoColors + CrLf({"P1\t0\t10", "P2\t5\t100", "S1\t1\t1"}), "", "", nullptr, zero_diagonal,
       nullptr},
      {kTwoColors + CrLf({"P1\t80\t10", "P2\t5\t100", "S1\t1\t1"}),
       kBlankHead + CrLf({"B1\t100\t0"}), "", nullptr, zero_diagonal, nullptr},
      {CrLf({"Wavelengths\t1", "Color Tube\tBlue", "P1\t-100", "S1\t5"}), "", "",
       [this] { Microspheres({"1000"}); },
       "Problem computing spillover matrix.  Please edit data file or enter new spillover matrix.",
       nullptr},
      {CrLf({"Wavelengths\t2", "Color Tube\tBlue\tTissue"}) + kTwoPures + CrLf({"S1\t1\t1"}), "",
       "", nullptr,
       "Tissue can be left out of the spillover correction only when the Tissue column is the "
       "first "
       "color of the file.  Please use tissue in the spillover correction or edit the data file.",
       nullptr},
      {kTissueFile, "", "",
       [this] {
         UseTissue();
         host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); };
       },
       "", nullptr},
      {kOk, "", kBlankHead + CrLf({"C1\t0\t5", "C1\t0\t7"}), correction, zero_reference, uncorrect},
      {kOk, "", kBlankHead, correction, zero_reference, uncorrect},
      // A zero control of a colour left out does not matter.
      {kOk, "", kBlankHead + CrLf({"C1\t5\t5", "C3\t5\t0"}), correction,
       "The control record numbered 3 in the controls file %ctl reads 0 for Red, and Control "
       "Correction divides by it.  Please untick Control Correction or edit the controls file.",
       [this] { Untick(2); }},
  };
  // A bad entry in the last box only; the focus goes to it, and leaving the colour out helps.
  for (const char* e : {"abc", "", "-5", "1e39"}) {
    cases.push_back({kOk, "", "",
                     [this, e] {
                       Microspheres({"1000", e});
                     },
                     "Entry must be a positive integer",
                     [this] {
                       EXPECT_EQ("MicrosPerMlFix", p.form.focus.control);
                       EXPECT_EQ(2, p.form.focus.index);
                       Untick(2);
                     }});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    host.on_tissue_options = nullptr;
    std::string data = Write("d.fix", c.fix), controls = Write("c.ctl", c.ctl);
    ASSERT_EQ(Flow::Continue, Load(data, Write("b.blk", c.blk), controls));
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
  const std::string text = Read(data + ".scf");
  EXPECT_EQ("\r\nSample/Color\tBlue\tRed\r\n", text.substr(text.size() - 25)) << text;
  EXPECT_FALSE(p.RunCompleted);
}

// All files are closed, then the program ends through the host.
TEST_F(Refusals, ErrorsThatEndTheProgram) {
  struct Case {
    std::string fix, message;
    bool at_load;
  } cases[] = {
      {kTwoColors + CrLf({"P1\t100\t0", "P3\t0\t100"}),
       "Problem computing spillover matrix. Pure samples are not present or in the wrong order.  "
       "Please check the data file.",
       true},
      {kTwoColors + CrLf({"P1\t100\t100", "P2\t100\t100"}),
       "Error (2 in Partial Pivoting.  Analysis ending.", false},
      {kTissueFile, "", false},  // the tissue dialog cancelled
  };
  host.on_tissue = [](TissueForm& f) { TissueCancel_Click(f); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    host.ended = p.Ending = false;
    std::string data = Write("d.fix", c.fix);
    if (!c.message.empty()) host.ExpectMessage(c.message);
    if (!c.at_load) {
      ASSERT_EQ(Flow::Continue, Load(data));
    }
    EXPECT_EQ(Flow::ProgramEnding, c.at_load ? Load(data) : Analyze());
    EXPECT_TRUE(host.ended);
    EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen() ||
                 p.channels.Out(Channels::kResults).IsOpen());
    CloseDataset(p);
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
    EXPECT_TRUE(host.ended);
    EXPECT_FALSE(p.RunCompleted);
    CloseDataset(p);
  }
}

}  // namespace
}  // namespace kolvane
