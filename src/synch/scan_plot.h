// In this file: what the spectrum display shows during a scan run: the y range fitted to the
// spectrum, the coordinate system and axis labels, the spectrum's dots and the run's first
// frame. The display is only for watching; nothing here changes a result.
#pragma once

#include "app/program.h"

namespace kolvane {

// Fits PlotYMax/PlotYMin to the current Spectrum, sets the coordinate system of Spectra,
// writes the axis labels when asked, and clears the picture.
void DrawSpectrum(Program& p, bool with_labels);
// The spectrum's points as yellow dots, drawing width 2.
void PlotSpectrumPoints(Program& p);
// The run's first frame: range 0..1000, labels, cleared picture.
void DrawRunFrame(Program& p);
// Coordinate system and (optionally) labels for the current PlotYMax/PlotYMin.
void ScaleSpectrumDisplay(Program& p, bool with_labels);

}  // namespace kolvane
