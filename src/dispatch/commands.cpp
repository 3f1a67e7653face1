#include "dispatch/commands.h"

#include <algorithm>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "app/run_cancel.h"
#include "app/run_record.h"
#include "app/status_line.h"
#include "dispatch/analyze_again.h"
#include "dispatch/results_commands.h"
#include "fixed/fixed_load.h"
#include "fixed/fixed_run.h"
#include "synch/scan_load.h"
#include "synch/scan_run.h"

namespace kolvane {

namespace {

const char* const kNoMatrix =
    "There is no spillover matrix data available for this dataset.  Please use the 'New "
    "Spillover Matrix' menu option to associate a matrix with this dataset.";

const char* const kNoColor = "Select at least one color to analyze.";

// A colour the run would solve for: ticked, and not the tissue column, which the run may pass
// through unused.
bool AnyColorToAnalyse(const Program& p) {
  for (int c = 1; c <= std::min<int>(p.NumColors, kMaxColors); ++c)
    if (p.ColorSelected[c] && !(p.TissueColumn && p.ColorIsTissue[c])) return true;
  return false;
}

// A load runs with the menu guarded, so that Close File or a second Open cannot pull its
// files away while it yields to the window.
// A quiet load is the dataset loaded again after a run: the run's table and the window's
// list of the dataset's files stay.
Flow GuardedLoad(Program& p, Flow (*load)(Program&), bool quiet = false) {
  if (p.Busy) return Flow::Stop;
  ClearStatus(p);
  SetBusy(p, true);
  if (!quiet) {
    p.results.Clear();
    p.Dataset = DatasetFiles{};
  }
  p.RerunReady = false;
  p.channels.ForgetReadFailures();
  // The load skims the data faster than a digest can keep up with; the run's pass digests it.
  p.channels.Digests().Defer(true);
  Flow flow = load(p);
  if (flow == Flow::ProgramEnding) return flow;
  SetBusy(p, false);
  // A file that could not be read to its end is not loaded, whatever the load made of it.
  const std::string failure = p.channels.ReadFailure();
  if (!failure.empty()) {
    if (flow == Flow::Continue) {
      p.channels.CloseAll();
      CloseIt_Click(p);
    }
    p.host.ShowMessage("The file could not be read: " + failure + "  The file was not loaded.");
    flow = Flow::Stop;
  }
  if (p.form.CloseIt.enabled)  // a dataset is open
    ShowDataFileInTitle(p, p.channels.In(Channels::kData).Path());
  else
    ShowStartHint(p);
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

// A run that reached the end of its data is complete only when the data file could be read to
// its end, held the records the load counted, and the results file was written whole. Only a
// complete run's lines take the results file's name; a run that did not complete keeps the
// lines it wrote beside it (RESULTS.incomplete.scf), when it wrote any. Its record (and the
// report) are written before either is renamed into place, and the renames are one commit a
// stop signal waits for.
Flow CloseAfterRun(Program& p, Flow flow) {
  RunLedger& l = p.ledger;
  InputChannel& in = p.channels.In(Channels::kData);
  OutputChannel& out = p.channels.Out(Channels::kResults);
  std::string problem;
  if (in.Failed()) {
    problem = "The data file could not be read: " + in.Failure();
  } else if (l.Complete() && l.lines_written < l.lines_expected) {
    problem = "The data file " + in.Path() + " changed since it was loaded: it ended after " +
              std::to_string(l.lines_written) + " of its " + std::to_string(l.lines_expected) +
              " records.";
  }
  // The run may have closed the results file itself when it stopped.
  const bool pending = out.Pending();
  out.Settle();
  if (problem.empty() && !out.Good())
    problem = "The results file could not be written: " + out.Failure();
  if (!problem.empty()) {
    l.end = RunEnd::Stopped;
    ShowRunStop(p, problem);
    flow = Flow::Stop;
  }
  if (l.end != RunEnd::Aborted && l.end != RunEnd::Complete) l.end = RunEnd::Stopped;
  l.incomplete = pending || l.Complete() ? std::string() : out.KeptAt();
  if (pending && l.Complete()) {
    out.Keep();
  } else if (pending && l.lines_written > 0 && out.Good() && out.Temporary()) {
    l.incomplete = IncompletePathFor(out.Path());
    out.KeepAs(l.incomplete);
  } else {
    out.Hold();
  }
  SaveRunFiles(p);
  BeginCommit();
  p.channels.CloseAll();
  EndCommit();
  if (!out.Good()) {  // the rename failed: nothing was kept
    if (l.Complete()) ShowRunStop(p, "The results file could not be written: " + out.Failure());
    if (l.Complete()) l.end = RunEnd::Stopped;
    l.incomplete.clear();
    flow = Flow::Stop;
  }
  return flow;
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

Flow LoadQuietly(Program& p, bool scan) {
  return GuardedLoad(p, scan ? OpenScanDataset : OpenFixedDataFile, true);
}

Flow RunAnalysisWith(Program& p, const RunPaths& paths) {
  if (p.Busy) return Flow::Stop;
  ClearStatus(p);
  p.ChoicesAtAnalyze = ChoicesOf(p);
  // A refusal below is no complete run, whatever an earlier run of the session reached.
  p.ledger.end = RunEnd::NotRun;
  if (p.ScanDataLoaded) {
    int n = std::min<int>(std::max<int>(p.HeaderPureCount, 0), kMaxColors);
    for (int i = 1; i <= n; ++i) {
      if (p.ScanMicrosPerMlValues[i] < 0) {
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
    if (!AnyColorToAnalyse(p)) {
      p.host.ShowMessage(kNoColor);
      return Flow::Stop;
    }
    Flow checks = paths.fixed_checks(p);
    if (checks != Flow::Continue) return checks;
  }
  return DispatchRunWith(p, paths);
}

namespace {

// The run of the loaded dataset with the window's run state around it. False when the program
// is ending (flow is then ProgramEnding).
bool RunLoadedDataset(Program& p, Flow (*run)(Program&), Flow& flow) {
  p.form.SynchDataBox.visible = false;
  NotifyFormChanged(p);
  flow = run(p);
  if (flow == Flow::ProgramEnding || p.Ending) {
    flow = Flow::ProgramEnding;
    return false;
  }
  flow = CloseAfterRun(p, flow);
  return true;
}

}  // namespace

Flow DispatchRunWith(Program& p, const RunPaths& paths) {
  if (p.Busy) return Flow::Stop;
  const bool scan = p.ScanDataLoaded;
  const DatasetFiles shown = p.Dataset;
  SetBusy(p, true);
  p.results.Clear();
  p.channels.Digests().Defer(false);
  p.ledger.Start(p.ChosenFiles.results.empty() ? p.channels.Out(Channels::kResults).Path()
                                               : p.ChosenFiles.results,
                 p.ScanDataLoaded && p.BackgroundOn);
  p.InterruptRequested = false;
  p.PauseRequested = false;
  ResetRunFigures(p.figures);
  p.form.MicroLabel.visible = false;
  NotifyFormChanged(p);
  YieldToHost(p);
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
    const DatasetBeforeRun before = KeepDatasetBeforeRun(p);
    flow = paths.fixed_run(p);
    if (p.ledger.cancelled && !p.Ending) {
      ReturnToDataset(p, before);
      ShowRunOutcome(p);
      return Flow::Stop;
    }
    if (flow == Flow::ProgramEnding || p.Ending) return Flow::ProgramEnding;
    flow = CloseAfterRun(p, flow);
    p.form.Spillover.enabled = false;
    p.form.SynchDataBox.visible = true;
  } else if (p.ScanDataLoaded) {
    if (!RunLoadedDataset(p, paths.scan_run, flow)) return flow;
  }

  SetBusy(p, false);
  ReturnToIdle(p);
  if (p.KeepDatasetAfterRun) {
    // The load counts the data file afresh; the run's account stays the run's.
    const RunLedger run = p.ledger;
    if (KeepDatasetAfterRun(p, scan, shown) == Flow::ProgramEnding) return Flow::ProgramEnding;
    p.ledger = run;
  }
  // The one place a run's outcome reaches the status line.
  ShowRunOutcome(p);
  // The table is for a user to look at: a batch run or a study does not read its results back.
  if (p.host.HasUser() && !p.ledger.KeptFile().empty()) ShowRunResults(p);
  return flow;
}

}  // namespace kolvane
