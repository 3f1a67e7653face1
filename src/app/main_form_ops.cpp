#include "app/main_form_ops.h"

#include <algorithm>

#include "app/about_box.h"
#include "app/color_panel.h"
#include "app/layout.h"
#include "app/status_line.h"

namespace kolvane {

void NotifyFormChanged(Program& p) {
  p.form.Touch();
  p.host.FormChanged();
}

void Form_Load(Program& p, int screen_width_twips, int screen_height_twips) {
  MainForm& f = p.form;
  layout::LayOutMainForm(f);
  p.Busy = false;
  p.Ending = false;

  InitializeDatasetState(p);
  for (int i = 1; i <= kMaxColors; ++i) SetMicrosPerMlFixText(p, i, "1000");

  ShowOptionPanel(p, false);
  ShowColorPanel(p, false);
  f.MicroBox.visible = false;
  f.SynchFrame.visible = false;
  f.ProgressBar.visible = false;

  // Centred on the screen; a screen smaller than the window keeps the caption bar reachable.
  f.geometry.left = std::max(0, (screen_width_twips - f.geometry.width) / 2);
  f.geometry.top = std::max(0, (screen_height_twips - f.geometry.height) / 2);

  f.OpenData.enabled = true;
  f.OpenDataSS.enabled = true;
  f.CloseIt.enabled = false;
  f.Spillover.enabled = false;
  f.Exit.enabled = true;
  f.AbtKOLVANE.enabled = true;

  p.SolventAmount = 2.0f;
  p.DisplayOn = true;
  p.CurrentPure = 1;

  OFResults_Radio_Click(p, 0);
  ShowStartHint(p);
}

void CloseIt_Click(Program& p) {
  // A load or a run still reads the open files; closing them under it would lose its data.
  if (p.Busy) return;
  CloseDataset(p);
}

void CloseDataset(Program& p) {
  MainForm& f = p.form;

  f.SynchFrame.visible = false;
  ShowSpectrumDisplay(p, true);

  ShowOptionPanel(p, false);

  f.OpenDataSS.enabled = true;
  f.OpenData.enabled = true;
  f.CloseIt.enabled = false;

  f.ProgressBar.visible = false;
  ShowColorPanel(p, false);
  f.MicroBox.visible = false;

  for (int i = 1; i <= kMaxColors; ++i) {
    SetColorTick(p, i, false);
    p.ColorSelected[i] = false;
  }
  p.SelectedColorCount = 0;

  f.ControlCorr.visible = true;

  p.channels.CloseAll();
  p.Dataset = DatasetFiles{};
  p.RerunReady = false;
  ShowDataFileInTitle(p, std::string());
  ShowStartHint(p);
}

void BackSub_Click(Program& p) {
  p.BackgroundOn = p.form.BackSub.ticked;
}

void ControlCorr_Click(Program& p) {
  p.ControlCorrectionOn = p.form.ControlCorr.ticked;
}

void ShowOptionPanel(Program& p, bool visible) {
  MainForm& f = p.form;
  f.BackSub.visible = visible && p.BlanksPresent;
  f.FileStats.visible = visible;
  f.Directions.visible = visible;
  NotifyFormChanged(p);
}

void ShowSpectrumDisplay(Program& p, bool visible) {
  MainForm& f = p.form;
  layout::PlaceSynchFrame(f, visible);
  f.Spectra.visible = visible;
  ++f.Spectra.generation;
  f.XMin.visible = visible;
  f.XMax.visible = visible;
  f.YMin.visible = visible;
  f.YMax.visible = visible;
  NotifyFormChanged(p);
}

void Exit_Click(Program& p) {
  // Whatever a run has written so far is flushed to disk before the program ends.
  EndProgram(p);
}

void AbtKOLVANE_Click(Program& p) {
  AboutForm about;
  AboutForm_Load(about);
  p.host.ShowAbout(about);
}

void ShowInFolder_Click(Program& p) {
  const std::string folder = p.form.StatusFolder;
  if (folder.empty() || p.host.ShowFolder(folder)) return;
  p.host.ShowMessage(
      "No file manager could show the folder of the results file.  The results "
      "are in " +
      folder);
}

void SetBusy(Program& p, bool busy) {
  p.Busy = busy;
  NotifyFormChanged(p);
}

void SetBusyPointer(Program& p, bool busy) {
  p.host.SetPointer(busy ? Pointer::Hourglass : Pointer::Default);
}

}  // namespace kolvane
