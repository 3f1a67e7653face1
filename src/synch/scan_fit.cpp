#include "synch/scan_fit.h"

#include <cmath>
#include <cstdlib>

namespace kolvane {

void BuildFitMatrix(Program& p) {
  ScanTables& s = p.scan;
  const int n = p.HeaderPureCount;
  const int m = 5 * n;
  for (int k = 1; k <= n; ++k) {
    const double own = s.PureSpectra(k, PeakPoint(p, k));
    for (int r = 1; r <= m; ++r) {
      s.FitMatrix(r, k) = s.PureSpectra(k, s.FitPoints[r]) / own;
    }
  }
}

SvdStatus DecomposeFitMatrix(const Program& p, ScanFit& fit) {
  return DecomposeFitMatrix(p.scan.FitMatrix, p.HeaderPureCount, fit);
}

SvdStatus DecomposeFitMatrix(const Grid<double>& a, int n, ScanFit& fit) {
  fit.n = static_cast<std::int16_t>(n);
  fit.m = static_cast<std::int16_t>(5 * fit.n);
  fit.u.Resize(fit.m, fit.n);
  for (int r = 1; r <= fit.m; ++r) {
    for (int k = 1; k <= fit.n; ++k) fit.u(r, k) = a(r, k);
  }
  fit.w.assign(fit.n + 1, 0.0);
  fit.v.Resize(fit.n, fit.n);
  return DecomposeSvd(fit.u, fit.m, fit.n, fit.w, fit.v);
}

void SolveRecord(const ScanFit& fit, const Vector& b, Vector& x) {
  SvdBackSubstitute(fit.u, fit.w, fit.v, fit.m, fit.n, b, x);
}

FitQuality ComputeFitQuality(Program& p, const Vector& x) {
  ScanTables& s = p.scan;
  const int n = p.HeaderPureCount;
  return FitQualityOf(s.FitMatrix, 5 * n, n, s.FitObserved, x, s.FitFitted, s.FitResidual,
                      s.FitObservedCentred);
}

FitQuality FitQualityOf(const Grid<double>& a, int m, int n, const Vector& b, const Vector& x,
                        Vector& fitted, Vector& residual, Vector& centred) {
  double sum_f = 0.0, sum_b = 0.0;
  for (int r = 1; r <= m; ++r) {
    double f = 0.0;
    for (int k = 1; k <= n; ++k) f += a(r, k) * x[k];
    fitted[r] = f;
    residual[r] = b[r] - f;
    sum_f += f;
    sum_b += b[r];
  }
  const double mean_f = sum_f / m;
  const double mean_b = sum_b / m;
  double sxy = 0.0, sff = 0.0, sbb = 0.0, ss = 0.0;
  for (int r = 1; r <= m; ++r) {
    fitted[r] -= mean_f;
    centred[r] = b[r] - mean_b;
    sxy += centred[r] * fitted[r];
    sff += fitted[r] * fitted[r];
    sbb += centred[r] * centred[r];
    ss += residual[r] * residual[r];
  }
  FitQuality q;
  q.ss = ss;
  if (sbb != 0.0 && sff != 0.0) {
    double quotient = sxy / (std::sqrt(sbb) * std::sqrt(sff));
    q.r2 = quotient * quotient;
    q.r2_defined = std::isfinite(q.r2);
  }
  return q;
}

bool HiLoFlag(const std::string& record_name, const std::int16_t* slots, const float* peak_values,
              int n) {
  if (record_name.find('P') != std::string::npos) return false;
  for (int k = 1; k < n; ++k) {
    if (slots[k] == 0 || slots[k + 1] == 0 || std::abs(slots[k + 1] - slots[k]) != 1) continue;
    const double a = peak_values[k];
    const double b = peak_values[k + 1];
    if (a == 0.0 || b == 0.0) return true;
    if (b / a < 0.1 || a / b < 0.1) return true;
  }
  return false;
}

}  // namespace kolvane
