// The form states a loader or a run leaves, set the way those operations set them, so that the
// window can be checked in every state without data files.
#include <string>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "gui_fixture.h"

namespace kolvane {

namespace {

const char* const kNames[] = {
    "",           "Tissue", "Blue",    "Blue-Green", "Green",    "Yellow-Green", "Yellow", "Orange",
    "Orange-Red", "Red",    "Carmine", "Crimson",    "Dark Red", "Scarlet",      "Violet"};

void CommonLoaded(Program& p) {
  MainForm& f = p.form;
  f.OpenData.enabled = false;
  f.OpenDataSS.enabled = false;
  f.CloseIt.enabled = true;
  f.BackSub.ticked = p.BlanksPresent;
  p.BackgroundOn = p.BlanksPresent;
  f.SynchDataBox.visible = true;
  f.SynchFrame.visible = true;
  f.RunAnalysis.enabled = true;
  ShowSpectrumDisplay(p, false);
  ShowOptionPanel(p, true);
}

}  // namespace

void SimulateFixedLoad(Program& p, int colors, bool blanks, bool controls) {
  MainForm& f = p.form;
  p.FixedDataLoaded = true;
  p.ScanDataLoaded = false;
  p.NumColors = static_cast<std::int16_t>(colors);
  p.MatrixSize = p.NumColors;
  p.MatrixReady = true;
  p.BlanksPresent = blanks;
  p.ControlsPresent = controls;
  p.TissueColumn = true;
  for (int i = 1; i <= colors; ++i) {
    const std::string name = kNames[(i - 1) % 14 + 1];
    p.ColorNames[i] = name;
    f.Color[i].caption = name;
    f.Color[i].text_color = name == "Tissue" ? kBlue : kBlack;
    SetColorTick(p, i, true);
  }
  for (int i = colors + 1; i <= kMaxColors; ++i) {
    f.Color[i].visible = false;
    f.MicrosPerMlFix[i].visible = false;
  }
  p.NumPures = p.NumColors;
  p.NumSamples = 120;
  p.NumBlanks = blanks ? 3 : 0;
  p.NumControls = controls ? 2 : 0;
  f.PureStat.caption = std::to_string(p.NumPures);
  f.Samples.caption = "120";
  f.BlanksNum.caption = blanks ? "3" : "0";
  f.ControlsNum.caption = controls ? "2" : "0";
  f.Spillover.enabled = true;
  CommonLoaded(p);
  ShowColorPanel(p, true);
  OFResults_Radio_Click(p, 0);
}

void SimulateScanLoad(Program& p, int pures, bool blanks) {
  MainForm& f = p.form;
  p.FixedDataLoaded = false;
  p.ScanDataLoaded = true;
  p.HeaderPureCount = static_cast<std::int16_t>(pures);
  p.BlanksPresent = blanks;
  p.ControlsPresent = false;
  for (int i = 1; i <= pures; ++i) f.MicrosForColor[i].caption = kNames[(i - 1) % 13 + 2];
  f.PureStat.caption = std::to_string(pures);
  f.Samples.caption = "30000";
  f.BlanksNum.caption = blanks ? "4" : "0";
  f.ControlsNum.caption = "0";
  f.Spillover.enabled = false;
  InitMicroBox(p);
  OFResults_Radio_Click(p, 0);
  f.MicroBox.visible = true;
  f.ColorBoxes.visible = false;
  ShowColorPanel(p, false);
  CommonLoaded(p);
}

void SimulateScanRun(Program& p, int record, int records) {
  MainForm& f = p.form;
  SetBusy(p, true);
  f.MicroLabel.visible = false;
  f.SynchDataBox.visible = false;
  f.ProgressBar.visible = true;
  ShowSpectrumDisplay(p, true);
  f.Perc_Panel.visible = true;
  f.Perc_Panel.value = record * 100 / records;
  f.SamplePtr.caption = "Sample S" + std::to_string(record);
  f.Directions.caption = "F5 - Abort   F11 - Pause   F12 - Toggle Display";

  // A scan from 350 to 700 nm every 2 nm with two peaks, on the scale DrawSpectrum gives it.
  SpectrumDisplay& s = f.Spectra;
  s.Clear();
  s.Scale(340, 1010, 370, -1005);
  f.XMin.caption = "340";
  f.XMax.caption = "720";
  f.YMin.caption = "5";
  f.YMax.caption = "1010";
  s.draw_width = 2;
  auto value = [](double x) {
    auto peak = [x](double at, double width, double height) {
      const double d = (x - at) / width;
      return height / (1 + d * d);
    };
    return 20 + peak(440, 12, 600) + peak(537, 15, 980) + 3000.0 / (x - 300);
  };
  for (int x = 350; x <= 700; x += 2) s.AddPoint(x, value(x), kYellow);
  for (double x : {440.0, 428.0, 452.0, 537.0, 522.0, 552.0}) {
    s.AddCircle(x, value(x), 1.5, kWhite);
  }
}

}  // namespace kolvane
