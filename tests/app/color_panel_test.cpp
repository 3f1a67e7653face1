// The colour check boxes, the microspheres/ml entries and the result-format choice.
#include "app/color_panel.h"

#include <gtest/gtest.h>

#include <string>

#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::LoadFixedWindow;
using testing_window::LoadScanWindow;
using testing_window::Started;

TEST(ColorClick, CountsTicksAndUnticks) {
  Started s;
  Program& p = s.p;
  p.SelectedColorCount = 5;
  for (auto [i, ticked] : {std::pair{2, true}, {3, true}, {17, true}, {3, false}}) {
    p.form.Color[i].ticked = ticked;
    Color_Click(p, i);
  }
  EXPECT_EQ(p.SelectedColorCount, 7);
  EXPECT_TRUE(p.ColorSelected[2] && p.ColorSelected[17]);
  EXPECT_FALSE(p.ColorSelected[3]);
  // A tick set by the program that changes nothing does not count.
  p.SelectedColorCount = 0;
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
    bool tissue_column, ticked;
    bool expected;  // TissueInFile afterwards, starting from the opposite of `ticked`
  };
  // clang-format off
  const Case cases[] = {{"Tissue", true, true, true},   {"Tissue", true, false, false},
                        {"Tissue", false, true, false}, {"Tissue", false, false, true},
                        {"TISSUE", true, true, false},  {"tissue", true, true, false},
                        {"Blue", true, true, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.caption) + " column " + std::to_string(c.tissue_column) +
                 " ticked " + std::to_string(c.ticked));
    Started s;
    Program& p = s.p;
    p.form.Color[1].caption = c.caption;
    p.form.Color[1].ticked = p.TissueInFile = !c.ticked;
    p.TissueColumn = c.tissue_column;
    SetColorTick(p, 1, c.ticked);
    EXPECT_EQ(p.TissueInFile, c.expected);
  }
}

TEST(EntryRule, StoresNumbersAndMarksTheRest) {
  // In order: each entry sees what the one before it left; values are held in single precision.
  // clang-format off
  const std::pair<const char*, double> typed[] = {
      {"abc", -1.0}, {"250", 250.0}, {"", -1.0}, {"250", 250.0}, {"1e39", 250.0},
      {"-1e39", 250.0}, {"0", 0.0}, {" 12.5 ", 12.5}, {"-3", -3.0}, {"12abc", -1.0},
      {"1.23456789", static_cast<double>(1.23456789f)}};
  // clang-format on
  for (bool scan : {false, true}) {
    Started s;
    Program& p = s.p;
    for (const auto& [text, expected] : typed) {
      if (scan)
        SetMicrosPerMlText(p, 2, text);
      else
        SetMicrosPerMlFixText(p, 2, text);
      EXPECT_EQ(p.MicrosPerMlValues[2], expected) << (scan ? "scan" : "fixed") << " \"" << text;
    }
    EXPECT_EQ(p.MicrosPerMlValues[3], 1000.0) << "other slots are untouched";
  }
}

TEST(ResultFormat, StacksTheOptionRowsAsTheTableSays) {
  struct Case {
    bool scan;
    int colors;
    int format;  // 0 intensity, 1 microspheres/ml
    bool blanks, controls;
    int back_sub;      // -1: unchanged
    int control_corr;  // -1: hidden
    int run_analysis, box_height, panel_width;
  };
  // clang-format off
  const Case cases[] = {
      {false, 8, 1, true, true, 1290, 1590, 1900, 2315, 2625},
      {false, 8, 1, true, false, 1290, -1, 1615, 1990, 2625},
      {false, 8, 1, false, true, -1, 1290, 1590, 1990, 2625},
      {false, 8, 1, false, false, -1, -1, 1290, 1690, 2625},
      {false, 8, 0, true, true, 900, 1200, 1500, 1925, 1900},
      {false, 8, 0, true, false, 900, -1, 1225, 1600, 1900},
      {false, 8, 0, false, true, -1, 900, 1200, 1600, 1900},
      {false, 8, 0, false, false, -1, -1, 900, 1300, 1900},
      {false, 16, 1, true, true, 1290, 1590, 1900, 2315, 5350},
      {false, 16, 0, true, true, 900, 1200, 1500, 1925, 3800},
      // A scan dataset keeps the intensity rows in the microspheres/ml format.
      {true, 3, 1, true, false, -1, -1, 1225, 1600, 2800}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.scan ? "scan " : "fixed ") + std::to_string(c.colors) +
                 (c.format ? " micros" : " intensity") + (c.blanks ? " blanks" : "") +
                 (c.controls ? " controls" : ""));
    Started s;
    Program& p = s.p;
    p.SolventAmount = 2.5f;
    if (c.scan)
      LoadScanWindow(p, c.colors, c.blanks);
    else
      LoadFixedWindow(p, c.colors, c.blanks, c.controls);
    OFResults_Radio_Click(p, 1 - c.format);  // from the other format
    p.form.BackSub.geometry.top = 4321;      // marks "unchanged"
    OFResults_Radio_Click(p, c.format);
    const MainForm& f = p.form;
    EXPECT_EQ(f.BackSub.geometry.top, c.back_sub < 0 ? 4321 : c.back_sub);
    EXPECT_EQ(f.ControlCorr.visible ? f.ControlCorr.geometry.top : -1, c.control_corr);
    EXPECT_EQ(f.RunAnalysis.geometry.top, c.run_analysis);
    EXPECT_EQ(f.SynchDataBox.geometry.height, c.box_height);
    EXPECT_EQ((c.scan ? f.MicroBox : f.ColorBoxes).geometry.width, c.panel_width);
    EXPECT_EQ(p.ResultsInMicrospheres, c.format == 1);
    EXPECT_TRUE(f.OFResults_Radio[c.format].selected);
    EXPECT_FALSE(f.OFResults_Radio[1 - c.format].selected);
    // The solvent amount is shown, read-only, with the fixed microspheres/ml format.
    const bool solvent = !c.scan && c.format == 1;
    EXPECT_EQ(f.Solvent_Text.visible, solvent);
    EXPECT_EQ(f.SolventTextLabel.visible, solvent);
    EXPECT_TRUE(c.scan || f.MicroLabel.visible == (c.format == 1));
    EXPECT_FALSE(f.Solvent_Text.enabled) << "nothing reads a typed amount";
    EXPECT_TRUE(!solvent || f.Solvent_Text.text == "2.5") << f.Solvent_Text.text;
    if (c.format == 1) {
      EXPECT_EQ(f.focus.control, c.scan ? "MicrosPerMl" : "MicrosPerMlFix");
      EXPECT_EQ(f.focus.index, 1);
    }
  }
}

