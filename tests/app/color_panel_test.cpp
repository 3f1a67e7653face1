// The colour check boxes, the microspheres/ml entries and the result-format choice.
#include "app/color_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/table.h"
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
    bool tissue, tissue_column, ticked, expected;
  } cases[] = {{true, true, true, true},
               {true, true, false, false},
               {true, false, true, false},
               {false, true, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.tissue) + std::to_string(c.tissue_column) +
                 std::to_string(c.ticked));
    Started s;
    s.p.ColorIsTissue[1] = c.tissue;
    s.p.form.Color[1].ticked = s.p.TissueInFile = !c.ticked;
    s.p.TissueColumn = c.tissue_column;
    SetColorTick(s.p, 1, c.ticked);
    EXPECT_EQ(s.p.TissueInFile, c.expected);
  }
}

TEST(EntryRule, StoresNumbersAndMarksTheRest) {
  for (bool scan : {false, true}) {
    Started s;
    for (const TableRow& c : ReadTable("app/typed_entries.tsv")) {
      (scan ? SetMicrosPerMlText : SetMicrosPerMlFixText)(s.p, 2, c[0]);
      EXPECT_EQ((scan ? s.p.ScanMicrosPerMlValues : s.p.MicrosPerMlValues)[2],
                static_cast<float>(std::stod(c[1])))
          << (scan ? "scan" : "fixed") << " \"" << c[0];
    }
    EXPECT_EQ((scan ? s.p.ScanMicrosPerMlValues : s.p.MicrosPerMlValues)[3], 1000.0)
        << "other slots are untouched";
  }
}

// The format chosen, the read-only solvent amount with the fixed microspheres/ml format, the
// entry that takes the focus, and the scan's entries shown for its pures only.
TEST(ResultFormat, FormatSolventFocusAndEntries) {
  for (auto [scan, colors, format, controls] : {std::tuple{false, 8, 1, true},
                                                {false, 8, 0, false},
                                                {false, 16, 1, false},
                                                {true, 3, 1, false},
                                                {true, 16, 0, false}}) {
    SCOPED_TRACE(std::to_string(scan) + std::to_string(colors) + std::to_string(format));
    Started s;
    Program& p = s.p;
    p.SolventAmount = 2.5f;
    scan ? LoadScanWindow(p, colors, true) : LoadFixedWindow(p, colors, true, controls);
    OFResults_Radio_Click(p, 1 - format);  // from the other format
    OFResults_Radio_Click(p, format);
    const MainForm& f = p.form;
    EXPECT_EQ(f.ControlCorr.visible, controls && !scan);
    EXPECT_TRUE(p.ResultsInMicrospheres == (format == 1) && f.OFResults_Radio[format].selected);
    const bool solvent = !scan && format == 1;
    EXPECT_EQ(f.Solvent_Text.visible, solvent);
    EXPECT_TRUE(!solvent || f.Solvent_Text.text == "2.5") << f.Solvent_Text.text;
    EXPECT_TRUE(!format || f.focus.control == (scan ? "MicrosPerMl" : "MicrosPerMlFix"));
    EXPECT_TRUE(!scan || (f.MicrosPerMl[colors].visible == (format == 1) &&
                          !f.MicrosForColor[colors + 1].visible));
  }
}

}  // namespace
}  // namespace kolvane
