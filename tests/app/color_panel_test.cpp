// The colour check boxes, the microspheres/ml entries and the result-format choice.
#include "app/color_panel.h"

#include <gtest/gtest.h>

#include <string>

#include "app/main_window.h"
#include "app/program.h"
#include "support/scripted_host.h"
#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::LoadFixedWindow;
using testing_window::LoadScanWindow;

struct Started {
  ScriptedHost host;
  Program p{host};
  Started() { Form_Load(p, 30000, 20000); }
};

void Click(Program& p, int i, bool ticked) {
  p.form.Color[i].ticked = ticked;
  Color_Click(p, i);
}

TEST(ColorClick, CountsTicksAndUnticks) {
  Started s;
  Program& p = s.p;
  p.SelectedColorCount = 5;
  Click(p, 2, true);
  Click(p, 3, true);
  Click(p, 17, true);
  Click(p, 3, false);
  EXPECT_EQ(p.SelectedColorCount, 7);
  EXPECT_TRUE(p.ColorSelected[2]);
  EXPECT_FALSE(p.ColorSelected[3]);
  EXPECT_TRUE(p.ColorSelected[17]);
}

TEST(ColorClick, ProgramTickThatChangesNothingDoesNotCount) {
  Started s;
  Program& p = s.p;
  SetColorTick(p, 4, true);
  SetColorTick(p, 4, true);
  EXPECT_EQ(p.SelectedColorCount, 1);
  SetColorTick(p, 4, false);
  SetColorTick(p, 4, false);
  EXPECT_EQ(p.SelectedColorCount, 0);
}

TEST(ColorClick, TissueBoxSetsTissueInFileOnlyForATissueColumn) {
  struct Case {
    const char* caption;
    bool tissue_column;
    bool ticked;
    bool expected;  // TissueInFile afterwards, starting from the opposite of `ticked`
  };
  const Case cases[] = {
      {"Tissue", true, true, true},   {"Tissue", true, false, false},
      {"Tissue", false, true, false}, {"Tissue", false, false, true},
      {"TISSUE", true, true, false},  {"tissue", true, true, false},
      {"Blue", true, true, false},
  };
  for (const Case& c : cases) {
    Started s;
    Program& p = s.p;
    p.form.Color[1].caption = c.caption;
    p.form.Color[1].ticked = !c.ticked;
    p.TissueColumn = c.tissue_column;
    p.TissueInFile = !c.ticked;
    SetColorTick(p, 1, c.ticked);
    EXPECT_EQ(p.TissueInFile, c.expected)
        << c.caption << " column " << c.tissue_column << " ticked " << c.ticked;
  }
}

TEST(EntryRule, StoresNumbersAndMarksTheRest) {
  for (bool scan : {false, true}) {
    Started s;
    Program& p = s.p;
    auto type = [&](const std::string& text) {
      if (scan)
        SetMicrosPerMlText(p, 2, text);
      else
        SetMicrosPerMlFixText(p, 2, text);
      return p.MicrosPerMlValues[2];
    };
    EXPECT_EQ(type("abc"), -1.0);
    EXPECT_EQ(type("250"), 250.0);
    EXPECT_EQ(type(""), -1.0);
    EXPECT_EQ(type("250"), 250.0);
    EXPECT_EQ(type("1e39"), 250.0) << "beyond single precision keeps the previous value";
    EXPECT_EQ(type("-1e39"), 250.0);
    EXPECT_EQ(type("0"), 0.0);
    EXPECT_EQ(type(" 12.5 "), 12.5);
    EXPECT_EQ(type("-3"), -3.0) << "a negative entry is stored; Analyze refuses it";
    // Single precision: 1.23456789 is held as the float nearest to it.
    double stored = type("1.23456789");
    EXPECT_EQ(stored, static_cast<double>(1.23456789f));
    EXPECT_NE(stored, 1.23456789);
    EXPECT_NEAR(stored, 1.2345679, 1e-7);
    EXPECT_EQ(type("12abc"), -1.0);
    EXPECT_EQ(p.MicrosPerMlValues[3], 1000.0) << "other slots are untouched";
  }
}

// --- result format -------------------------------------------------------------------

struct RowCase {
  int format;  // 0 intensity, 1 microspheres/ml
  bool blanks, controls;
  int back_sub;      // -1: unchanged
  int control_corr;  // -1: hidden
  int run_analysis;
  int box_height;
};

