#include "dispatch/analyze_again.h"

#include <algorithm>

#include "app/color_panel.h"
#include "app/file_dialogs.h"
#include "app/main_form_ops.h"
#include "app/matrix_file.h"
#include "base/file_identity.h"
#include "dispatch/commands.h"
#include "dispatch/open_dataset.h"

namespace kolvane {

WindowChoices ChoicesOf(const Program& p) {
  const MainForm& f = p.form;
  WindowChoices c;
  c.microspheres = p.ResultsInMicrospheres;
  for (int i = 1; i <= kMaxColors; ++i) {
    c.ticks[i] = f.Color[i].ticked;
    c.entries[i] = p.ScanDataLoaded ? f.MicrosPerMl[i].text : f.MicrosPerMlFix[i].text;
  }
  c.background = f.BackSub.visible && f.BackSub.ticked;
  c.control_correction = f.ControlCorr.visible && f.ControlCorr.ticked;
  c.matrix = p.MatrixFromFile ? p.MatrixFileName : std::string();
  return c;
}

void ApplyChoices(Program& p, const WindowChoices& c) {
  MainForm& f = p.form;
  OFResults_Radio_Click(p, c.microspheres ? 1 : 0);
  const int n = p.ScanDataLoaded ? p.HeaderPureCount : p.NumColors;
  for (int i = 1; i <= std::min<int>(n, kMaxColors); ++i) {
    if (p.FixedDataLoaded) SetColorTick(p, i, c.ticks[i]);
    p.ScanDataLoaded ? SetMicrosPerMlText(p, i, c.entries[i])
                     : SetMicrosPerMlFixText(p, i, c.entries[i]);
  }
  f.BackSub.ticked = f.BackSub.visible && c.background;
  BackSub_Click(p);
  f.ControlCorr.ticked = f.ControlCorr.visible && c.control_correction;
  ControlCorr_Click(p);
  NotifyFormChanged(p);
}

Flow ReloadDataset(Program& p, bool scan, const WindowChoices& choices,
                   const std::string& results) {
  const ChosenFileSet files = p.ChosenFiles;
  const DatasetFiles shown = p.Dataset;
  const bool rerun = p.RerunReady;
  if (p.form.CloseIt.enabled) CloseIt_Click(p);
  p.FileAnswers = {{FileRole::Data, files.data},
                   {FileRole::Blanks, files.blanks},
                   {FileRole::Controls, files.controls},
                   {FileRole::Results, results}};
  Flow flow = LoadQuietly(p, scan);
  if (flow == Flow::Continue && !choices.matrix.empty()) {
    p.FileAnswers[FileRole::Matrix] = choices.matrix;
    flow = Spillover_Click(p);
  }
  p.FileAnswers.clear();
  if (flow == Flow::ProgramEnding) return flow;
  if (!p.form.CloseIt.enabled) return Flow::Stop;
  ApplyChoices(p, choices);
  if (!shown.data.empty()) {
    p.Dataset = shown;
    p.Dataset.results = results;
  }
  p.RerunReady = rerun;
  NotifyFormChanged(p);
  return flow;
}

Flow KeepDatasetAfterRun(Program& p, bool scan, const DatasetFiles& shown) {
  p.Dataset = shown;
  const std::string results = p.ledger.results.empty() ? p.ChosenFiles.results : p.ledger.results;
  const Flow flow = ReloadDataset(p, scan, p.ChoicesAtAnalyze, results);
  p.RerunReady = p.form.CloseIt.enabled;
  return flow;
}

Flow ReopenResults(Program& p, const std::string& path) {
  const ChosenFileSet& f = p.ChosenFiles;
  const std::string* read_files[] = {&f.data, &f.blanks, &f.controls, &p.MatrixFileName};
  for (const std::string* read : read_files) {
    if (!read->empty() && SameFile(path, *read)) {
      p.host.ShowMessage("The results file may not be one of the files being read: " + path);
      NotifyFormChanged(p);
      return Flow::Stop;
    }
  }
  return ReloadDataset(p, p.ScanDataLoaded, ChoicesOf(p), path);
}

Flow AnalyzeAgain_Click(Program& p) {
  if (!p.RerunReady) return RunAnalysis_Click(p);
  if (p.Busy) return Flow::Stop;
  const std::string last = p.channels.Out(Channels::kResults).Path();
  const std::string answer =
      AskFileName(p, FileRole::Results, "Spillover Corrected File (*.scf)|*.scf",
                  "Save Results File", true, last);
  if (answer.empty()) return Flow::Stop;
  if (answer != last && ReopenResults(p, answer) != Flow::Continue) return Flow::Stop;
  return RunAnalysis_Click(p);
}

}  // namespace kolvane
