// The main window's states: start-up, Close File, the option boxes, Exit, and the layout's
// promise that no two shown controls overlap in any state.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/color_panel.h"
#include "app/program.h"
#include "support/scripted_host.h"
#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::LoadFixedWindow;
using testing_window::LoadScanWindow;
using testing_window::NothingButMenuBar;

constexpr int kScreenW = 1920 * 15;
constexpr int kScreenH = 1080 * 15;

struct Started {
  ScriptedHost host;
  Program p{host};
  Started() { Form_Load(p, kScreenW, kScreenH); }
};

TEST(StartUp, LeavesTheWindowIdleWithOnlyTheMenuBar) {
  Started s;
  const MainForm& f = s.p.form;
  EXPECT_TRUE(NothingButMenuBar(f));
  EXPECT_TRUE(f.OpenData.enabled);
  EXPECT_TRUE(f.OpenDataSS.enabled);
  EXPECT_FALSE(f.CloseIt.enabled);
  EXPECT_FALSE(f.Spillover.enabled);
  EXPECT_TRUE(f.Exit.enabled);
  EXPECT_TRUE(f.AbtKOLVANE.enabled);
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
}

TEST(StartUp, CentresTheWindowOnTheScreen) {
  Started s;
  const Twips& g = s.p.form.geometry;
  EXPECT_EQ(g.left, (kScreenW - g.width) / 2);
  EXPECT_EQ(g.top, (kScreenH - g.height) / 2);
  // A sensible size for the panels it holds.
  EXPECT_GE(g.width, 9000);
  EXPECT_LE(g.width, 12000);
  EXPECT_GE(g.height, 7000);
  EXPECT_LE(g.height, 9000);
}

TEST(StartUp, GivesEveryControlItsCaption) {
  Started s;
  const MainForm& f = s.p.form;
  const std::vector<std::pair<const Control*, std::string>> captions = {
      {&f.OpenData, "Open Fixed Wavelength File"},
      {&f.OpenDataSS, "Open Synchronous Scan File"},
      {&f.CloseIt, "Close File"},
      {&f.Spillover, "New Spillover Matrix"},
      {&f.Exit, "Exit"},
      {&f.AbtKOLVANE, "About KOLVANE..."},
      {&f.ColorsHeading1, "Colors"},
      {&f.ColorsHeading2, "Colors"},
      {&f.MicroLabel, "Micros/Ml"},
      {&f.MicrosHeading2, "Micros/Ml"},
      {&f.ColorTitle, "Colors"},
      {&f.MicroTitle, "Micros/Ml"},
      {&f.FileStatsHeading, "DATASET STATISTICS"},
      {&f.PureStatLabel, "Pures:"},
      {&f.BlanksLabel, "Blanks:"},
      {&f.SamplesLabel, "Samples:"},
      {&f.ControlsLabel, "Controls"},
      {&f.ReportResultsHeading, "Report Results"},
      {&f.OFResults_Radio[0], "Intensity Levels"},
      {&f.OFResults_Radio[1], "Microspheres/ml"},
      {&f.BackSub, "Background Subtraction"},
      {&f.ControlCorr, "Control Correction"},
      {&f.SolventTextLabel, "Amt solvent (ml):"},
      {&f.RunAnalysis, "Analyze"},
      {&f.ProgressHeading, "Progress Indicator"},
      {&f.XMin, "350"},
      {&f.XMax, "700"},
      {&f.YMin, "0"},
      {&f.YMax, "1000"},
  };
  for (const auto& [control, caption] : captions) EXPECT_EQ(control->caption, caption);
  EXPECT_EQ(f.caption, "Fluorescence Spillover Correction");
  EXPECT_EQ(f.Solvent_Text.text, "2");

  // Placeholders of the colour boxes, column by column.
  const char* const column[16] = {"",           "TISSUE",       "Blue",    "Blue-Green",
                                  "Green",      "Yellow-Green", "Yellow",  "Orange",
                                  "Orange-Red", "Red",          "Carmine", "Crimson",
                                  "Dark Red",   "Scarlet",      "Violet",  "Violet"};
  for (int i = 1; i <= 15; ++i) {
    EXPECT_EQ(f.Color[i].caption, column[i]) << i;
    EXPECT_EQ(f.Color[i + 15].caption, column[i]) << i + 15;
  }
  EXPECT_EQ(f.MicrosForColor[1].caption, "Color 1:");
  EXPECT_EQ(f.MicrosForColor[30].caption, "Color 30:");
}

