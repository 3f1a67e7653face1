// In this file: the least-squares fit of a record's spectrum at the fit points, its quality
// figures and the Hi-Lo flag. The pure matrix does not change during a run, so it is
// decomposed once and its factors serve every record: the numbers are exactly those of a
// decomposition made afresh for each record, since the same input gives the same factors.
#pragma once

#include <cstdint>
#include <string>

#include "app/program.h"
#include "numeric/matrix.h"
#include "numeric/svd.h"

namespace kolvane {

struct ScanFit {
  std::int16_t m = 0;  // fit points, 5n
  std::int16_t n = 0;  // pures
  Matrix u;            // U, in place of the pure matrix
  Vector w;            // singular values
  Matrix v;            // V
};

struct FitQuality {
  double ss = 0.0;          // residual sum of squares
  double r2 = 0.0;          // squared correlation of observed and fitted values
  bool r2_defined = false;  // false when the observed or the fitted values are all equal
};

// The scan point of pure k's peak.
inline int PeakPoint(const Program& p, int k) {
  return p.scan.FitPoints[5 * (k - 1) + 3];
}

// FitMatrix(r, k) = PureSpectra(k, FitPoints(r)) / PureSpectra(k, peak(k)). The caller has made
// sure that no pure is 0 at its own peak.
void BuildFitMatrix(Program& p);

// Decomposes FitMatrix once for the run.
SvdStatus DecomposeFitMatrix(const Program& p, ScanFit& fit);
// The same for a fit matrix `a` of n pures kept elsewhere (the record viewer's copy).
SvdStatus DecomposeFitMatrix(const Grid<double>& a, int n, ScanFit& fit);

// x(1..n) for the observed values b(1..m).
void SolveRecord(const ScanFit& fit, const Vector& b, Vector& x);

// Fitted values, residuals and the quality figures of the solution x against FitObserved;
// fills FitFitted, FitResidual and FitObservedCentred as the method describes.
FitQuality ComputeFitQuality(Program& p, const Vector& x);
// The same figures for the fit matrix `a` (m rows, n pures) and the observed values b(1..m);
// fitted, residual and centred (1..m) are its work arrays.
FitQuality FitQualityOf(const Grid<double>& a, int m, int n, const Vector& b, const Vector& x,
                        Vector& fitted, Vector& residual, Vector& centred);

// The Hi-Lo flag of a record: pures k and k+1 whose colour slots are neighbours are compared at
// their peaks; a zero value, or one below a tenth of its neighbour's, sets it. Records whose
// name contains "P" are never flagged. slots and peak_values are 1-based over n pures.
bool HiLoFlag(const std::string& record_name, const std::int16_t* slots, const float* peak_values,
              int n);

}  // namespace kolvane
