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

TEST(ColorClick, CountsChangedTicksOnly) {
  Started s;
  Program& p = s.p;
  p.SelectedColorCount = 5;
  for (auto [i, ticked] : {std::pair{2, true}, {3, true}, {17, true}, {3, false}, {17, true}})
    SetColorTick(p, i, ticked);  // the last one changes nothing and does not count
  EXPECT_EQ(p.SelectedColorCount, 7);
  EXPECT_TRUE(p.ColorSelected[2] && p.ColorSelected[17] && !p.ColorSelected[3]);
}

TEST(ColorClick, TissueBoxSetsTissueInFileOnlyForATissueColumn) {
  // TissueInFile afterwards, starting from the opposite of `ticked`
  const struct {
    const char* caption;
    bool tissue_column, ticked, expected;
  } cases[] = {{"Tissue", true, true, true},
               {"Tissue", true, false, false},
               {"Tissue", false, true, false},
               {"TISSUE", true, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption + std::to_string(c.tissue_column) + std::to_string(c.ticked));
    Started s;
    s.p.form.Color[1].caption = c.caption;
    s.p.form.Color[1].ticked = s.p.TissueInFile = !c.ticked;
    s.p.TissueColumn = c.tissue_column;
    SetColorTick(s.p, 1, c.ticked);
    EXPECT_EQ(s.p.TissueInFile, c.expected);
  }
}

TEST(EntryRule, StoresNumbersAndMarksTheRest) {
  // In order: each entry sees what the one before it left; values are held in single precision.
  // clang-format off
  const std::pair<const char*, double> typed[] = {
      {"abc", -1.0}, {"250", 250.0}, {"", -1.0}, {"250", 250.0}, {"1e39", 250.0},
      {"-1e39", 250.0}, {"0", 0.0}, {" 12.5 ", 12.5}, {"-3", -3.0}, {"12abc", -1.0},
      {"1.23456789", static_cast<double>(1.23456789f)},
      {"1,5e39", 1.23456789f}, {"+3.4e39 ", 1.23456789f}, {"1e", -1.0}, {"2.5e+", -1.0}};
  // clang-format on
  for (bool scan : {false, true}) {
    Started s;
    for (const auto& [text, expected] : typed) {
      (scan ? SetMicrosPerMlText : SetMicrosPerMlFixText)(s.p, 2, text);
      EXPECT_EQ((scan ? s.p.ScanMicrosPerMlValues : s.p.MicrosPerMlValues)[2], expected)
          << (scan ? "scan" : "fixed") << " \"" << text;
    }
    EXPECT_EQ((scan ? s.p.ScanMicrosPerMlValues : s.p.MicrosPerMlValues)[3], 1000.0)
        << "other slots are untouched";
  }
}

// The option rows shown (inside their boxes, none over another), the panel's columns and the
// instruction lines for each dataset and format.
TEST(ResultFormat, OptionRowsPanelColumnsAndInstructions) {
  struct Case {
    bool scan;
    int colors;
    int format;  // 0 intensity, 1 microspheres/ml
    bool blanks, controls;
    const char* lines;  // F format, B background, C colours, M microspheres, P press
  };
  // Two columns of entries from 16 on; a scan's microspheres/ml format keeps the intensity rows.
  const Case cases[] = {{false, 8, 1, true, true, "FBCMP"},  {false, 8, 1, true, false, "FBCMP"},
                        {false, 8, 1, false, true, "FCMP"},  {false, 8, 1, false, false, "FCMP"},
                        {false, 8, 0, true, true, "FBCP"},   {false, 8, 0, true, false, "FBCP"},
                        {false, 8, 0, false, true, "FCP"},   {false, 8, 0, false, false, "FCP"},
                        {false, 16, 1, true, true, "FBCMP"}, {false, 15, 0, false, false, "FCP"},
                        {true, 3, 1, true, false, "FBMP"},   {true, 3, 0, true, false, "FBP"},
                        {true, 15, 1, false, false, "FMP"},  {true, 16, 0, false, false, "FP"}};
  const std::pair<char, std::string> kLines[] = {
      {'F', "* Select result file format (Fluorimeter Intensities or Microspheres/ml)."},
      {'B', "* Select or deselect Background Subtraction."},
      {'C', "* Select or deselect those colors to be analyzed."},
      {'M', "* Fill in number of microspheres/ml for each Pure color."},
      {'P', "* Press 'Analyze' button to start analysis."}};
  for (const Case& c : cases) {
    SCOPED_TRACE("row " + std::to_string(&c - cases));
    Started s;
    Program& p = s.p;
    p.SolventAmount = 2.5f;
    c.scan ? LoadScanWindow(p, c.colors, c.blanks)
           : LoadFixedWindow(p, c.colors, c.blanks, c.controls);
    OFResults_Radio_Click(p, 1 - c.format);  // from the other format
    OFResults_Radio_Click(p, c.format);
    const MainForm& f = p.form;
    testing_window::ExpectTidyWindow(f);
    int above = f.OFResults_Radio[1].geometry.top;  // the rows in order below the format choice
    for (const Control* row : {&f.BackSub, &f.ControlCorr, &f.RunAnalysis})
      if (row->visible) {
        EXPECT_GT(row->geometry.top, above);
        above = row->geometry.top;
      }
    EXPECT_EQ(f.ControlCorr.visible, c.controls && !c.scan);
    EXPECT_EQ((c.scan ? f.MicroBox : f.ColorBoxes).geometry.width > 3000, c.colors >= 16);
    EXPECT_TRUE(p.ResultsInMicrospheres == (c.format == 1) && f.OFResults_Radio[c.format].selected);
    // The solvent amount is shown, read-only, with the fixed microspheres/ml format.
    const bool solvent = !c.scan && c.format == 1;
    EXPECT_EQ(f.Solvent_Text.visible && f.SolventTextLabel.visible, solvent);
    EXPECT_TRUE(!solvent || f.Solvent_Text.text == "2.5") << f.Solvent_Text.text;
    EXPECT_TRUE(!c.format || f.focus.control == (c.scan ? "MicrosPerMl" : "MicrosPerMlFix"));
    // Scan labels centred 650 from the edge, or right-aligned at 100 beside the entries.
    EXPECT_TRUE(!c.scan || (f.MicrosForColor[1].geometry.left == (c.format ? 100 : 650) &&
                            f.MicrosPerMl[c.colors].visible == (c.format == 1) &&
                            !f.MicrosForColor[c.colors + 1].visible &&
                            f.MicroTitle.visible == (c.format == 1)));
    std::string expected;
    for (const auto& [letter, line] : kLines)
      if (std::string(c.lines).find(letter) != std::string::npos)
        expected += (expected.empty() ? "" : "\r") + line;
    EXPECT_EQ(f.Directions.caption, expected);
  }
}

}  // namespace
}  // namespace kolvane