TEST(ResultFormat, StacksTheOptionRowsAsTheTableSays) {
  const RowCase cases[] = {
      {1, true, true, 1290, 1590, 1900, 2315}, {1, true, false, 1290, -1, 1615, 1990},
      {1, false, true, -1, 1290, 1590, 1990},  {1, false, false, -1, -1, 1290, 1690},
      {0, true, true, 900, 1200, 1500, 1925},  {0, true, false, 900, -1, 1225, 1600},
      {0, false, true, -1, 900, 1200, 1600},   {0, false, false, -1, -1, 900, 1300},
  };
  for (const RowCase& c : cases) {
    Started s;
    Program& p = s.p;
    LoadFixedWindow(p, 8, c.blanks, c.controls);
    OFResults_Radio_Click(p, 1 - c.format);  // from the other format
    p.form.BackSub.geometry.top = 4321;      // marks "unchanged"
    OFResults_Radio_Click(p, c.format);
    const MainForm& f = p.form;
    std::string tag = std::string(c.format ? "micros" : "intensity") + (c.blanks ? " blanks" : "") +
                      (c.controls ? " controls" : "");
    EXPECT_EQ(f.BackSub.geometry.top, c.back_sub < 0 ? 4321 : c.back_sub) << tag;
    EXPECT_EQ(f.ControlCorr.visible, c.control_corr >= 0) << tag;
    if (c.control_corr >= 0) {
      EXPECT_EQ(f.ControlCorr.geometry.top, c.control_corr) << tag;
    }
    EXPECT_EQ(f.RunAnalysis.geometry.top, c.run_analysis) << tag;
    EXPECT_EQ(f.SynchDataBox.geometry.height, c.box_height) << tag;
    EXPECT_EQ(p.ResultsInMicrospheres, c.format == 1) << tag;
    EXPECT_EQ(f.OFResults_Radio[c.format].selected, true) << tag;
    EXPECT_EQ(f.OFResults_Radio[1 - c.format].selected, false) << tag;
  }
}

TEST(ResultFormat, MicrospheresRowsAreLeftAloneForAScanDataset) {
  Started s;
  Program& p = s.p;
  LoadScanWindow(p, 3, true);
  OFResults_Radio_Click(p, 1);
  EXPECT_EQ(p.form.BackSub.geometry.top, 900);
  EXPECT_EQ(p.form.RunAnalysis.geometry.top, 1225);
  EXPECT_EQ(p.form.SynchDataBox.geometry.height, 1600);
  EXPECT_FALSE(p.form.Solvent_Text.visible);
}

TEST(ResultFormat, FixedPanelWidthsAndSolventEntry) {
  struct Case {
    int colors, format, width;
  };
  const Case cases[] = {{15, 1, 2625}, {16, 1, 5350}, {15, 0, 1900}, {16, 0, 3800}};
  for (const Case& c : cases) {
    Started s;
    Program& p = s.p;
    p.SolventAmount = 2.5f;
    LoadFixedWindow(p, c.colors, true, true);
    OFResults_Radio_Click(p, c.format);
    const MainForm& f = p.form;
    EXPECT_EQ(f.ColorBoxes.geometry.width, c.width) << c.colors << " " << c.format;
    bool micros = c.format == 1;
    EXPECT_EQ(f.MicroLabel.visible, micros);
    EXPECT_EQ(f.SolventTextLabel.visible, micros);
    EXPECT_EQ(f.Solvent_Text.visible, micros);
    EXPECT_FALSE(f.Solvent_Text.enabled) << "nothing reads a typed amount";
    if (micros) {
      EXPECT_EQ(f.Solvent_Text.text, "2.5");
      EXPECT_EQ(f.focus.control, "MicrosPerMlFix");
      EXPECT_EQ(f.focus.index, 1);
    }
  }
}

