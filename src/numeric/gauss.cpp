// In this file: the Gaussian elimination behind the fixed-wavelength run, and its
// eliminate-once form for runs that solve the same spillover matrix for every sample.
//
// The two forms must give the same bits for the same system. They share one elimination
// routine (the factor form runs it on a copy of the matrix and records what it did), one
// right-hand-side update and one back substitution, so every floating-point expression that
// touches a result exists exactly once in the source.
#include "numeric/gauss.h"

#include <cmath>

#ifdef __FAST_MATH__
#error "The pivot tests and the bitwise agreement of the two solve paths need IEEE arithmetic"
#endif

namespace kolvane {

namespace {

constexpr std::int16_t kMaxUnknowns = kSolveDim - 1;

using SquareArray = double[kSolveDim][kSolveDim];

// The one update of a right-hand side entry below the pivot row.
inline void UpdateRhsEntry(double f, double pivot_entry, double& entry) {
  entry = f * pivot_entry + entry;
}

// The back substitution's two expressions, shared by the one- and two-system forms.
inline double AddTerm(double s, double a, double x) {
  return s + a * x;
}
inline double Unknown(double b, double s, double diagonal) {
  return (b - s) / diagonal;
}

// x(n) down to x(1) from an upper triangular system; nothing guards the diagonal here.
// Kept scalar: vectorised, each row loads x(i+1) together with its neighbour in one 16-byte
// load straight after x(i+1) was stored on its own, which the processor cannot forward from
// the store and stalls on, row after row. The sums keep their order either way.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC push_options
#pragma GCC optimize("no-tree-vectorize")
#endif
void SubstituteBackwards(const SquareArray& a, const double (&b)[kSolveDim], double (&x)[kSolveDim],
                         std::int16_t n) {
  for (int i = n; i >= 1; --i) {
    double s = 0.0;
    for (int j = i + 1; j <= n; ++j) s = AddTerm(s, a[i][j], x[j]);
    x[i] = Unknown(b[i], s, a[i][i]);
  }
}

// Two right-hand sides through the same triangle in step: each is a long chain of dependent
// operations, and two independent chains side by side keep the processor busy.
void SubstituteBackwardsPair(const SquareArray& a, const double (&b1)[kSolveDim],
                             const double (&b2)[kSolveDim], double (&x1)[kSolveDim],
                             double (&x2)[kSolveDim], std::int16_t n) {
  for (int i = n; i >= 1; --i) {
    double s1 = 0.0;
    double s2 = 0.0;
    for (int j = i + 1; j <= n; ++j) {
      s1 = AddTerm(s1, a[i][j], x1[j]);
      s2 = AddTerm(s2, a[i][j], x2[j]);
    }
    x1[i] = Unknown(b1[i], s1, a[i][i]);
    x2[i] = Unknown(b2[i], s2, a[i][i]);
  }
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC pop_options
#endif

// Picks the pivot row of column k and brings it up. Returns the row that was exchanged with
// row k (k itself when none was).
std::int16_t PivotStep(GaussSystem& s, std::int16_t n, std::int16_t k, std::int16_t& code) {
  std::int16_t p = k;
  for (std::int16_t c = k + 1; c <= n; ++c) {
    if (std::fabs(s.SolveMatrix[c][k]) > std::fabs(s.SolveMatrix[p][k])) p = c;
  }
  if (p != k) {
    SwapRows(s, p, k);
    const double t = s.SolveRhs[p];
    s.SolveRhs[p] = s.SolveRhs[k];
    s.SolveRhs[k] = t;
    // A pivot brought up by an exchange is deliberately not tested: the run has always
    // accepted such systems, and only a later pivot or the last diagonal entry can refuse.
  } else if (std::fabs(s.SolveMatrix[k][k]) < PivotTolerance) {
    code = 2;
  }
  return p;
}

// The forward elimination, recording into `record` when one is given.
void Eliminate(GaussSystem& s, std::int16_t n, std::int16_t& code, GaussFactors* record) {
  std::int16_t k = 0;
  while (k < n - 1 && code == 0) {
    k = k + 1;
    const std::int16_t p = PivotStep(s, n, k, code);
    if (record != nullptr) {
      record->PivotRow[k] = p;
      record->StepsDone = k;
    }
    if (code != 0) break;
    for (std::int16_t i = k + 1; i <= n; ++i) {
      const bool eliminate = std::fabs(s.SolveMatrix[i][k]) > PivotTolerance;
      if (record != nullptr) record->RowEliminated[k][i] = eliminate;
      if (!eliminate) continue;
      const double f = -s.SolveMatrix[i][k] / s.SolveMatrix[k][k];
      if (record != nullptr) record->Multiplier[k][i] = f;
      AddRowMultiple(s, f, n, k, i);
      UpdateRhsEntry(f, s.SolveRhs[k], s.SolveRhs[i]);
    }
  }
  if (std::fabs(s.SolveMatrix[n][n]) < PivotTolerance) code = 2;
}

}  // namespace

void GaussSolve(GaussSystem& s, std::int16_t n, std::int16_t& code) {
  GaussSmall(s, n, code);
  if (n <= 1 || code != 0) return;
  Eliminate(s, n, code, nullptr);
  if (code != 0) return;
  SubstituteBackwards(s.SolveMatrix, s.SolveRhs, s.SolveX, n);
}

void GaussSmall(GaussSystem& s, std::int16_t n, std::int16_t& code) {
  code = 0;
  // More unknowns than the arrays hold would write past them; such a call is refused like an
  // empty one, with nothing touched.
  if (n < 1 || n > kMaxUnknowns) {
    code = 1;
    return;
  }
  if (n == 1) {
    if (std::fabs(s.SolveMatrix[1][1]) < PivotTolerance) {
      code = 2;
    } else {
      s.SolveX[1] = s.SolveRhs[1] / s.SolveMatrix[1][1];
    }
  }
}

void SwapRows(GaussSystem& s, std::int16_t p, std::int16_t k) {
  // The whole column range, as the run's arrays are declared, not only the n in use.
  for (int j = 1; j <= kMaxUnknowns; ++j) {
    const double t = s.SolveMatrix[p][j];
    s.SolveMatrix[p][j] = s.SolveMatrix[k][j];
    s.SolveMatrix[k][j] = t;
  }
}

void AddRowMultiple(GaussSystem& s, double f, std::int16_t n, std::int16_t k, std::int16_t i) {
  for (int j = 1; j <= n; ++j) s.SolveMatrix[i][j] = s.SolveMatrix[k][j] * f + s.SolveMatrix[i][j];
}

void GaussFactor(const double (&matrix)[kSolveDim][kSolveDim], std::int16_t n, GaussFactors& f) {
  f = GaussFactors{};
  f.n = n;
  GaussSystem work;
  for (int i = 0; i < kSolveDim; ++i) {
    for (int j = 0; j < kSolveDim; ++j) work.SolveMatrix[i][j] = matrix[i][j];
  }
  GaussSmall(work, n, f.code);
  if (f.code == 1) return;
  if (n >= 2) Eliminate(work, n, f.code, &f);
  for (int i = 0; i < kSolveDim; ++i) {
    for (int j = 0; j < kSolveDim; ++j) f.Eliminated[i][j] = work.SolveMatrix[i][j];
  }
}

namespace {

// The recorded exchanges and eliminations applied to a right-hand side.
void ApplyFactors(const GaussFactors& f, double (&b)[kSolveDim]) {
  for (std::int16_t k = 1; k <= f.StepsDone; ++k) {
    const std::int16_t p = f.PivotRow[k];
    if (p != k) {
      const double t = b[p];
      b[p] = b[k];
      b[k] = t;
    }
    for (std::int16_t i = k + 1; i <= f.n; ++i) {
      if (f.RowEliminated[k][i]) UpdateRhsEntry(f.Multiplier[k][i], b[k], b[i]);
    }
  }
}

}  // namespace

void GaussSolveFactored(const GaussFactors& f, const double (&rhs)[kSolveDim],
                        double (&x)[kSolveDim], std::int16_t& code) {
  code = f.code;
  if (code != 0) return;
  const std::int16_t n = f.n;
  if (n == 1) {
    x[1] = rhs[1] / f.Eliminated[1][1];
    return;
  }
  double b[kSolveDim];
  for (int i = 0; i < kSolveDim; ++i) b[i] = rhs[i];
  ApplyFactors(f, b);
  SubstituteBackwards(f.Eliminated, b, x, n);
}

void GaussSolveFactoredPair(const GaussFactors& f, const double (&rhs1)[kSolveDim],
                            const double (&rhs2)[kSolveDim], double (&x1)[kSolveDim],
                            double (&x2)[kSolveDim], std::int16_t& code) {
  code = f.code;
  if (code != 0) return;
  if (f.n == 1) {
    GaussSolveFactored(f, rhs1, x1, code);
    GaussSolveFactored(f, rhs2, x2, code);
    return;
  }
  double b1[kSolveDim];
  double b2[kSolveDim];
  for (int i = 0; i < kSolveDim; ++i) {
    b1[i] = rhs1[i];
    b2[i] = rhs2[i];
  }
  ApplyFactors(f, b1);
  ApplyFactors(f, b2);
  SubstituteBackwardsPair(f.Eliminated, b1, b2, x1, x2, f.n);
}

}  // namespace kolvane
