// The main window's states: start-up, Close File, the option boxes, Exit, and the layout's
// promise that no two shown controls overlap in any state.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::LoadFixedWindow;
using testing_window::LoadScanWindow;
using testing_window::NothingButMenuBar;
using testing_window::Started;

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(StartUp, LeavesTheWindowIdleWithOnlyTheMenuBar) {
  Started s;
  const MainForm& f = s.p.form;
  EXPECT_TRUE(NothingButMenuBar(f));
  EXPECT_TRUE(f.OpenData.enabled && f.OpenDataSS.enabled && f.Exit.enabled);
  EXPECT_TRUE(f.AbtKOLVANE.enabled);
  EXPECT_FALSE(f.CloseIt.enabled || f.Spillover.enabled);
  for (int i = 1; i <= 30; ++i) {
    EXPECT_EQ(f.MicrosPerMlFix[i].text, "1000") << i;
    EXPECT_EQ(s.p.MicrosPerMlValues[i], 1000.0) << i;
  }
  EXPECT_FALSE(s.p.ResultsInMicrospheres);
  EXPECT_TRUE(f.OFResults_Radio[0].selected);
  EXPECT_FALSE(f.OFResults_Radio[1].selected);
  EXPECT_EQ(s.p.SolventAmount, 2.0f);
  EXPECT_TRUE(s.p.DisplayOn);
  EXPECT_EQ(s.p.CurrentPure, 1);
  EXPECT_EQ(f.Directions.caption,
            "* Select result file format (Fluorimeter Intensities or Microspheres/ml).\r"
            "* Press 'Analyze' button to start analysis.");
  EXPECT_EQ(s.p.DefaultColorNames[1], "Tissue");
  EXPECT_EQ(s.p.DefaultColorNames[14], "Violet");
  EXPECT_EQ(s.p.DefaultColorNames[15], "");
  EXPECT_EQ(s.p.NominalWavelength[2], 380);
  EXPECT_EQ(s.p.NominalWavelength[14], 682);

  // Centred on the screen, a sensible size for the panels it holds.
  const Twips& g = f.geometry;
  EXPECT_EQ(g.left, (1920 * 15 - g.width) / 2);
  EXPECT_EQ(g.top, (1080 * 15 - g.height) / 2);
  EXPECT_TRUE(g.width >= 9000 && g.width <= 12000 && g.height >= 7000 && g.height <= 9000);

  // Index i + 15 shares the row of index i, to its right; rows go down with the index.
  for (int i = 1; i <= 15; ++i) {
    EXPECT_EQ(f.Color[i].geometry.top, f.Color[i + 15].geometry.top) << i;
    EXPECT_GT(f.Color[i + 15].geometry.left, f.Color[i].geometry.left) << i;
    EXPECT_EQ(f.MicrosForColor[i].geometry.top, f.MicrosForColor[i + 15].geometry.top) << i;
    EXPECT_TRUE(i == 1 || f.Color[i].geometry.top > f.Color[i - 1].geometry.top) << i;
  }
}

