// In this file: the main window as data. Every control of the window, with its caption or
// text, visibility, enabled state, tick or selection, text colour, focus and geometry in twips
// (1/1440 inch; the view draws 15 twips per pixel at 96 dpi). Core code writes the form; the
// Qt view only mirrors it and turns user events into calls of the named handlers. Tests read
// the form directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kolvane {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kYellow{255, 255, 0};

// Geometry in twips, relative to the control's container.
struct Twips {
  int left = 0, top = 0, width = 0, height = 0;
};

// One control. Which fields matter depends on its kind: a label shows `caption`, an entry box
// `text`, a check box `caption` and `ticked`, an option button `caption` and `selected`.
struct Control {
  std::string caption;
  std::string text;
  bool visible = true;
  bool enabled = true;
  bool ticked = false;
  bool selected = false;
  Rgb text_color = kBlack;
  bool centred = false;  // labels: centred (true) or right-aligned (false) in their box
  bool right_aligned = false;
  Twips geometry;
};

// The progress bar `Perc_Panel`.
struct ProgressBarControl {
  bool visible = true;
  int minimum = 0;
  int maximum = 100;
  int value = 0;
  Twips geometry;
};

// The spectrum display `Spectra` as a display list. DrawSpectrum sets the coordinate system
// (left edge, top, width, height in user units, as a picture box's Scale), clears it and adds
// points and circles; the view paints the list on a black field.
struct SpectrumItem {
  enum Kind { Point, Circle } kind = Point;
  double x = 0, y = 0;
  double radius = 0;  // circles only, in x units
  Rgb color = kYellow;
  int draw_width = 1;
};

struct SpectrumDisplay {
  bool visible = true;
  double scale_left = 0, scale_top = 0, scale_width = 1, scale_height = 1;
  int draw_width = 1;
  std::vector<SpectrumItem> items;
  std::uint64_t generation = 0;  // raised on every change, so the view repaints only when needed
  Twips geometry;

  void Clear() {
    items.clear();
    ++generation;
  }
  void Scale(double left, double top, double width, double height) {
    scale_left = left;
    scale_top = top;
    scale_width = width;
    scale_height = height;
    ++generation;
  }
  void AddPoint(double x, double y, Rgb color) {
    items.push_back({SpectrumItem::Point, x, y, 0, color, draw_width});
    ++generation;
  }
  void AddCircle(double x, double y, double radius, Rgb color) {
    items.push_back({SpectrumItem::Circle, x, y, radius, color, draw_width});
    ++generation;
  }
};

// Which control has the focus: its name and, for an indexed family, its index.
struct Focus {
  std::string control;  // empty: none set by the program
  int index = 0;
};

// Indexed families are addressed 1..30; element 0 exists and is unused.
using ControlFamily = std::array<Control, 31>;

struct MainForm {
  std::string caption = "Fluorescence Spillover Correction";
  Twips geometry;  // the window; left and top set by the centring of start-up

  // Menu File and Help.
  Control OpenData, OpenDataSS, CloseIt, Spillover, Exit, AbtKOLVANE;

  // Fixed-wavelength colour panel.
  Control ColorBoxes;  // the panel
  ControlFamily Color;
  ControlFamily MicrosPerMlFix;
  Control ColorsHeading1, ColorsHeading2, MicrosHeading2;  // "Colors", "Colors", "Micros/Ml"
  Control MicroLabel;                                      // first column's "Micros/Ml"

  // Scan microspheres/ml panel.
  Control MicroBox;
  ControlFamily MicrosForColor;
  ControlFamily MicrosPerMl;
  Control ColorTitle, MicroTitle;

  // Dataset statistics.
  Control FileStats;
  Control FileStatsHeading;                                         // "DATASET STATISTICS"
  Control PureStatLabel, BlanksLabel, SamplesLabel, ControlsLabel;  // "Pures:" ...
  Control PureStat, BlanksNum, Samples, ControlsNum;

  // Options and spectra.
  Control SynchFrame;
  Control SynchDataBox;
  Control ReportResultsHeading;  // "Report Results"
  std::array<Control, 2> OFResults_Radio;
  Control BackSub, ControlCorr;
  Control SolventTextLabel, Solvent_Text;
  Control RunAnalysis;
  SpectrumDisplay Spectra;
  Control XMin, XMax, YMin, YMax;

  // Progress.
  Control ProgressBar;      // the panel
  Control ProgressHeading;  // "Progress Indicator"
  ProgressBarControl Perc_Panel;
  Control SamplePtr;

  // The instruction and status line; its lines are separated by a CR alone.
  Control Directions;

  Focus focus;
  std::uint64_t generation = 0;  // raised by Touch(); the view mirrors when it changes
  void Touch() { ++generation; }
};

}  // namespace kolvane
