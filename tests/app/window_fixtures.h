// In this file: a started program, and what the loaders do to the window reduced to the steps
// that matter for the shell's tests, so the panels can be checked without a data file.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "app/program.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace testing_window {

// A temporary file's path, named after this process so that test runs side by side never share
// a file.
inline std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "kolvane-" + std::to_string(getpid()) + "-" + name;
}

struct Started {
  ScriptedHost host;
  Program p{host};
  Started() { Form_Load(p, 1920 * 15, 1080 * 15); }
};

inline void LoadedWindow(Program& p, bool fixed, bool blanks) {
  MainForm& f = p.form;
  p.FixedDataLoaded = fixed;
  p.ScanDataLoaded = !fixed;
  p.BlanksPresent = blanks;
  f.OpenData.enabled = f.OpenDataSS.enabled = false;
  f.CloseIt.enabled = f.RunAnalysis.enabled = f.SynchDataBox.visible = f.SynchFrame.visible = true;
  f.Spillover.enabled = fixed;
  f.BackSub.visible = f.BackSub.ticked = p.BackgroundOn = blanks;
  ShowSpectrumDisplay(p, false);
  ShowOptionPanel(p, true);
  OFResults_Radio_Click(p, 0);
}

// A fixed-wavelength dataset of `colors` colours, all ticked, with a spillover matrix.
inline void LoadFixedWindow(Program& p, int colors, bool blanks, bool controls) {
  p.NumColors = p.MatrixSize = static_cast<std::int16_t>(colors);
  p.ControlsPresent = controls;
  p.MatrixReady = true;
  for (int i = 1; i <= colors; ++i) SetColorTick(p, i, true);
  for (int i = colors + 1; i <= 30; ++i)
    p.form.Color[i].visible = p.form.MicrosPerMlFix[i].visible = false;
  ShowColorPanel(p, true);
  LoadedWindow(p, true, blanks);
}

// A synchronous-scan dataset with `pures` pures.
inline void LoadScanWindow(Program& p, int pures, bool blanks) {
  p.HeaderPureCount = static_cast<std::int16_t>(pures);
  p.ControlsPresent = false;
  ShowColorPanel(p, false);
  InitMicroBox(p);
  p.form.MicroBox.visible = true;
  LoadedWindow(p, false, blanks);
}

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

inline bool NothingButMenuBar(const MainForm& f) {
  return !f.ColorBoxes.visible && !f.MicroBox.visible && !f.FileStats.visible &&
         !f.SynchFrame.visible && !f.ProgressBar.visible && !f.Directions.visible;
}

}  // namespace testing_window
}  // namespace kolvane
