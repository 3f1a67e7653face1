// In this file: where every control of the main window sits, in twips (1/1440 inch; the view
// draws 15 twips per pixel at 96 dpi).
//
// Containment, which the view follows when it mirrors the form (a control is shown only when
// it and every container above it are visible; children are clipped to their container, and
// their geometry is relative to its top left corner):
//   window (client area below the menu bar):
//     ColorBoxes, MicroBox, FileStats, SynchFrame, ProgressBar, Directions
//   ColorBoxes:  Color(1..30), MicrosPerMlFix(1..30), ColorsHeading1, ColorsHeading2,
//                MicroLabel, MicrosHeading2
//   MicroBox:    MicrosForColor(1..30), MicrosPerMl(1..30), ColorTitle, MicroTitle
//   FileStats:   FileStatsHeading, PureStatLabel, SamplesLabel, BlanksLabel, ControlsLabel,
//                PureStat, Samples, BlanksNum, ControlsNum
//   SynchFrame:  SynchDataBox, Spectra, XMin, XMax, YMin, YMax
//   SynchDataBox: ReportResultsHeading, OFResults_Radio(0..1), SolventTextLabel, Solvent_Text,
//                BackSub, ControlCorr, RunAnalysis
//   ProgressBar: ProgressHeading, SamplePtr, Perc_Panel
//
// The colour panels sit on the left, statistics and options on the right, progress and the
// instruction text at the bottom, so no two panels overlap in any state. Inside SynchFrame the
// options box and the spectrum display share the same place: a load hides the display, a run
// hides the options box, so only one of them is ever shown.
#pragma once

#include "app/main_form.h"

namespace kolvane {
namespace layout {

// The window's client area.
constexpr int kWindowWidth = 11460;
constexpr int kWindowHeight = 7500;

// Colour panels: rows of the two columns (index i and i + 15 share a row).
constexpr int kPanelLeft = 120;
constexpr int kPanelTop = 120;
constexpr int kPanelHeight = 4800;
constexpr int kHeadingTop = 120;
constexpr int kFirstRowTop = 420;
constexpr int kRowStep = 285;
constexpr int kRowHeight = 255;

// Fixed panel widths.
constexpr int kColorBoxesMicrosOne = 3050;
constexpr int kColorBoxesMicrosTwo = 6050;
constexpr int kColorBoxesIntensityOne = 1900;
constexpr int kColorBoxesIntensityTwo = 3800;

// Scan panel widths.
constexpr int kMicroBoxOne = 2850;
constexpr int kMicroBoxTwo = 5750;

// Top of row `index` (1..30) in either colour panel.
int RowTop(int index);

// Lays out every control of the form: captions, texts, geometry and the visibility that holds
// before start-up's own steps (every panel hidden). Leaves enabled states to start-up.
void LayOutMainForm(MainForm& f);

// Places SynchFrame and the spectrum display: beside the statistics for the options box
// (spectra false), or across the window's width for a run's spectra (spectra true).
void PlaceSynchFrame(MainForm& f, bool spectra);

// Places the fixed panel's columns for the result format. Microspheres/ml: check boxes and
// entry boxes side by side, two columns. Intensity levels: the check-box columns side by side
// (the second one in view only when the panel is two columns wide) and the entry boxes beyond
// the panel's right edge, out of view.
void PlaceFixedColumns(MainForm& f, bool micros);

// Places the scan panel's labels, entry boxes and titles for the result format. Labels of the
// first column start 100 from the left edge with microspheres/ml and 650 with intensity
// levels; the second column's labels start 2900 further right.
void PlaceScanColumns(MainForm& f, bool micros);

}  // namespace layout
}  // namespace kolvane
