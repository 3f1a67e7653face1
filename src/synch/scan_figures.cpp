#include "synch/scan_figures.h"

#include <cstdio>

#include "numeric/matrix_quality.h"

namespace kolvane {

void FillScanFigures(Program& p) {
  const ScanTables& s = p.scan;
  RunFigures& f = p.figures;
  ResetRunFigures(f);
  f.scan = true;
  const int n = p.HeaderPureCount;
  const int m = 5 * n;
  f.m = m;
  f.n = n;
  f.row_names.assign(m + 1, "");
  f.colour_names.assign(n + 1, "");
  f.matrix.assign(m + 1, std::vector<double>(n + 1, 0.0));
  f.micros_per_ml.assign(n + 1, 0.0);
  for (int k = 1; k <= n; ++k) {
    f.colour_names[k] = s.PureRecordName[k];
    f.micros_per_ml[k] = p.ScanMicrosPerMlValues[k];
  }
  for (int r = 1; r <= m; ++r) {
    char name[32];
    std::snprintf(name, sizeof name, "%g nm", s.PointWavelength[s.FitPoints[r]]);
    f.row_names[r] = name;
    for (int k = 1; k <= n; ++k) f.matrix[r][k] = s.FitMatrix(r, k);
  }
  const MatrixQuality q = AssessMatrix(f.matrix, m, n);
  TakeMatrixQuality(f, q, q.status == SvdStatus::Decomposed);
  if (!f.decomposed || !p.BlanksPresent) return;
  // The initial blanks (numbered 1) are stored first, in their order; the starting
  // background is their median at each point.
  for (std::size_t k = 1; k < s.BlankScanNumbers.size(); ++k)
    if (s.BlankScanNumbers[k] == 1) ++f.blank_records;
  if (f.blank_records > s.BlankScans.Cols()) f.blank_records = s.BlankScans.Cols();
  if (f.blank_records < 3) return;
  f.blank_spread.assign(m + 1, 0.0);
  for (int r = 1; r <= m; ++r) {
    std::vector<double> values;
    for (int k = 1; k <= f.blank_records; ++k)
      values.push_back(s.BlankScans(s.FitPoints[r], k));
    f.blank_spread[r] = RobustSpread(values).value_or(0.0);
  }
}

void SetScanResultSpreads(Program& p) {
  std::vector<double> factor(p.HeaderPureCount + 1, 1.0);
  if (p.ResultsInMicrospheres)
    for (int k = 1; k <= p.HeaderPureCount; ++k) factor[k] = p.scan.MicrosFactor[k];
  SetResultSpreads(p.figures, factor, p.ResultsInMicrospheres);
}

void NoteScanRecord(Program& p, const Vector& x, const FitQuality& quality) {
  RunFigures& f = p.figures;
  if (!quality.r2_defined) return;
  f.r2.push_back(quality.r2);
  if (quality.r2 >= f.worst_r2) return;
  const ScanTables& s = p.scan;
  f.worst_r2 = quality.r2;
  f.worst_name = s.RecordName;
  const int points = s.ScanPoints;
  f.worst_wavelength.assign(points + 1, 0.0);
  f.worst_observed.assign(points + 1, 0.0);
  f.worst_fitted.assign(points + 1, 0.0);
  for (int d = 1; d <= points; ++d) {
    f.worst_wavelength[d] = s.PointWavelength[d];
    f.worst_observed[d] = s.Spectrum[d];
    double fit = 0.0;
    for (int k = 1; k <= p.HeaderPureCount; ++k)
      fit += x[k] * s.PureSpectra(k, d) / s.PureSpectra(k, PeakPoint(p, k));
    f.worst_fitted[d] = fit;
  }
}

}  // namespace kolvane
