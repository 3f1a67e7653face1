// In this file: a started program, and what the loaders do to the window reduced to the steps
// that matter for the shell's tests, so the panels can be checked without a data file.
#pragma once

#include <cstdint>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/program.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace testing_window {

struct Started {
  ScriptedHost host;
  Program p{host};
  Started() { Form_Load(p, 1920 * 15, 1080 * 15); }
};

// A fixed-wavelength dataset of `colors` colours, all ticked, with a spillover matrix.
inline void LoadFixedWindow(Program& p, int colors, bool blanks, bool controls) {
  MainForm& f = p.form;
  p.NumColors = p.MatrixSize = static_cast<std::int16_t>(colors);
  p.BlanksPresent = blanks;
  p.ControlsPresent = controls;
  p.MatrixReady = true;
  for (int i = 1; i <= colors; ++i) SetColorTick(p, i, true);
  for (int i = colors + 1; i <= 30; ++i) f.Color[i].visible = f.MicrosPerMlFix[i].visible = false;
  ShowOptionPanel(p, true);
  ShowColorPanel(p, true);
  f.Spillover.enabled = f.CloseIt.enabled = true;
  f.OpenData.enabled = f.OpenDataSS.enabled = false;
  p.FixedDataLoaded = true;
  p.ScanDataLoaded = false;
  f.BackSub.visible = f.BackSub.ticked = p.BackgroundOn = blanks;
  ShowSpectrumDisplay(p, false);
  f.SynchFrame.visible = f.SynchDataBox.visible = f.RunAnalysis.visible = true;
  OFResults_Radio_Click(p, 0);
  f.ColorBoxes.visible = true;
}

// A synchronous-scan dataset with `pures` pures.
inline void LoadScanWindow(Program& p, int pures, bool blanks) {
  MainForm& f = p.form;
  p.HeaderPureCount = static_cast<std::int16_t>(pures);
  p.BlanksPresent = blanks;
  p.ControlsPresent = p.FixedDataLoaded = false;
  p.ScanDataLoaded = true;
  OFResults_Radio_Click(p, 0);
  f.Spillover.enabled = f.OpenData.enabled = f.OpenDataSS.enabled = false;
  f.CloseIt.enabled = true;
  f.BackSub.visible = f.BackSub.ticked = p.BackgroundOn = blanks;
  f.MicroBox.visible = false;
  InitMicroBox(p);
  OFResults_Radio_Click(p, 0);
  f.MicroBox.visible = true;
  ShowSpectrumDisplay(p, false);
  f.ColorBoxes.visible = false;
  ShowColorPanel(p, false);
  ShowOptionPanel(p, true);
  f.RunAnalysis.enabled = f.SynchDataBox.visible = f.SynchFrame.visible = true;
}

inline bool NothingButMenuBar(const MainForm& f) {
  return !f.ColorBoxes.visible && !f.MicroBox.visible && !f.FileStats.visible &&
         !f.SynchFrame.visible && !f.ProgressBar.visible && !f.Directions.visible;
}

}  // namespace testing_window
}  // namespace kolvane
