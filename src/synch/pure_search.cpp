#include "synch/pure_search.h"

#include "app/main_form_ops.h"
#include "app/run_control.h"
#include "app/status_line.h"
#include "base/format.h"
#include "base/numbers.h"
#include "synch/scan_plot.h"
#include "synch/scan_records.h"

namespace kolvane {
namespace {

constexpr const char* kPuresMissing =
    "EOF detected while searching for a Pure color/wavelength.  Please check data file "
    "structure.";

// The load names pure k after its slot: it marks the slot, labels the pure's microspheres/ml
// box and keeps the slot for the results' colour-name cell and the Hi-Lo test.
void NamePure(Program& p, int k) {
  ScanTables& s = p.scan;
  float wavelength = s.PurePeak[k][2];
  std::int16_t slot = SlotForPeak(p, wavelength);
  s.PureSlot[k] = slot;
  if (slot != 0) {
    p.ColorSelected[slot] = true;
    s.PureLabel[k] = p.ColorNames[slot];
  } else {
    s.PureLabel[k] = FormatGeneralSingle(wavelength) + " nm";
  }
}

// The progress panel says where the search is and names each pure as it is found; the
// instruction line shows the run keys (and what F11 or F5 are doing).
void ShowSearchProgress(Program& p, int k, int found) {
  MainForm& f = p.form;
  const int n = p.HeaderPureCount;
  f.ProgressBar.visible = true;
  f.Perc_Panel = ProgressBarControl{true, 0, n, found, f.Perc_Panel.geometry};
  f.SamplePtr.caption = "Finding pures: " + std::to_string(k) + " of " + std::to_string(n);
  if (found == k) f.SamplePtr.caption += " \xE2\x80\x94 " + TrimSpaces(p.scan.PureLabel[k]);
  f.Directions.visible = true;
  if (f.Directions.caption.empty() || found == 0) f.Directions.caption = kRunKeyLegend;
  NotifyFormChanged(p);
}

}  // namespace

std::int16_t SlotForPeak(const Program& p, double wavelength) {
  for (int slot = 1; slot <= kMaxColors; ++slot) {
    double nominal = p.NominalWavelength[slot];
    if (nominal == 0.0) continue;
    if (nominal - 3.0 < wavelength && wavelength < nominal + 3.0) {
      return static_cast<std::int16_t>(slot);
    }
  }
  return 0;
}

Flow FindPures(Program& p, bool at_load) {
  ScanTables& s = p.scan;
  for (p.CurrentPure = 1; p.CurrentPure <= p.HeaderPureCount; ++p.CurrentPure) {
    const int k = p.CurrentPure;
    if (at_load) ShowSearchProgress(p, k, k - 1);
    if (CheckRunInterrupt(p)) {
      CloseScanDataset(p);
      return Flow::Stop;
    }
    if (p.Ending) return Flow::ProgramEnding;
    bool found = false;
    Flow flow = FindNextScanRecord(p, "P", found);
    if (flow != Flow::Continue) return flow;
    if (!found) {
      p.form.Directions.caption = kPuresMissing;
      ShowRunStop(p, kPuresMissing);
      return Flow::Stop;
    }
    SubtractBlank(p);
    StepBusyCursor(p, s.BusyCount, s.BusyCursor, 9, 1);
    LocatePurePeak(p, p.CurrentPure);
    // The pure's spectrum is kept whatever the display shows: F12 during the search must not
    // leave a pure without its spectrum.
    for (int i = 1; i <= s.ScanPoints; ++i) s.PureSpectra(k, i) = s.Spectrum[i];
    s.PureRecordName[k] = s.RecordName;
    if (at_load) {
      NamePure(p, k);
      // The progress line names the pure just found; the window shows it and the search goes
      // straight on.
      ShowSearchProgress(p, k, k);
      p.host.ProcessPendingMessages();
    }
    if (p.DisplayOn) {
      DrawSpectrum(p, false);
    } else {
      p.form.Directions.caption = kRunKeyLegend;
    }
    NotifyFormChanged(p);
    StepBusyCursor(p, s.BusyCount, s.BusyCursor, 9, 1);
    if (p.Ending) return Flow::ProgramEnding;
  }
  return Flow::Continue;
}

void LocatePurePeak(Program& p, std::int16_t k) {
  ScanTables& s = p.scan;
  const int n_points = s.ScanPoints;
  const float* spectrum = s.Spectrum.data();
  float max = 0.0f;
  float min = 32767.0f;
  int peak = 0;
  for (int i = 1; i <= n_points; ++i) {
    if (spectrum[i] > max) {
      max = spectrum[i];
      peak = i;
    }
    if (spectrum[i] < min) min = spectrum[i];
  }
  // The minimum is the spectrum's own, also when every value lies above 32767.
  if (n_points >= 1 && min == 32767.0f) {
    min = spectrum[1];
    for (int i = 2; i <= n_points; ++i) min = spectrum[i] < min ? spectrum[i] : min;
  }
  const double half = min + 0.5 * (static_cast<double>(max) - min);
  const double three_quarter = min + 0.75 * (static_cast<double>(max) - min);
  const int base = 5 * (k - 1);

  // Walking out from the peak, each flank point is the last point still at or above its
  // level. A walk that reaches the end of the scan first takes that end point.
  bool left_quarter = false, left_half = false;
  for (int j = peak; j >= 1; --j) {
    if (spectrum[j] < three_quarter && !left_quarter) {
      s.FitPoints[base + 2] = j + 1;
      left_quarter = true;
    }
    if (spectrum[j] < half) {
      s.FitPoints[base + 1] = j + 1;
      left_half = true;
      break;
    }
  }
  if (!left_quarter) s.FitPoints[base + 2] = 1;
  if (!left_half) s.FitPoints[base + 1] = 1;

  bool right_quarter = false, right_half = false;
  for (int j = peak; j <= n_points; ++j) {
    if (spectrum[j] < three_quarter && !right_quarter) {
      s.FitPoints[base + 4] = j - 1;
      right_quarter = true;
    }
    if (spectrum[j] < half) {
      s.FitPoints[base + 5] = j - 1;
      right_half = true;
      break;
    }
  }
  if (!right_quarter) s.FitPoints[base + 4] = n_points;
  if (!right_half) s.FitPoints[base + 5] = n_points;

  s.FitPoints[base + 3] = peak;
  s.PurePeak[p.CurrentPure][1] = spectrum[peak];
  s.PurePeak[p.CurrentPure][2] = s.PointWavelength[peak];
}

}  // namespace kolvane