TEST(StartUp, GivesEveryControlItsCaption) {
  Started s;
  const MainForm& f = s.p.form;
  // clang-format off
  const std::pair<const Control*, const char*> captions[] = {
      {&f.OpenData, "Open Fixed Wavelength File"}, {&f.OpenDataSS, "Open Synchronous Scan File"},
      {&f.CloseIt, "Close File"}, {&f.Spillover, "New Spillover Matrix"}, {&f.Exit, "Exit"},
      {&f.AbtKOLVANE, "About KOLVANE..."}, {&f.ColorsHeading1, "Colors"},
      {&f.ColorsHeading2, "Colors"}, {&f.MicroLabel, "Micros/Ml"}, {&f.MicrosHeading2, "Micros/Ml"},
      {&f.ColorTitle, "Colors"}, {&f.MicroTitle, "Micros/Ml"},
      {&f.FileStatsHeading, "DATASET STATISTICS"}, {&f.PureStatLabel, "Pures:"},
      {&f.BlanksLabel, "Blanks:"}, {&f.SamplesLabel, "Samples:"}, {&f.ControlsLabel, "Controls"},
      {&f.ReportResultsHeading, "Report Results"}, {&f.OFResults_Radio[0], "Intensity Levels"},
      {&f.OFResults_Radio[1], "Microspheres/ml"}, {&f.BackSub, "Background Subtraction"},
      {&f.ControlCorr, "Control Correction"}, {&f.SolventTextLabel, "Amt solvent (ml):"},
      {&f.RunAnalysis, "Analyze"}, {&f.ProgressHeading, "Progress Indicator"}, {&f.XMin, "350"},
      {&f.XMax, "700"}, {&f.YMin, "0"}, {&f.YMax, "1000"}};
  // clang-format on
  for (const auto& [control, caption] : captions) EXPECT_EQ(control->caption, caption);
  EXPECT_EQ(f.caption, "Fluorescence Spillover Correction");
  EXPECT_EQ(f.Solvent_Text.text, "2");
  // Placeholders of the colour boxes, the same in both columns.
  const char* const column[16] = {"",           "TISSUE",       "Blue",    "Blue-Green",
                                  "Green",      "Yellow-Green", "Yellow",  "Orange",
                                  "Orange-Red", "Red",          "Carmine", "Crimson",
                                  "Dark Red",   "Scarlet",      "Violet",  "Violet"};
  for (int i = 1; i <= 30; ++i) EXPECT_EQ(f.Color[i].caption, column[i > 15 ? i - 15 : i]) << i;
  EXPECT_EQ(f.MicrosForColor[1].caption, "Color 1:");
  EXPECT_EQ(f.MicrosForColor[30].caption, "Color 30:");
}

TEST(CloseFile, ReturnsALoadedWindowToIdle) {
  Started s;
  Program& p = s.p;
  LoadFixedWindow(p, 12, true, true);
  SetMicrosPerMlFixText(p, 3, "250");
  const std::string out = ::testing::TempDir() + "close_file_results.scf";
  ASSERT_TRUE(p.channels.Out(2).Open(out));
  p.channels.Out(2).WriteLine("head");

  CloseIt_Click(p);

  const MainForm& f = p.form;
  EXPECT_TRUE(NothingButMenuBar(f));
  EXPECT_TRUE(f.OpenData.enabled && f.OpenDataSS.enabled);
  EXPECT_FALSE(f.CloseIt.enabled);
  EXPECT_TRUE(f.Spillover.enabled) << "Close File leaves New Spillover Matrix as it was";
  for (int i = 1; i <= 30; ++i) EXPECT_FALSE(f.Color[i].ticked || p.ColorSelected[i]) << i;
  EXPECT_EQ(p.SelectedColorCount, 0);
  EXPECT_TRUE(f.ControlCorr.visible && f.Spectra.visible);
  EXPECT_TRUE(f.XMin.visible && f.XMax.visible && f.YMin.visible && f.YMax.visible);
  EXPECT_FALSE(p.channels.Out(2).IsOpen());
  EXPECT_EQ(FileText(out), "head\r\n");
  // The dataset itself stays as it was.
  EXPECT_TRUE(p.FixedDataLoaded);
  EXPECT_EQ(p.NumColors, 12);
  EXPECT_EQ(f.MicrosPerMlFix[3].text, "250");
  EXPECT_EQ(p.MicrosPerMlValues[3], 250.0);
}

TEST(CloseFile, WaitsWhileBusyButALoadOrRunClosesItsOwnDataset) {
  Started s;
  Program& p = s.p;
  LoadFixedWindow(p, 4, false, false);
  SetBusy(p, true);
  CloseIt_Click(p);
  EXPECT_TRUE(p.form.CloseIt.enabled && p.form.ColorBoxes.visible);
  EXPECT_EQ(p.SelectedColorCount, 4);
  CloseDataset(p);
  EXPECT_FALSE(p.form.CloseIt.enabled || p.form.ColorBoxes.visible);
  EXPECT_EQ(p.SelectedColorCount, 0);
  EXPECT_TRUE(p.Busy) << "the caller ends its own busy state";
}