TEST(ResultFormat, ScanPanelColumnsAndLabels) {
  for (int pures : {3, 15, 16, 30}) {
    Started s;
    Program& p = s.p;
    LoadScanWindow(p, pures, false);
    const MainForm& f = p.form;
    int expected_width = pures < 16 ? 2800 : 5200;
    // Intensity levels: labels centred, entries hidden, first column 650 from the edge.
    EXPECT_EQ(f.MicroBox.geometry.width, expected_width) << pures;
    for (int i = 1; i <= pures; ++i) {
      EXPECT_TRUE(f.MicrosForColor[i].visible) << i;
      EXPECT_FALSE(f.MicrosPerMl[i].visible) << i;
      EXPECT_TRUE(f.MicrosForColor[i].centred) << i;
    }
    EXPECT_EQ(f.MicrosForColor[1].geometry.left, 650);
    EXPECT_TRUE(f.ColorTitle.centred);
    EXPECT_FALSE(f.MicroTitle.visible);
    for (int i = pures + 1; i <= 30; ++i) {
      EXPECT_FALSE(f.MicrosForColor[i].visible) << i;
      EXPECT_FALSE(f.MicrosPerMl[i].visible) << i;
    }

    OFResults_Radio_Click(p, 1);
    EXPECT_EQ(f.MicroBox.geometry.width, expected_width) << pures;
    for (int i = 1; i <= pures; ++i) {
      EXPECT_TRUE(f.MicrosPerMl[i].visible) << i;
      EXPECT_TRUE(f.MicrosForColor[i].right_aligned) << i;
      EXPECT_EQ(f.MicrosPerMl[i].text, "1000") << i;
      EXPECT_EQ(p.MicrosPerMlValues[i], 1000.0) << i;
      // Right-aligned labels end before their entry box.
      EXPECT_LE(f.MicrosForColor[i].geometry.left + f.MicrosForColor[i].geometry.width,
                f.MicrosPerMl[i].geometry.left);
    }
    EXPECT_EQ(f.MicrosForColor[1].geometry.left, 100);
    if (pures > 15) {
      EXPECT_EQ(f.MicrosForColor[16].geometry.left, 2700);
    }
    EXPECT_EQ(f.ColorTitle.geometry.left, 100);
    EXPECT_TRUE(f.ColorTitle.right_aligned);
    EXPECT_TRUE(f.MicroTitle.visible);
    EXPECT_EQ(f.focus.control, "MicrosPerMl");
    EXPECT_EQ(f.focus.index, 1);
  }
}

TEST(ResultFormat, InstructionLinesForEveryCombination) {
  const std::string kFormat =
      "* Select result file format (Fluorimeter Intensities or Microspheres/ml).";
  const std::string kBack = "* Select or deselect Background Subtraction.";
  const std::string kColors = "* Select or deselect those colors to be analyzed.";
  const std::string kFill = "* Fill in number of microspheres/ml for each Pure color.";
  const std::string kPress = "* Press 'Analyze' button to start analysis.";
  struct Case {
    bool fixed, blanks;
    int format;
    std::string expected;
  };
  const Case cases[] = {
      {true, true, 1, kFormat + "\r" + kBack + "\r" + kColors + "\r" + kFill + "\r" + kPress},
      {true, true, 0, kFormat + "\r" + kBack + "\r" + kColors + "\r" + kPress},
      {true, false, 1, kFormat + "\r" + kColors + "\r" + kFill + "\r" + kPress},
      {true, false, 0, kFormat + "\r" + kColors + "\r" + kPress},
      {false, true, 1, kFormat + "\r" + kBack + "\r" + kFill + "\r" + kPress},
      {false, true, 0, kFormat + "\r" + kBack + "\r" + kPress},
      {false, false, 1, kFormat + "\r" + kFill + "\r" + kPress},
      {false, false, 0, kFormat + "\r" + kPress},
  };
  for (const Case& c : cases) {
    Started s;
    Program& p = s.p;
    if (c.fixed)
      LoadFixedWindow(p, 6, c.blanks, false);
    else
      LoadScanWindow(p, 3, c.blanks);
    OFResults_Radio_Click(p, c.format);
    EXPECT_EQ(p.form.Directions.caption, c.expected)
        << (c.fixed ? "fixed" : "scan") << " blanks " << c.blanks << " format " << c.format;
    EXPECT_EQ(FormatInstructions(p), c.expected);
  }
  // The scan dataset without blanks in the microspheres/ml format: exactly three lines.
  EXPECT_EQ(std::count(cases[6].expected.begin(), cases[6].expected.end(), '\r'), 2);
}

TEST(ColorPanel, ShowsAndHidesTheBoxesOfTheMatrix) {
  Started s;
  Program& p = s.p;
  p.MatrixSize = 5;
  for (int i = 1; i <= 30; ++i) p.form.Color[i].visible = (i % 2) == 0;
  ShowColorPanel(p, true);
  EXPECT_TRUE(p.form.ColorBoxes.visible);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_TRUE(p.form.Color[i].visible) << i;
    EXPECT_TRUE(p.form.MicrosPerMlFix[i].visible) << i;
  }
  for (int i = 6; i <= 30; ++i) EXPECT_EQ(p.form.Color[i].visible, (i % 2) == 0) << i;
  ShowColorPanel(p, false);
  EXPECT_FALSE(p.form.ColorBoxes.visible);
  for (int i = 1; i <= 5; ++i) EXPECT_FALSE(p.form.Color[i].visible) << i;
  for (int i = 6; i <= 30; ++i) EXPECT_EQ(p.form.Color[i].visible, (i % 2) == 0) << i;
}

}  // namespace
}  // namespace kolvane
