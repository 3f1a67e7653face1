// Files and choices the program refuses, each with its message: a load that cannot go on
// closes what it opened and leaves the window idle; a run that cannot start leaves the
// dataset loaded or writes no result line; the errors after which the program ends.
#include <gtest/gtest.h>

#include "app/color_panel.h"
#include "app/matrix_file.h"
#include "fixed_fixture.h"

namespace kolvane {
namespace {

class Refusals : public FixedFixture {
 protected:
  void ExpectIdleAndClosed() {
    const MainForm& f = p.form;
    EXPECT_TRUE(f.OpenData.enabled);
    EXPECT_TRUE(f.OpenDataSS.enabled);
    EXPECT_FALSE(f.CloseIt.enabled);
    EXPECT_FALSE(f.Spillover.enabled);
    EXPECT_FALSE(f.ColorBoxes.visible);
    EXPECT_FALSE(f.SynchFrame.visible);
    EXPECT_FALSE(p.MatrixReady);
    for (int ch : {1, 3, 5, 7}) EXPECT_FALSE(p.channels.In(ch).IsOpen()) << ch;
    EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
    if (!host.pointers.empty()) {
      EXPECT_EQ(Pointer::Default, host.pointers.back());
    }
  }
  static std::string Repeat(const std::string& line, int times) {
    std::string text;
    text.reserve(line.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) text += line;
    return text;
  }
};

const std::string kTwoColors = CrLf({"Wavelengths\t2", "Color Tube\tBlue\tRed"});
const std::string kTwoPures = CrLf({"P1\t100\t0", "P2\t0\t100"});
const std::string kBlankHead = CrLf({"h", "h", "h"});

TEST_F(Refusals, DataFilesThatCannotBeLoaded) {
  struct Case {
    const char* name;
    std::string text;
    std::string problem;  // after "PATH " or the record's own wording
  } cases[] = {
      {"record number beyond 16 bits", kTwoColors + kTwoPures + CrLf({"S40000\t1\t1"}),
       "Record \"S40000\" of the data file %s has a record number outside -32768..32767."},
      {"fewer readings than colours", kTwoColors + kTwoPures + CrLf({"S5\t1", "S6\t1\t1"}),
       "Record \"S5\" of the data file %s has 1 reading for 2 colors."},
      {"no readings", kTwoColors + kTwoPures + CrLf({"S7"}),
       "Record \"S7\" of the data file %s has 0 readings for 2 colors."},
      {"reading beyond a double", kTwoColors + kTwoPures + CrLf({"S5\t1\t1e999"}),
       "Record \"S5\" of the data file %s has a reading at color 2 that is too large."},
      {"more than 32767 samples", kTwoColors + Repeat("S1\t1\t1\r\n", 32768),
       "The data file %s has more than 32767 sample records."},
      {"no colour line", CrLf({"Wavelengths\t2", "P1\t1\t1"}),
       "The data file %s has no Color line."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data = Write("bad.fix", c.text);
    std::string message = c.problem;
    message.replace(message.find("%s"), 2, data);
    host.ExpectMessage(message + "  The file was not loaded.");
    EXPECT_EQ(Flow::Stop, Load(data));
    ExpectIdleAndClosed();
  }
}

TEST_F(Refusals, CompanionFilesThatCannotBeRead) {
  struct Case {
    const char* name;
    bool controls;
    std::string records;
    std::string problem;
  } cases[] = {
      {"no TAB", false, CrLf({"B1 5 6"}),
       "has a record \"B1 5 6\" on line 4 that has no TAB after its number."},
      {"fewer readings", false, CrLf({"B1\t5\t6", "B1\t5"}),
       "has a record \"B1\" on line 5 that has 1 reading for 2 colors."},
      {"numbered 1 after a later record", false, CrLf({"B1\t1\t1", "B5\t1\t1", "B1\t1\t1"}),
       "has a record \"B1\" on line 6 that is numbered 1 after a later record; the records "
       "numbered 1 must stand at the start."},
      {"first group above 100", false, Repeat("B1\t1\t1\r\n", 101),
       "has more than 100 records numbered 1."},
      {"record number beyond 16 bits", false, CrLf({"B1\t1\t1", "B40000\t1\t1"}),
       "has a record \"B40000\" on line 5 that is numbered outside -32768..32767."},
      {"reading beyond single precision", false, CrLf({"B1\t1e39\t1"}),
       "has a record \"B1\" on line 4 that has a reading that is too large."},
      {"more than 32767 records", false, Repeat("B2\t1\t1\r\n", 32768),
       "has more than 32767 records."},
      {"controls without TAB", true, CrLf({"C1\t1\t1", "", "C9"}),
       "has a record \"C9\" on line 6 that has no TAB after its number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data = Write("ok.fix", kTwoColors + kTwoPures + CrLf({"S1\t1\t1"}));
    std::string companion = Write(c.controls ? "c.ctl" : "b.blk", kBlankHead + c.records);
    host.ExpectMessage(std::string("The ") + (c.controls ? "controls" : "blanks") + " file " +
                       companion + " " + c.problem + "  The data file was not loaded.");
    EXPECT_EQ(Flow::Stop, c.controls ? Load(data, "", companion) : Load(data, companion));
    ExpectIdleAndClosed();
  }
}

TEST_F(Refusals, ResultsFileMayNotBeAFileBeingRead) {
  const std::string content = kTwoColors + kTwoPures + CrLf({"S1\t1\t1"});
  std::string data = Write("in.fix", content);
  std::string blanks = Write("in.blk", kBlankHead + CrLf({"B1\t1\t1"}));
  struct Case {
    const char* name;
    std::string results;
    std::string named;
  } cases[] = {
      {"the data file", data, data},
      {"the blanks file by another spelling", (dir / "." / "in.blk").string(), blanks},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.ExpectMessage("The results file " + c.results + " is the file " + c.named +
                       ", which is being read.  Please choose another name for the results "
                       "file.  The file was not loaded.");
    EXPECT_EQ(Flow::Stop, Load(data, blanks, "", c.results));
    ExpectIdleAndClosed();
    EXPECT_EQ(content, Read(data));
    EXPECT_EQ(kBlankHead + CrLf({"B1\t1\t1"}), Read(blanks));
  }
}

TEST_F(Refusals, FilesThatCannotBeOpenedAndCancelledDialogs) {
  std::string data = Write("ok.fix", kTwoColors + kTwoPures);
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
  host.QueueFile(data);
  host.QueueFile("");
  host.QueueFile("");
  host.QueueFile("");
  EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
  ExpectIdleAndClosed();

  // Cancelling the first dialog does nothing at all.
  host.QueueFile("");
  EXPECT_EQ(Flow::Stop, OpenFixedDataFile(p));
  EXPECT_EQ(1u + 2u + 4u + 1u, host.dialogs.size());
}

TEST_F(Refusals, PuresOutOfOrderEndTheProgram) {
  std::string data = Write("order.fix", kTwoColors + CrLf({"P1\t100\t0", "P3\t0\t100"}));
  host.ExpectMessage(
      "Problem computing spillover matrix. Pure samples are not present or in the wrong order.  "
      "Please check the data file.");
  EXPECT_EQ(Flow::ProgramEnding, Load(data));
  EXPECT_TRUE(host.ended);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
  EXPECT_FALSE(p.channels.Out(Channels::kResults).IsOpen());
}

TEST_F(Refusals, PureWithoutSignalAtItsOwnColorWritesNoResultLine) {
  struct Case {
    const char* name;
    std::string pures;
    std::string blanks;
  } cases[] = {
      {"zero reading", CrLf({"P1\t0\t10", "P2\t5\t100"}), ""},
      {"background above the reading", CrLf({"P1\t80\t10", "P2\t5\t100"}), CrLf({"B1\t100\t0"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data = Write("zero.fix", kTwoColors + c.pures + CrLf({"S1\t1\t1"}));
    std::string blanks = c.blanks.empty() ? "" : Write("zero.blk", kBlankHead + c.blanks);
    ASSERT_EQ(Flow::Continue, Load(data, blanks));
    host.ExpectMessage(
        "The pure Blue has no signal at its own color, so the spillover matrix cannot be "
        "completed.  Please edit data file or enter new spillover matrix.");
    EXPECT_EQ(Flow::Stop, Analyze());
    EXPECT_EQ("", Read(data + ".scf"));
    EXPECT_FALSE(p.RunCompleted);
  }
}

TEST_F(Refusals, TissueLeftOutOnlyAsTheFirstColor) {
  std::string data = Write("t2.fix", CrLf({"Wavelengths\t2", "Color Tube\tBlue\tTissue"}) +
                                         kTwoPures + CrLf({"S1\t1\t1"}));
  ASSERT_EQ(Flow::Continue, Load(data));
  host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
  host.ExpectMessage(
      "Tissue can be left out of the spillover correction only when the Tissue column is the "
      "first color of the file.  Please use tissue in the spillover correction or edit the data "
      "file.");
  EXPECT_EQ(Flow::Stop, Analyze());
  EXPECT_EQ("", Read(data + ".scf"));

  // Using tissue in the correction is fine wherever its column stands.
  ASSERT_EQ(Flow::Continue, Load(data));
  host.on_tissue = [](TissueForm& f) {
    TissueOpt_Click(f, 0);
    TissueOk_Click(f);
  };
  EXPECT_EQ(Flow::Continue, Analyze());
  EXPECT_NE(std::string::npos, Read(data + ".scf").find("\r\nS1\t1.000\t1.000\r\n"));
}

TEST_F(Refusals, ZeroControlIsRefusedAtAnalyzeAndTheDatasetStaysLoaded) {
  struct Case {
    const char* name;
    std::string records;
    std::string message;
  } cases[] = {
      {"reference", CrLf({"C1\t0\t5", "C1\t0\t7"}),
       "The control value of Blue from the controls file %s is 0, and Control Correction "
       "divides by it.  Please untick Control Correction or edit the controls file."},
      {"later record", CrLf({"C1\t5\t5", "C3\t5\t0"}),
       "The control record numbered 3 in the controls file %s reads 0 for Red, and Control "
       "Correction divides by it.  Please untick Control Correction or edit the controls file."},
      {"no records", "",
       "The control value of Blue from the controls file %s is 0, and Control Correction "
       "divides by it.  Please untick Control Correction or edit the controls file."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string data =
        Write("ctl.fix", kTwoColors + kTwoPures + CrLf({"S1\t10\t20", "S4\t10\t20"}));
    std::string controls = Write("z.ctl", kBlankHead + c.records);
    ASSERT_EQ(Flow::Continue, Load(data, "", controls));
    p.form.ControlCorr.ticked = true;
    ControlCorr_Click(p);
    std::string message = c.message;
    message.replace(message.find("%s"), 2, controls);
    host.ExpectMessage(message);
    EXPECT_EQ(Flow::Stop, Analyze());
    EXPECT_TRUE(p.FixedDataLoaded);
    EXPECT_TRUE(p.MatrixReady);
    EXPECT_TRUE(p.channels.In(Channels::kData).IsOpen());
    EXPECT_TRUE(p.form.CloseIt.enabled);
    EXPECT_EQ("", Read(data + ".scf"));
    // Unticking Control Correction lets the run go.
    p.form.ControlCorr.ticked = false;
    ControlCorr_Click(p);
    EXPECT_EQ(Flow::Continue, Analyze());
    EXPECT_NE(std::string::npos, Read(data + ".scf").find("\r\nS4\t10.000\t20.000\r\n"));
  }
}

TEST_F(Refusals, ZeroControlOfAColorLeftOutDoesNotMatter) {
  std::string data = Write("ctl.fix", kTwoColors + kTwoPures + CrLf({"S1\t10\t20", "S4\t10\t20"}));
  std::string controls = Write("z.ctl", kBlankHead + CrLf({"C1\t5\t5", "C3\t5\t0"}));
  ASSERT_EQ(Flow::Continue, Load(data, "", controls));
  p.form.ControlCorr.ticked = true;
  ControlCorr_Click(p);
  Untick(2);
  EXPECT_EQ(Flow::Continue, Analyze());
}

TEST_F(Refusals, MicrospheresEntriesOfColorsInUse) {
  struct Case {
    const char* entry;
    bool refused;
  } cases[] = {{"abc", true},  {"", true},   {"-5", true},
               {"1e39", true}, {"0", false}, {"2.5", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    std::string data = Write("m.fix", kTwoColors + kTwoPures + CrLf({"S1\t10\t20"}));
    ASSERT_EQ(Flow::Continue, Load(data));
    Microspheres({"1000", c.entry});
    p.form.focus = Focus{};
    if (c.refused) {
      host.ExpectMessage("Entry must be a positive integer");
      EXPECT_EQ(Flow::Stop, Analyze());
      EXPECT_EQ("MicrosPerMlFix", p.form.focus.control);
      EXPECT_EQ(2, p.form.focus.index);
      EXPECT_TRUE(p.FixedDataLoaded && p.MatrixReady);
      // Left out, the colour's entry does not matter.
      Untick(2);
    }
    EXPECT_EQ(Flow::Continue, Analyze());
    SetMicrosPerMlFixText(p, 2, "1000");
  }
}

TEST_F(Refusals, IntensityLevelsDoNotCheckTheEntries) {
  std::string data = Write("m.fix", kTwoColors + kTwoPures + CrLf({"S1\t10\t20"}));
  ASSERT_EQ(Flow::Continue, Load(data));
  SetMicrosPerMlFixText(p, 1, "abc");
  EXPECT_EQ(Flow::Continue, Analyze());
  EXPECT_NE(std::string::npos, Read(data + ".scf").find("\r\nS1\t10.000\t20.000\r\n"));
}

TEST_F(Refusals, SingularMatrixInTheSamplePassStopsTheRun) {
  std::string data = Write("sing.fix", kTwoColors + CrLf({"S1\t10\t20", "S2\t1\t1"}));
  host.ExpectMessage(
      "Pure colors missing in file.  Please use New Spillover option to input a spillover "
      "matrix.");
  ASSERT_EQ(Flow::Continue, Load(data));
  host.QueueFile(Write("sing.spl", CrLf({"100\t100", "100\t100"})));
  ASSERT_EQ(Flow::Continue, Spillover_Click(p));
  host.ExpectMessage("Error in Partial Pivoting.  Analysis ending.");
  EXPECT_EQ(Flow::Stop, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(std::string::npos, text.find("Sample/Color\tBlue\tRed\r\n")) << text;
  EXPECT_EQ(std::string::npos, text.find("S1")) << text;
  EXPECT_FALSE(p.RunCompleted);
}

TEST_F(Refusals, SingularMatrixInThePurePassEndsTheProgram) {
  std::string data = Write("sing.fix", kTwoColors + CrLf({"P1\t100\t100", "P2\t100\t100"}));
  ASSERT_EQ(Flow::Continue, Load(data));
  host.ExpectMessage("Error (2 in Partial Pivoting.  Analysis ending.");
  EXPECT_EQ(Flow::ProgramEnding, Analyze());
  EXPECT_TRUE(host.ended);
}

TEST_F(Refusals, PureWithoutCorrectedSignalInMicrospheres) {
  std::string data =
      Write("neg.fix", CrLf({"Wavelengths\t1", "Color Tube\tBlue", "P1\t-100", "S1\t5"}));
  ASSERT_EQ(Flow::Continue, Load(data));
  Microspheres({"1000"});
  host.ExpectMessage(
      "Problem computing spillover matrix.  Please edit data file or enter new spillover "
      "matrix.");
  EXPECT_EQ(Flow::Stop, Analyze());
  EXPECT_EQ("", Read(data + ".scf"));
}

const std::string kTissueFile =
    CrLf({"Wavelengths\t3", "Color Tube\tTissue\tBlue\tGreen", "P1\t50\t30\t10", "P2\t7\t200\t20",
          "P3\t9\t10\t100", "S1\t77\t105\t60"});

TEST_F(Refusals, TissueDialogCancelledEndsTheProgram) {
  std::string data = Write("t.fix", kTissueFile);
  ASSERT_EQ(Flow::Continue, Load(data));
  host.on_tissue = [](TissueForm& f) { TissueCancel_Click(f); };
  EXPECT_EQ(Flow::ProgramEnding, Analyze());
  EXPECT_TRUE(host.ended);
}

TEST_F(Refusals, TissueOptionsAbortStopsTheRun) {
  std::string data = Write("t.fix", kTissueFile);
  ASSERT_EQ(Flow::Continue, Load(data));
  host.on_tissue = [](TissueForm& f) {
    TissueOpt_Click(f, 0);
    TissueOk_Click(f);
  };
  host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); };
  EXPECT_EQ(Flow::Stop, Analyze());
  EXPECT_EQ("", Read(data + ".scf"));
}

// The stored tissue sample replaces row and column 1 (Blue: 0.6165 and 0.1034) and the rest is
// normalised from column 2 on: Blue (7, 200, 20) -> 0.1; Green (9, 10, 100) -> 0.1.
TEST_F(Refusals, StoredTissueSampleIsPrinted) {
  std::string data = Write("t.fix", kTissueFile);
  ASSERT_EQ(Flow::Continue, Load(data));
  host.on_tissue = [](TissueForm& f) {
    TissueOpt_Click(f, 0);
    TissueOk_Click(f);
  };
  host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseStored_Click(f); };
  EXPECT_EQ(Flow::Continue, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(
      std::string::npos,
      text.find(CrLf({"Spillover Matrix\tTissue\tBlue\tGreen", "Tissue\t1.0000\t0.6165\t0.0000",
                      "Blue\t0.1034\t1.0000\t0.1000", "Green\t0.0000\t0.1000\t1.0000"})))
      << text;
}

}  // namespace
}  // namespace kolvane

namespace kolvane {
namespace {

// Exit chosen while a load or a run yields: the operation unwinds at once and reports the end.
TEST_F(Refusals, ExitWhileYieldingUnwinds) {
  std::string data =
      Write("exit.fix", kTwoColors + kTwoPures + CrLf({"S1\t1\t1", "S2\t1\t1", "S3\t1\t1"}));
  for (int at_pump : {2, 9}) {
    SCOPED_TRACE(at_pump);
    host.ended = false;
    p.Ending = false;
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