TEST(OptionBoxes, FollowTheirTicksAndTheBlanks) {
  Started s;
  Program& p = s.p;
  for (bool on : {true, false}) {
    p.form.BackSub.ticked = p.form.ControlCorr.ticked = on;
    BackSub_Click(p);
    ControlCorr_Click(p);
    EXPECT_EQ(p.BackgroundOn, on);
    EXPECT_EQ(p.ControlCorrectionOn, on);
  }
  p.BlanksPresent = false;
  ShowOptionPanel(p, true);
  EXPECT_FALSE(p.form.BackSub.visible);
  EXPECT_TRUE(p.form.FileStats.visible && p.form.Directions.visible);
  p.BlanksPresent = true;
  ShowOptionPanel(p, true);
  EXPECT_TRUE(p.form.BackSub.visible);
  ShowOptionPanel(p, false);
  EXPECT_FALSE(p.form.BackSub.visible || p.form.FileStats.visible || p.form.Directions.visible);

  SetBusyPointer(p, true);
  SetBusyPointer(p, false);
  EXPECT_EQ(s.host.pointers, (std::vector<Pointer>{Pointer::Hourglass, Pointer::Default}));
}

TEST(Exit, FlushesTheResultsAndEndsTheProgram) {
  Started s;
  const std::string out = ::testing::TempDir() + "exit_results.scf";
  ASSERT_TRUE(s.p.channels.Out(2).Open(out));
  s.p.channels.Out(2).WriteLine("1\t2");
  Exit_Click(s.p);
  EXPECT_TRUE(s.host.ended && s.p.Ending);
  EXPECT_EQ(FileText(out), "1\t2\r\n");
}

// --- layout: what is shown never overlaps -----------------------------------------------

struct Shown {
  std::string name;
  Twips g;
};

template <typename C>
void Add(std::vector<Shown>& v, const std::string& name, const C& c) {
  if (c.visible) v.push_back({name, c.geometry});
}

// The shown controls lie inside their container and do not overlap each other. Controls
// beyond a container's right edge are out of view (clipped) and skipped.
void ExpectNoOverlap(const std::string& where, const Twips& box, const std::vector<Shown>& shown) {
  std::vector<Shown> in_view;
  for (const Shown& c : shown) {
    if (c.g.left >= box.width) continue;
    EXPECT_TRUE(c.g.left >= 0 && c.g.top >= 0 && c.g.left + c.g.width <= box.width &&
                c.g.top + c.g.height <= box.height)
        << where << ": " << c.name << " outside its container";
    for (const Shown& o : in_view)
      EXPECT_FALSE(c.g.left < o.g.left + o.g.width && o.g.left < c.g.left + c.g.width &&
                   c.g.top < o.g.top + o.g.height && o.g.top < c.g.top + c.g.height)
          << where << ": " << c.name << " overlaps " << o.name;
    in_view.push_back(c);
  }
}

