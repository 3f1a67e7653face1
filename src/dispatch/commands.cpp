#include "dispatch/commands.h"

#include <algorithm>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "fixed/fixed_load.h"
#include "fixed/fixed_run.h"
#include "synch/scan_load.h"
#include "synch/scan_run.h"

namespace kolvane {

namespace {

const char* const kNoMatrix =
    "There is no spillover matrix data available to for this dataset.  Please use the 'New "
    "Spillover Matrix' menu option to associate a matrix with this dataset.";

// A load runs with the menu guarded, so that Close File or a second Open cannot pull its
// files away while it yields to the window.
Flow GuardedLoad(Program& p, Flow (*load)(Program&)) {
  if (p.Busy) return Flow::Stop;
  SetBusy(p, true);
  Flow flow = load(p);
  if (flow == Flow::ProgramEnding) return flow;
  SetBusy(p, false);
  return flow;
}

void ReturnToIdle(Program& p) {
  MainForm& f = p.form;
  ShowOptionPanel(p, false);
  ShowColorPanel(p, false);
  f.MicroBox.visible = false;
  f.SynchFrame.visible = false;
  f.SynchDataBox.visible = true;
  CloseIt_Click(p);
  p.MatrixReady = false;
  NotifyFormChanged(p);
}

// How the run ended, for its record: an abort the user confirmed is noted when it happens.
void SettleOutcome(Program& p) {
  RunOutcome& o = p.figures.outcome;
  if (p.RunCompleted)
    o = RunOutcome::Complete;
  else if (o != RunOutcome::Aborted)
    o = RunOutcome::Stopped;
}

}  // namespace

RunPaths DefaultRunPaths() {
  return {CheckFixedRunPreconditions, RunFixedAnalysis, RunScanAnalysis};
}

Flow OpenData_Click(Program& p) {
  return GuardedLoad(p, OpenFixedDataFile);
}

Flow OpenDataSS_Click(Program& p) {
  return GuardedLoad(p, OpenScanDataset);
}

Flow RunAnalysis_Click(Program& p) {
  return RunAnalysisWith(p, DefaultRunPaths());
}

Flow DispatchRun(Program& p) {
  return DispatchRunWith(p, DefaultRunPaths());
}

Flow RunAnalysisWith(Program& p, const RunPaths& paths) {
  if (p.Busy) return Flow::Stop;
  // A refusal below is no complete run, whatever an earlier run of the session reached.
  p.RunCompleted = false;
  if (p.ScanDataLoaded) {
    int n = std::min<int>(std::max<int>(p.HeaderPureCount, 0), kMaxColors);
    for (int i = 1; i <= n; ++i) {
      if (p.MicrosPerMlValues[i] < 0) {
        p.form.focus = {"MicrosPerMl", i};
        NotifyFormChanged(p);
        p.host.ShowMessage("Entry must be a positive integer");
        return Flow::Stop;
      }
    }
    p.form.ProgressBar.visible = true;
    NotifyFormChanged(p);
  } else if (p.FixedDataLoaded) {
    // Refusals here leave the dataset loaded, so the user can correct an entry and press
    // Analyze again.
    Flow checks = paths.fixed_checks(p);
    if (checks != Flow::Continue) return checks;
  }
  return DispatchRunWith(p, paths);
}

Flow DispatchRunWith(Program& p, const RunPaths& paths) {
  if (p.Busy) return Flow::Stop;
  SetBusy(p, true);
  p.InterruptRequested = false;
  p.PauseRequested = false;
  ResetRunFigures(p.figures);
  p.figures.outcome = RunOutcome::NotRun;
  p.form.MicroLabel.visible = false;
  NotifyFormChanged(p);
  p.host.ProcessPendingMessages();
  if (p.Ending) return Flow::ProgramEnding;

  Flow flow = Flow::Stop;
  if (p.FixedDataLoaded) {
    if (!p.MatrixReady) {
      // The dataset stays loaded for a matrix file and a second Analyze, so the entry
      // boxes keep their heading.
      p.form.MicroLabel.visible = p.ResultsInMicrospheres;
      SetBusy(p, false);
      p.host.ShowMessage(kNoMatrix);
      return Flow::Stop;
    }
    p.form.SynchDataBox.visible = false;
    NotifyFormChanged(p);
    p.RunCompleted = false;
    flow = paths.fixed_run(p);
    SettleOutcome(p);
    if (flow == Flow::ProgramEnding || p.Ending) return Flow::ProgramEnding;
    p.channels.CloseAll();
    p.form.Spillover.enabled = false;
    p.form.SynchDataBox.visible = true;
  } else if (p.ScanDataLoaded) {
    p.form.SynchDataBox.visible = false;
    NotifyFormChanged(p);
    p.RunCompleted = false;
    flow = paths.scan_run(p);
    SettleOutcome(p);
    if (flow == Flow::ProgramEnding || p.Ending) return Flow::ProgramEnding;
    p.channels.CloseAll();
  }

  SetBusy(p, false);
  ReturnToIdle(p);
  return flow;
}

}  // namespace kolvane
