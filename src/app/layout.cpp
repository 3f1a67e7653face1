#include "app/layout.h"

#include <string>

namespace kolvane {
namespace layout {

namespace {

constexpr int kRightLeft = 6300;  // left edge of the statistics and options column
constexpr int kRightWidth = 5040;

// Fixed panel columns: check box and entry box of the first and second column. An entry box
// shows eight digits (12 500 000 microspheres/ml) in the desktop's font.
constexpr int kCheckWidth = 1660;
constexpr int kEntryWidth = 1050;
constexpr int kCheckLeft1 = 120;
constexpr int kEntryLeft1 = 1900;
constexpr int kCheckLeft2 = 3100;
constexpr int kEntryLeft2 = 4880;
// Intensity levels: the second check-box column moves next to the first, and the entry boxes
// are parked beyond the widest intensity panel.
constexpr int kCheckLeft2Intensity = 1900;
constexpr int kEntryParked1 = kColorBoxesIntensityTwo + 200;
constexpr int kEntryParked2 = kColorBoxesIntensityTwo + 1000;

// Scan panel columns.
constexpr int kLabelWidth = 1500;
constexpr int kScanEntryWidth = 1050;
constexpr int kLabelLeftMicros = 100;
constexpr int kLabelLeftIntensity = 650;
constexpr int kSecondColumnOffset = 2900;
constexpr int kScanEntryLeft1 = 1700;
constexpr int kScanEntryLeft2 = 4600;

constexpr int kHeadingHeight = 240;

Control Label(const std::string& caption, Twips g) {
  Control c;
  c.caption = caption;
  c.geometry = g;
  return c;
}

}  // namespace

int RowTop(int index) {
  int row = (index - 1) % 15;
  return kFirstRowTop + row * kRowStep;
}

void PlaceFixedColumns(MainForm& f, bool micros) {
  for (int i = 1; i <= 30; ++i) {
    bool second = i > 15;
    int top = RowTop(i);
    int check_left = !second ? kCheckLeft1 : (micros ? kCheckLeft2 : kCheckLeft2Intensity);
    int entry_left =
        micros ? (second ? kEntryLeft2 : kEntryLeft1) : (second ? kEntryParked2 : kEntryParked1);
    f.Color[i].geometry = {check_left, top, kCheckWidth, kRowHeight};
    f.MicrosPerMlFix[i].geometry = {entry_left, top, kEntryWidth, kRowHeight};
  }
  f.ColorsHeading1.geometry = {kCheckLeft1, kHeadingTop, kCheckWidth, kHeadingHeight};
  f.ColorsHeading2.geometry = {micros ? kCheckLeft2 : kCheckLeft2Intensity, kHeadingTop,
                               kCheckWidth, kHeadingHeight};
  f.MicroLabel.geometry = {micros ? kEntryLeft1 : kEntryParked1, kHeadingTop, kEntryWidth,
                           kHeadingHeight};
  f.MicrosHeading2.geometry = {micros ? kEntryLeft2 : kEntryParked2, kHeadingTop, kEntryWidth,
                               kHeadingHeight};
}

void PlaceScanColumns(MainForm& f, bool micros) {
  int label_left = micros ? kLabelLeftMicros : kLabelLeftIntensity;
  for (int i = 1; i <= 30; ++i) {
    bool second = i > 15;
    int top = RowTop(i);
    Control& label = f.MicrosForColor[i];
    label.geometry = {label_left + (second ? kSecondColumnOffset : 0), top, kLabelWidth,
                      kRowHeight};
    label.right_aligned = micros;
    label.centred = !micros;
    f.MicrosPerMl[i].geometry = {second ? kScanEntryLeft2 : kScanEntryLeft1, top, kScanEntryWidth,
                                 kRowHeight};
  }
  f.ColorTitle.geometry = {label_left, kHeadingTop, kLabelWidth, kHeadingHeight};
  f.ColorTitle.right_aligned = micros;
  f.ColorTitle.centred = !micros;
  f.MicroTitle.geometry = {kScanEntryLeft1, kHeadingTop, kScanEntryWidth, kHeadingHeight};
}

void PlaceSynchFrame(MainForm& f, bool spectra) {
  if (!spectra) {
    f.SynchFrame.geometry = {kRightLeft, 1320, kRightWidth, 3600};
    f.Spectra.geometry = {600, 120, 4320, 2940};
  } else {
    // A run hides the colour panels and the statistics, so the spectra take the whole width
    // above the progress bar.
    f.SynchFrame.geometry = {kPanelLeft, kPanelTop, kWindowWidth - 240, kPanelHeight};
    f.Spectra.geometry = {660, 120, kWindowWidth - 240 - 900, kPanelHeight - 540};
  }
  const Twips& s = f.Spectra.geometry;
  f.XMin.geometry = {s.left, s.top + s.height + 40, 600, kHeadingHeight};
  f.XMax.geometry = {s.left + s.width - 600, s.top + s.height + 40, 600, kHeadingHeight};
  f.YMax.geometry = {0, s.top, s.left - 60, kHeadingHeight};
  f.YMin.geometry = {0, s.top + s.height - kHeadingHeight, s.left - 60, kHeadingHeight};
}

void LayOutMainForm(MainForm& f) {
  f.caption = "KOLVANE";
  f.geometry = {0, 0, kWindowWidth, kWindowHeight};

  // Menus.
  f.OpenData.caption = "Open Fixed Wavelength File";
  f.OpenDataSS.caption = "Open Synchronous Scan File";
  f.CloseIt.caption = "Close File";
  f.Spillover.caption = "New Spillover Matrix";
  f.Exit.caption = "Exit";
  f.AbtKOLVANE.caption = "About KOLVANE...";

  // Fixed colour panel. Placeholder captions until a header names the colours: the first
  // slot of each column reads "TISSUE" (upper case, so it never counts as the tissue column),
  // the others the colour table's names.
  static const char* const kPlaceholders[16] = {
      "",         "TISSUE",  "Blue",       "Blue-Green", "Green",   "Yellow-Green",
      "Yellow",   "Orange",  "Orange-Red", "Red",        "Carmine", "Crimson",
      "Dark Red", "Scarlet", "Violet",     "Violet"};
  f.ColorBoxes = Control{};
  f.ColorBoxes.geometry = {kPanelLeft, kPanelTop, kColorBoxesIntensityOne, kPanelHeight};
  for (int i = 1; i <= 30; ++i) {
    f.Color[i] = Control{};
    f.Color[i].caption = kPlaceholders[i > 15 ? i - 15 : i];
    f.MicrosPerMlFix[i] = Control{};
  }
  f.ColorsHeading1 = Label("Colors", {});
  f.ColorsHeading2 = Label("Colors", {});
  f.MicrosHeading2 = Label("Micros/Ml", {});
  f.MicroLabel = Label("Micros/Ml", {});
  f.ColorsHeading1.centred = f.ColorsHeading2.centred = true;
  f.MicrosHeading2.centred = f.MicroLabel.centred = true;
  f.MicroLabel.visible = false;
  PlaceFixedColumns(f, false);

  // Scan microspheres/ml panel.
  f.MicroBox = Control{};
  f.MicroBox.geometry = {kPanelLeft, kPanelTop, kMicroBoxOne, kPanelHeight};
  for (int i = 1; i <= 30; ++i) {
    f.MicrosForColor[i] = Control{};
    f.MicrosForColor[i].caption = "Color " + std::to_string(i) + ":";
    f.MicrosPerMl[i] = Control{};
  }
  f.ColorTitle = Label("Colors", {});
  f.MicroTitle = Label("Micros/Ml", {});
  f.MicroTitle.centred = true;
  f.MicroTitle.visible = false;
  PlaceScanColumns(f, false);

  // Dataset statistics.
  f.FileStats = Control{};
  f.FileStats.geometry = {kRightLeft, kPanelTop, kRightWidth, 1080};
  f.FileStatsHeading = Label("DATASET STATISTICS", {120, 60, kRightWidth - 240, kHeadingHeight});
  f.FileStatsHeading.centred = true;
  f.PureStatLabel = Label("Pures:", {240, 400, 1000, kHeadingHeight});
  f.SamplesLabel = Label("Samples:", {240, 700, 1000, kHeadingHeight});
  f.BlanksLabel = Label("Blanks:", {2640, 400, 1000, kHeadingHeight});
  f.ControlsLabel = Label("Controls", {2640, 700, 1000, kHeadingHeight});
  f.PureStat = Label("", {1300, 400, 1000, kHeadingHeight});
  f.Samples = Label("", {1300, 700, 1000, kHeadingHeight});
  f.BlanksNum = Label("", {3700, 400, 1000, kHeadingHeight});
  f.ControlsNum = Label("", {3700, 700, 1000, kHeadingHeight});

  // Options box and spectrum display, sharing SynchFrame.
  f.SynchFrame = Control{};
  f.SynchDataBox = Control{};
  f.SynchDataBox.geometry = {120, 120, 3000, 1300};
  f.ReportResultsHeading = Label("Report Results", {120, 60, 2760, kHeadingHeight});
  f.OFResults_Radio[0] = Label("Intensity Levels", {240, 330, 2640, kRowHeight});
  f.OFResults_Radio[1] = Label("Microspheres/ml", {240, 600, 2640, kRowHeight});
  f.OFResults_Radio[0].selected = true;
  f.SolventTextLabel = Label("Amt solvent (ml):", {240, 920, 1600, kRowHeight});
  f.SolventTextLabel.visible = false;
  f.Solvent_Text = Control{};
  f.Solvent_Text.text = "2";
  f.Solvent_Text.geometry = {1900, 900, 700, 285};
  f.Solvent_Text.visible = false;
  // Nothing reads a typed amount (the header's amount is used), so the box only shows it.
  f.Solvent_Text.enabled = false;
  f.BackSub = Label("Background Subtraction", {240, 900, 2640, 285});
  f.ControlCorr = Label("Control Correction", {240, 1200, 2640, 285});
  f.RunAnalysis = Label("Analyze", {600, 900, 1800, 345});

  f.Spectra.visible = true;
  f.XMin = Label("350", {});
  f.XMax = Label("700", {});
  f.XMax.right_aligned = true;
  f.YMax = Label("1000", {});
  f.YMin = Label("0", {});
  f.YMax.right_aligned = f.YMin.right_aligned = true;
  PlaceSynchFrame(f, false);

  // Progress.
  f.ProgressBar = Control{};
  f.ProgressBar.geometry = {kPanelLeft, 5040, kWindowWidth - 240, 840};
  f.ProgressHeading = Label("Progress Indicator", {120, 60, 2400, kHeadingHeight});
  f.SamplePtr = Label("", {2640, 60, kWindowWidth - 3000, kHeadingHeight});
  f.Perc_Panel = ProgressBarControl{};
  f.Perc_Panel.geometry = {120, 360, kWindowWidth - 480, 300};

  // Instruction text: up to five lines.
  f.Directions = Label("", {kPanelLeft, 6000, kWindowWidth - 240, 1380});

  // Every panel starts hidden: the idle window shows its menu bar only.
  f.ColorBoxes.visible = false;
  f.MicroBox.visible = false;
  f.FileStats.visible = false;
  f.SynchFrame.visible = false;
  f.ProgressBar.visible = false;
  f.Directions.visible = false;
  f.focus = Focus{};
}

}  // namespace layout
}  // namespace kolvane