// The panels, and within them the boxes whose layout depends on the number of colours.
void ExpectTidyWindow(const std::string& state, const MainForm& f) {
  std::vector<Shown> v;
  for (const Control* c :
       {&f.ColorBoxes, &f.MicroBox, &f.FileStats, &f.SynchFrame, &f.ProgressBar, &f.Directions})
    Add(v, "panel", *c);
  ExpectNoOverlap(state + "/window", {0, 0, f.geometry.width, f.geometry.height}, v);
  for (bool fixed : {true, false}) {
    const Control& box = fixed ? f.ColorBoxes : f.MicroBox;
    if (!box.visible) continue;
    std::vector<Shown> w;
    for (int i = 1; i <= 30; ++i) {
      Add(w, "box " + std::to_string(i), fixed ? f.Color[i] : f.MicrosForColor[i]);
      Add(w, "entry " + std::to_string(i), fixed ? f.MicrosPerMlFix[i] : f.MicrosPerMl[i]);
    }
    for (const Control* c : {&f.ColorsHeading1, &f.ColorsHeading2, &f.MicroLabel, &f.MicrosHeading2,
                             &f.ColorTitle, &f.MicroTitle})
      if ((c == &f.ColorTitle || c == &f.MicroTitle) != fixed) Add(w, c->caption, *c);
    ExpectNoOverlap(state + (fixed ? "/ColorBoxes" : "/MicroBox"), box.geometry, w);
  }
  if (!f.SynchFrame.visible) return;
  std::vector<Shown> w;
  Add(w, "SynchDataBox", f.SynchDataBox);
  Add(w, "Spectra", f.Spectra);
  for (const Control* c : {&f.XMin, &f.XMax, &f.YMin, &f.YMax}) Add(w, c->caption, *c);
  ExpectNoOverlap(state + "/SynchFrame", f.SynchFrame.geometry, w);
  if (!f.SynchDataBox.visible) return;
  w.clear();
  for (const Control* c :
       {&f.ReportResultsHeading, &f.OFResults_Radio[0], &f.OFResults_Radio[1], &f.SolventTextLabel,
        &f.Solvent_Text, &f.BackSub, &f.ControlCorr, &f.RunAnalysis})
    Add(w, c->caption.empty() ? "Solvent_Text" : c->caption, *c);
  ExpectNoOverlap(state + "/SynchDataBox", f.SynchDataBox.geometry, w);
}

TEST(Layout, NothingShownOverlapsInAnyState) {
  for (bool scan : {false, true})
    for (int colors : {4, 15, 16, 30})
      for (int options = 0; options < 4; ++options) {  // blanks, controls (fixed only)
        const bool blanks = options & 1, controls = options & 2;
        if (scan && controls) continue;
        const std::string tag = std::string(scan ? "scan " : "fixed ") + std::to_string(colors) +
                                (blanks ? " B" : "") + (controls ? " C" : "");
        Started s;
        Program& p = s.p;
        ExpectTidyWindow("idle", p.form);
        if (scan)
          LoadScanWindow(p, colors, blanks);
        else
          LoadFixedWindow(p, colors, blanks, controls);
        ExpectTidyWindow(tag + " intensity", p.form);
        OFResults_Radio_Click(p, 1);
        ExpectTidyWindow(tag + " micros", p.form);
        p.form.SynchDataBox.visible = false;  // running: options hidden, progress shown
        p.form.ProgressBar.visible = true;
        if (scan) {  // the scan run hides the panels and spreads the spectra across them
          p.form.ColorBoxes.visible = p.form.MicroBox.visible = p.form.FileStats.visible = false;
          ShowSpectrumDisplay(p, true);
        }
        ExpectTidyWindow(tag + " running", p.form);
      }
}

TEST(Layout, FixedPanelShowsEveryColourInEitherFormat) {
  // No colour is out of reach beyond 15 colours; the entry boxes are in view only in the
  // microspheres/ml format.
  for (int colors : {12, 20, 30}) {
    Started s;
    Program& p = s.p;
    LoadFixedWindow(p, colors, true, true);
    for (int format : {0, 1}) {
      OFResults_Radio_Click(p, format);
      const int width = p.form.ColorBoxes.geometry.width;
      for (int i = 1; i <= colors; ++i) {
        SCOPED_TRACE(std::to_string(colors) + " colours, format " + std::to_string(format) +
                     ", box " + std::to_string(i));
        const Twips& c = p.form.Color[i].geometry;
        const Twips& e = p.form.MicrosPerMlFix[i].geometry;
        EXPECT_LE(c.left + c.width, width);
        EXPECT_EQ(e.left + e.width <= width, format == 1) << "entry box in view";
        EXPECT_EQ(e.left >= width, format == 0) << "entry box out of view";
      }
    }
  }
}

}  // namespace
}  // namespace kolvane
