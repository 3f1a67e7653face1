// In this file: what the loaders do to the window, reduced to the steps that matter for the
// shell's tests, so the panels can be checked in a loaded state without a data file.
#pragma once

#include <cstdint>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/program.h"

namespace kolvane {
namespace testing_window {

// A fixed-wavelength dataset of `colors` colours, all ticked, with a spillover matrix.
inline void LoadFixedWindow(Program& p, int colors, bool blanks, bool controls) {
  MainForm& f = p.form;
  p.NumColors = static_cast<std::int16_t>(colors);
  p.MatrixSize = static_cast<std::int16_t>(colors);
  p.BlanksPresent = blanks;
  p.ControlsPresent = controls;
  p.MatrixReady = true;
  for (int i = 1; i <= colors; ++i) SetColorTick(p, i, true);
  for (int i = colors + 1; i <= 30; ++i) {
    f.Color[i].visible = false;
    f.MicrosPerMlFix[i].visible = false;
  }
  ShowOptionPanel(p, true);
  ShowColorPanel(p, true);
  f.Spillover.enabled = true;
  f.OpenData.enabled = false;
  f.OpenDataSS.enabled = false;
  f.CloseIt.enabled = true;
  p.FixedDataLoaded = true;
  p.ScanDataLoaded = false;
  f.BackSub.visible = blanks;
  f.BackSub.ticked = blanks;
  p.BackgroundOn = blanks;
  ShowSpectrumDisplay(p, false);
  f.SynchFrame.visible = true;
  f.SynchDataBox.visible = true;
  f.RunAnalysis.visible = true;
  OFResults_Radio_Click(p, 0);
  f.ColorBoxes.visible = true;
}

// A synchronous-scan dataset with `pures` pures.
inline void LoadScanWindow(Program& p, int pures, bool blanks) {
  MainForm& f = p.form;
  p.HeaderPureCount = static_cast<std::int16_t>(pures);
  p.BlanksPresent = blanks;
  p.ControlsPresent = false;
  p.FixedDataLoaded = false;
  p.ScanDataLoaded = true;
  OFResults_Radio_Click(p, 0);
  f.Spillover.enabled = false;
  f.OpenData.enabled = false;
  f.OpenDataSS.enabled = false;
  f.CloseIt.enabled = true;
  f.BackSub.visible = blanks;
  f.BackSub.ticked = blanks;
  p.BackgroundOn = blanks;
  f.MicroBox.visible = false;
  InitMicroBox(p);
  OFResults_Radio_Click(p, 0);
  f.MicroBox.visible = true;
  ShowSpectrumDisplay(p, false);
  f.ColorBoxes.visible = false;
  ShowColorPanel(p, false);
  ShowOptionPanel(p, true);
  f.RunAnalysis.enabled = true;
  f.SynchDataBox.visible = true;
  f.SynchFrame.visible = true;
}

// The panels of the window that are shown, by name.
inline bool NothingButMenuBar(const MainForm& f) {
  return !f.ColorBoxes.visible && !f.MicroBox.visible && !f.FileStats.visible &&
         !f.SynchFrame.visible && !f.ProgressBar.visible && !f.Directions.visible;
}

}  // namespace testing_window
}  // namespace kolvane