TEST(StartUp, LaysColumnsOutRowByRow) {
  Started s;
  const MainForm& f = s.p.form;
  for (int i = 1; i <= 15; ++i) {
    // Index i + 15 shares the row of index i, to its right; rows go down with the index.
    EXPECT_EQ(f.Color[i].geometry.top, f.Color[i + 15].geometry.top) << i;
    EXPECT_GT(f.Color[i + 15].geometry.left, f.Color[i].geometry.left) << i;
    EXPECT_EQ(f.MicrosForColor[i].geometry.top, f.MicrosForColor[i + 15].geometry.top) << i;
    if (i > 1) {
      EXPECT_GT(f.Color[i].geometry.top, f.Color[i - 1].geometry.top) << i;
    }
  }
}

TEST(CloseFile, ReturnsALoadedWindowToIdle) {
  Started s;
  Program& p = s.p;
  LoadFixedWindow(p, 12, true, true);
  SetMicrosPerMlFixText(p, 3, "250");
  std::string out = ::testing::TempDir() + "close_file_results.scf";
  ASSERT_TRUE(p.channels.Out(2).Open(out));
  p.channels.Out(2).WriteLine("head");

  CloseIt_Click(p);

  const MainForm& f = p.form;
  EXPECT_TRUE(NothingButMenuBar(f));
  EXPECT_TRUE(f.OpenData.enabled);
  EXPECT_TRUE(f.OpenDataSS.enabled);
  EXPECT_FALSE(f.CloseIt.enabled);
  EXPECT_TRUE(f.Spillover.enabled) << "Close File leaves New Spillover Matrix as it was";
  for (int i = 1; i <= 30; ++i) {
    EXPECT_FALSE(f.Color[i].ticked) << i;
    EXPECT_FALSE(p.ColorSelected[i]) << i;
  }
  EXPECT_EQ(p.SelectedColorCount, 0);
  EXPECT_TRUE(f.ControlCorr.visible);
  EXPECT_TRUE(f.Spectra.visible);
  EXPECT_TRUE(f.XMin.visible && f.XMax.visible && f.YMin.visible && f.YMax.visible);
  EXPECT_FALSE(p.channels.Out(2).IsOpen());
  std::ifstream in(out, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "head\r\n");
  // The dataset itself stays as it was.
  EXPECT_TRUE(p.FixedDataLoaded);
  EXPECT_EQ(p.NumColors, 12);
  EXPECT_EQ(f.MicrosPerMlFix[3].text, "250");
  EXPECT_EQ(p.MicrosPerMlValues[3], 250.0);
}

TEST(CloseFile, DoesNothingWhileALoadOrRunIsInProgress) {
  Started s;
  Program& p = s.p;
  LoadFixedWindow(p, 4, false, false);
  SetBusy(p, true);
  CloseIt_Click(p);
  EXPECT_TRUE(p.form.CloseIt.enabled);
  EXPECT_TRUE(p.form.ColorBoxes.visible);
  EXPECT_EQ(p.SelectedColorCount, 4);
  SetBusy(p, false);
  CloseIt_Click(p);
  EXPECT_FALSE(p.form.CloseIt.enabled);
}

TEST(CloseFile, ALoadOrRunClosesItsOwnDatasetWhileBusy) {
  Started s;
  Program& p = s.p;
  LoadFixedWindow(p, 4, false, false);
  SetBusy(p, true);
  CloseDataset(p);
  EXPECT_FALSE(p.form.CloseIt.enabled);
  EXPECT_FALSE(p.form.ColorBoxes.visible);
  EXPECT_EQ(p.SelectedColorCount, 0);
  EXPECT_TRUE(p.Busy) << "the caller ends its own busy state";
}

TEST(OptionBoxes, FollowTheirTicks) {
  Started s;
  Program& p = s.p;
  p.form.BackSub.ticked = true;
  BackSub_Click(p);
  EXPECT_TRUE(p.BackgroundOn);
  p.form.BackSub.ticked = false;
  BackSub_Click(p);
  EXPECT_FALSE(p.BackgroundOn);
  p.form.ControlCorr.ticked = true;
  ControlCorr_Click(p);
  EXPECT_TRUE(p.ControlCorrectionOn);
}

TEST(OptionPanel, HidesBackgroundSubtractionWithoutBlanks) {
  Started s;
  Program& p = s.p;
  p.BlanksPresent = false;
  ShowOptionPanel(p, true);
  EXPECT_FALSE(p.form.BackSub.visible);
  EXPECT_TRUE(p.form.FileStats.visible);
  EXPECT_TRUE(p.form.Directions.visible);
  p.BlanksPresent = true;
  ShowOptionPanel(p, true);
  EXPECT_TRUE(p.form.BackSub.visible);
  ShowOptionPanel(p, false);
  EXPECT_FALSE(p.form.BackSub.visible || p.form.FileStats.visible || p.form.Directions.visible);
}

