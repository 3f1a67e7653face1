#include "synch/scan_run.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "app/main_form_ops.h"
#include "app/run_control.h"
#include "app/status_line.h"
#include "base/channels.h"
#include "synch/pure_search.h"
#include "synch/scan_figures.h"
#include "synch/scan_fit.h"
#include "synch/scan_header.h"
#include "synch/scan_plot.h"
#include "synch/scan_records.h"
#include "synch/scan_results.h"

namespace kolvane {
namespace {

// A run that cannot go on: the message is shown, Close File returns the window to idle.
Flow EndRun(Program& p, const std::string& message) {
  if (!message.empty()) ShowRunStop(p, message);
  CloseScanDataset(p);
  SetBusyPointer(p, false);
  return Flow::Stop;
}

// A pure that is 0 at its own peak (none of its values above 0) cannot scale its column of
// the pure matrix: the run refuses before it writes anything.
std::string CheckPurePeaks(const Program& p) {
  for (int k = 1; k <= p.HeaderPureCount; ++k) {
    const float own = p.scan.PureSpectra(k, PeakPoint(p, k));
    if (own == 0.0f || !std::isfinite(own)) {
      return "Pure " + std::to_string(k) + " (" + p.scan.PureRecordName[k] +
             ") has no value above 0 at its peak: the spillover cannot be corrected.";
    }
  }
  return "";
}

Flow Prepare(Program& p, ScanFit& fit) {
  MainForm& f = p.form;
  ScanTables& s = p.scan;
  const int n = p.HeaderPureCount;

  p.DisplayOn = true;
  f.Perc_Panel.visible = false;
  f.ColorBoxes.visible = false;
  f.FileStats.visible = false;
  f.MicroBox.visible = false;
  ShowSpectrumDisplay(p, true);
  f.Spectra.visible = true;
  f.Spectra.Clear();

  RewindScanData(p);
  Flow flow = ReadScanHeader(p, false);
  if (flow == Flow::Continue) flow = FindPures(p, false);
  if (flow == Flow::ProgramEnding) return flow;
  if (flow != Flow::Continue) {
    if (p.channels.In(Channels::kData).IsOpen()) return EndRun(p, "");
    SetBusyPointer(p, false);
    return Flow::Stop;  // aborted: Close File already ran
  }

  p.ledger.records_read = 0;
  p.DisplayOn = true;
  f.Perc_Panel.visible = true;
  f.MicroBox.visible = false;

  std::string refusal = CheckPurePeaks(p);
  if (!refusal.empty()) return EndRun(p, refusal);

  // The run keeps its own conversion factors; the entered values stay as they are.
  if (p.ResultsInMicrospheres) {
    for (int k = 1; k <= n; ++k) {
      s.MicrosFactor[k] = p.ScanMicrosPerMlValues[k] / s.PureSpectra(k, PeakPoint(p, k));
    }
  }
  f.Directions.caption = kRunKeyLegend;

  BuildFitMatrix(p);
  FillScanFigures(p);
  flow = AskAboutCondition(p);
  if (flow == Flow::ProgramEnding) return flow;
  if (flow != Flow::Continue) return EndRun(p, "");
  WriteRunHead(p);
  SetScanResultSpreads(p);
  // Decomposed once for the whole run; a failure ends it before any record line.
  SvdStatus status = DecomposeFitMatrix(p, fit);
  if (status != SvdStatus::Decomposed) return EndRun(p, SvdMessage(status));

  DrawRunFrame(p);
  NotifyFormChanged(p);
  YieldToHost(p);
  if (p.Ending) return Flow::ProgramEnding;

  f.ProgressBar.visible = true;
  f.SamplePtr.visible = true;
  f.Perc_Panel.visible = true;

  RewindScanData(p);
  flow = ReadScanHeader(p, false);
  if (flow != Flow::Continue) return flow == Flow::ProgramEnding ? flow : EndRun(p, "");
  p.ledger.records_read = 0;
  SetBusyPointer(p, true);
  return Flow::Continue;
}

void DrawRecord(Program& p) {
  ScanTables& s = p.scan;
  p.form.Spectra.Clear();
  DrawSpectrum(p, true);
  PlotSpectrumPoints(p);
  const int m = 5 * p.HeaderPureCount;
  for (int r = 1; r <= m; ++r) {
    int point = s.FitPoints[r];
    p.form.Spectra.AddCircle(s.PointWavelength[point], s.Spectrum[point], 1.5, kWhite);
  }
}

}  // namespace

Flow RunScanAnalysis(Program& p) {
  ScanTables& s = p.scan;
  InputChannel& in = p.channels.In(Channels::kData);
  ScanFit fit;
  Flow flow = Prepare(p, fit);
  if (flow != Flow::Continue) return flow;

  const int n = p.HeaderPureCount;
  const int m = 5 * n;
  Vector x(n + 1, 0.0);
  std::int16_t slots[kMaxScanPures + 2] = {};
  float peak_values[kMaxScanPures + 2] = {};
  for (int k = 1; k <= n; ++k) slots[k] = s.PureSlot[k];
  s.RecordPlaces.clear();
  s.BlankOffset = -1;
  s.RunStartBlank = s.BlankSpectrum;
  s.RunBackground = p.BackgroundOn;
  s.RunDataPath = in.Path();
  s.RunFitMatrix = s.FitMatrix;
  s.RunPureSpectra = s.PureSpectra;
  s.RunFitPoints = s.FitPoints;
  s.RunPointWavelength = s.PointWavelength;
  s.RunScanPoints = s.ScanPoints;
  s.RunPures = static_cast<std::int16_t>(n);

  for (;;) {
    if (in.AtEnd()) break;
    if (CheckRunInterrupt(p)) return EndRun(p, "");
    if (p.Ending) return Flow::ProgramEnding;
    bool found = false;
    Flow flow = FindNextScanRecord(p, "", found);
    if (flow == Flow::ProgramEnding) return flow;
    if (flow != Flow::Continue) return EndRun(p, "");
    if (!found) {
      if (in.AtEnd()) break;
      return EndRun(p, "Unknown error reading file.");
    }
    if (p.BackgroundOn) SubtractBlank(p);
    if (p.ledger.records_read >= std::numeric_limits<std::int16_t>::max()) {
      return EndRun(p, "More than 32767 records in " + in.Path() + ": the run cannot go on.");
    }
    ++p.ledger.records_read;
    p.form.SamplePtr.caption = "Sample " + s.RecordName;

    p.CurrentPure = 1;
    if (p.DisplayOn && p.host.ShowsSpectra()) DrawRecord(p);
    for (int r = 1; r <= m; ++r) s.FitObserved[r] = s.Spectrum[s.FitPoints[r]];
    for (int k = 1; k <= n; ++k) peak_values[k] = s.Spectrum[PeakPoint(p, k)];
    bool hi_lo = HiLoFlag(s.RecordName, slots, peak_values, n);

    SolveRecord(fit, s.FitObserved, x);
    FitQuality quality = ComputeFitQuality(p, x);
    WriteRecordLine(p, x, quality, hi_lo);
    s.RecordPlaces.push_back({s.RecordOffset, p.BackgroundOn ? s.BlankOffset : -1});
    CountResultLine(p, 0, hi_lo);
    NoteScanRecord(p, x, quality);
    NotifyFormChanged(p);
  }

  p.form.ProgressBar.visible = false;
  SetBusyPointer(p, false);
  p.ledger.end = RunEnd::Complete;
  return Flow::Continue;
}

}  // namespace kolvane