TEST(ResultFormat, ScanPanelColumnsAndLabels) {
  for (int pures : {3, 15, 16, 30}) {
    SCOPED_TRACE(std::to_string(pures) + " pures");
    Started s;
    Program& p = s.p;
    LoadScanWindow(p, pures, false);
    const MainForm& f = p.form;
    const int width = pures < 16 ? 2800 : 5200;
    // Intensity levels: labels centred, entries hidden, first column 650 from the edge.
    EXPECT_EQ(f.MicroBox.geometry.width, width);
    for (int i = 1; i <= 30; ++i) {
      EXPECT_EQ(f.MicrosForColor[i].visible, i <= pures) << i;
      EXPECT_FALSE(f.MicrosPerMl[i].visible) << i;
      EXPECT_TRUE(i > pures || f.MicrosForColor[i].centred) << i;
    }
    EXPECT_EQ(f.MicrosForColor[1].geometry.left, 650);
    EXPECT_TRUE(f.ColorTitle.centred);
    EXPECT_FALSE(f.MicroTitle.visible);

    OFResults_Radio_Click(p, 1);
    EXPECT_EQ(f.MicroBox.geometry.width, width);
    for (int i = 1; i <= 30; ++i) {
      EXPECT_EQ(f.MicrosPerMl[i].visible, i <= pures) << i;
      if (i > pures) continue;
      EXPECT_TRUE(f.MicrosForColor[i].right_aligned) << i;
      EXPECT_EQ(f.MicrosPerMl[i].text, "1000") << i;
      EXPECT_EQ(p.MicrosPerMlValues[i], 1000.0) << i;
      EXPECT_LE(f.MicrosForColor[i].geometry.left + f.MicrosForColor[i].geometry.width,
                f.MicrosPerMl[i].geometry.left)
          << "label ends before its entry box " << i;
    }
    EXPECT_EQ(f.MicrosForColor[1].geometry.left, 100);
    EXPECT_TRUE(pures <= 15 || f.MicrosForColor[16].geometry.left == 2700);
    EXPECT_EQ(f.ColorTitle.geometry.left, 100);
    EXPECT_TRUE(f.ColorTitle.right_aligned && f.MicroTitle.visible);
  }
}

TEST(ResultFormat, InstructionLinesForEveryCombination) {
  const std::string kFormat =
      "* Select result file format (Fluorimeter Intensities or Microspheres/ml).\r";
  const std::string kBack = "* Select or deselect Background Subtraction.\r";
  const std::string kColors = "* Select or deselect those colors to be analyzed.\r";
  const std::string kFill = "* Fill in number of microspheres/ml for each Pure color.\r";
  const std::string kPress = "* Press 'Analyze' button to start analysis.";
  struct Case {
    bool fixed, blanks;
    int format;
    std::string expected;
  };
  const Case cases[] = {{true, true, 1, kFormat + kBack + kColors + kFill + kPress},
                        {true, true, 0, kFormat + kBack + kColors + kPress},
                        {true, false, 1, kFormat + kColors + kFill + kPress},
                        {true, false, 0, kFormat + kColors + kPress},
                        {false, true, 1, kFormat + kBack + kFill + kPress},
                        {false, true, 0, kFormat + kBack + kPress},
                        {false, false, 1, kFormat + kFill + kPress},
                        {false, false, 0, kFormat + kPress}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fixed ? "fixed" : "scan") + " blanks " + std::to_string(c.blanks) +
                 " format " + std::to_string(c.format));
    Started s;
    if (c.fixed)
      LoadFixedWindow(s.p, 6, c.blanks, false);
    else
      LoadScanWindow(s.p, 3, c.blanks);
    OFResults_Radio_Click(s.p, c.format);
    EXPECT_EQ(s.p.form.Directions.caption, c.expected);
    EXPECT_EQ(FormatInstructions(s.p), c.expected);
  }
}

TEST(ColorPanel, ShowsAndHidesTheBoxesOfTheMatrix) {
  Started s;
  Program& p = s.p;
  p.MatrixSize = 5;
  for (int i = 1; i <= 30; ++i) p.form.Color[i].visible = (i % 2) == 0;
  for (bool show : {true, false}) {
    ShowColorPanel(p, show);
    EXPECT_EQ(p.form.ColorBoxes.visible, show);
    for (int i = 1; i <= 5; ++i) {
      EXPECT_EQ(p.form.Color[i].visible, show) << i;
      EXPECT_TRUE(!show || p.form.MicrosPerMlFix[i].visible) << i;
    }
    for (int i = 6; i <= 30; ++i) EXPECT_EQ(p.form.Color[i].visible, (i % 2) == 0) << i;
  }
}

}  // namespace
}  // namespace kolvane