TEST(Exit, FlushesTheResultsAndEndsTheProgram) {
  Started s;
  Program& p = s.p;
  std::string out = ::testing::TempDir() + "exit_results.scf";
  ASSERT_TRUE(p.channels.Out(2).Open(out));
  p.channels.Out(2).WriteLine("1\t2");
  Exit_Click(p);
  EXPECT_TRUE(s.host.ended);
  EXPECT_TRUE(p.Ending);
  std::ifstream in(out, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), "1\t2\r\n");
}

TEST(BusyPointer, IsTheHourglassWhileBusy) {
  Started s;
  SetBusyPointer(s.p, true);
  SetBusyPointer(s.p, false);
  ASSERT_EQ(s.host.pointers.size(), 2u);
  EXPECT_EQ(s.host.pointers[0], Pointer::Hourglass);
  EXPECT_EQ(s.host.pointers[1], Pointer::Default);
}

// --- layout: what is shown never overlaps -----------------------------------------------

struct Shown {
  std::string name;
  Twips g;
};

bool Overlap(const Twips& a, const Twips& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

// Checks that the shown controls lie inside their container and do not overlap each other.
// Controls beyond a container's right edge are out of view (clipped) and skipped.
void ExpectNoOverlap(const std::string& where, const Twips& container,
                     const std::vector<Shown>& shown) {
  std::vector<Shown> in_view;
  for (const Shown& c : shown) {
    if (c.g.left >= container.width) continue;
    EXPECT_GE(c.g.left, 0) << where << ": " << c.name;
    EXPECT_GE(c.g.top, 0) << where << ": " << c.name;
    EXPECT_LE(c.g.left + c.g.width, container.width) << where << ": " << c.name;
    EXPECT_LE(c.g.top + c.g.height, container.height) << where << ": " << c.name;
    in_view.push_back(c);
  }
  for (std::size_t i = 0; i < in_view.size(); ++i)
    for (std::size_t j = i + 1; j < in_view.size(); ++j) {
      EXPECT_FALSE(Overlap(in_view[i].g, in_view[j].g))
          << where << ": " << in_view[i].name << " overlaps " << in_view[j].name;
    }
}

void Add(std::vector<Shown>& v, const std::string& name, const Control& c) {
  if (c.visible) v.push_back({name, c.geometry});
}

void ExpectTidyWindow(const std::string& state, const MainForm& f) {
  std::vector<Shown> top;
  Add(top, "ColorBoxes", f.ColorBoxes);
  Add(top, "MicroBox", f.MicroBox);
  Add(top, "FileStats", f.FileStats);
  Add(top, "SynchFrame", f.SynchFrame);
  Add(top, "ProgressBar", f.ProgressBar);
  Add(top, "Directions", f.Directions);
  ExpectNoOverlap(state + "/window", {0, 0, f.geometry.width, f.geometry.height}, top);

  if (f.ColorBoxes.visible) {
    std::vector<Shown> v;
    for (int i = 1; i <= 30; ++i) {
      Add(v, "Color" + std::to_string(i), f.Color[i]);
      Add(v, "MicrosPerMlFix" + std::to_string(i), f.MicrosPerMlFix[i]);
    }
    Add(v, "ColorsHeading1", f.ColorsHeading1);
    Add(v, "ColorsHeading2", f.ColorsHeading2);
    Add(v, "MicroLabel", f.MicroLabel);
    Add(v, "MicrosHeading2", f.MicrosHeading2);
    ExpectNoOverlap(state + "/ColorBoxes", f.ColorBoxes.geometry, v);
  }
  if (f.MicroBox.visible) {
    std::vector<Shown> v;
    for (int i = 1; i <= 30; ++i) {
      Add(v, "MicrosForColor" + std::to_string(i), f.MicrosForColor[i]);
      Add(v, "MicrosPerMl" + std::to_string(i), f.MicrosPerMl[i]);
    }
    Add(v, "ColorTitle", f.ColorTitle);
    Add(v, "MicroTitle", f.MicroTitle);
    ExpectNoOverlap(state + "/MicroBox", f.MicroBox.geometry, v);
  }
  if (f.FileStats.visible) {
    std::vector<Shown> v;
    for (const Control* c :
         {&f.FileStatsHeading, &f.PureStatLabel, &f.SamplesLabel, &f.BlanksLabel, &f.ControlsLabel,
          &f.PureStat, &f.Samples, &f.BlanksNum, &f.ControlsNum})
      Add(v, c->caption.empty() ? "value" : c->caption, *c);
    ExpectNoOverlap(state + "/FileStats", f.FileStats.geometry, v);
  }
  if (f.SynchFrame.visible) {
    std::vector<Shown> v;
    Add(v, "SynchDataBox", f.SynchDataBox);
    if (f.Spectra.visible) v.push_back({"Spectra", f.Spectra.geometry});
    Add(v, "XMin", f.XMin);
    Add(v, "XMax", f.XMax);
    Add(v, "YMin", f.YMin);
    Add(v, "YMax", f.YMax);
    ExpectNoOverlap(state + "/SynchFrame", f.SynchFrame.geometry, v);
    if (f.SynchDataBox.visible) {
      std::vector<Shown> w;
      Add(w, "ReportResults", f.ReportResultsHeading);
      Add(w, "Radio0", f.OFResults_Radio[0]);
      Add(w, "Radio1", f.OFResults_Radio[1]);
      Add(w, "SolventTextLabel", f.SolventTextLabel);
      Add(w, "Solvent_Text", f.Solvent_Text);
      Add(w, "BackSub", f.BackSub);
      Add(w, "ControlCorr", f.ControlCorr);
      Add(w, "RunAnalysis", f.RunAnalysis);
      ExpectNoOverlap(state + "/SynchDataBox", f.SynchDataBox.geometry, w);
    }
  }
  if (f.ProgressBar.visible) {
    std::vector<Shown> v;
    Add(v, "ProgressHeading", f.ProgressHeading);
    Add(v, "SamplePtr", f.SamplePtr);
    if (f.Perc_Panel.visible) v.push_back({"Perc_Panel", f.Perc_Panel.geometry});
    ExpectNoOverlap(state + "/ProgressBar", f.ProgressBar.geometry, v);
  }
}

TEST(Layout, NothingShownOverlapsInAnyState) {
  for (int colors : {4, 15, 16, 30}) {
    for (bool blanks : {false, true}) {
      for (bool controls : {false, true}) {
        Started s;
        Program& p = s.p;
        std::string tag =
            "fixed " + std::to_string(colors) + (blanks ? " B" : "") + (controls ? " C" : "");
        ExpectTidyWindow("idle", p.form);
        LoadFixedWindow(p, colors, blanks, controls);
        ExpectTidyWindow(tag + " intensity", p.form);
        OFResults_Radio_Click(p, 1);
        ExpectTidyWindow(tag + " micros", p.form);
        // Running: options hidden, progress shown.
        p.form.SynchDataBox.visible = false;
        p.form.ProgressBar.visible = true;
        ExpectTidyWindow(tag + " running", p.form);
      }
    }
  }
  for (int pures : {3, 15, 16, 30}) {
    for (bool blanks : {false, true}) {
      Started s;
      Program& p = s.p;
      std::string tag = "scan " + std::to_string(pures) + (blanks ? " B" : "");
      LoadScanWindow(p, pures, blanks);
      ExpectTidyWindow(tag + " intensity", p.form);
      OFResults_Radio_Click(p, 1);
      ExpectTidyWindow(tag + " micros", p.form);
      p.form.SynchDataBox.visible = false;
      p.form.ProgressBar.visible = true;
      ShowSpectrumDisplay(p, true);
      ExpectTidyWindow(tag + " running", p.form);
    }
  }
}

TEST(Layout, FixedPanelShowsEveryColourInEitherFormat) {
  // Every shown check box lies inside the panel's width, in both formats, so no colour is
  // out of reach; the entry boxes are in view only in the microspheres/ml format.
  for (int colors : {12, 20, 30}) {
    Started s;
    Program& p = s.p;
    LoadFixedWindow(p, colors, true, true);
    for (int format : {0, 1}) {
      OFResults_Radio_Click(p, format);
      int width = p.form.ColorBoxes.geometry.width;
      for (int i = 1; i <= colors; ++i) {
        const Twips& c = p.form.Color[i].geometry;
        EXPECT_LE(c.left + c.width, width) << colors << " colours, format " << format << ", " << i;
        const Twips& e = p.form.MicrosPerMlFix[i].geometry;
        if (format == 1) {
          EXPECT_LE(e.left + e.width, width) << colors << " colours, " << i;
        } else {
          EXPECT_GE(e.left, width) << colors << " colours, " << i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace kolvane
