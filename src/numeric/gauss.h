// In this file: Gaussian elimination with partial (row) pivoting for one square system of at
// most 31 unknowns, 1-based as the fixed-wavelength run uses it. The caller fills
// SolveMatrix and SolveRhs, calls GaussSolve and reads the code and SolveX.
//
// Not for: deciding whether a spillover matrix is invertible. The only tolerance is the pivot
// test |pivot| < PivotTolerance on a pivot that was not brought up by a row exchange, and the
// final test on A(n,n); a pivot brought up by an exchange is never tested, so a nearly
// singular matrix can pass and give large results.
#pragma once

#include <cstdint>

namespace kolvane {

constexpr double PivotTolerance = 1e-15;
constexpr int kSolveDim = 32;  // indices 0..31; index 0 unused

// The solver's shared arrays. Index 0 of every dimension exists and is never used.
struct GaussSystem {
  double SolveMatrix[kSolveDim][kSolveDim] = {};  // (row = equation, column = unknown)
  double SolveRhs[kSolveDim] = {};
  double SolveX[kSolveDim] = {};
};

// Error codes: 0 solved, 1 n < 1 or n > 31 (nothing touched), 2 singular to working precision.
void GaussSolve(GaussSystem& s, std::int16_t n, std::int16_t& code);

// The parts of GaussSolve, in its calling order.
void GaussSmall(GaussSystem& s, std::int16_t n, std::int16_t& code);
void SwapRows(GaussSystem& s, std::int16_t p, std::int16_t k);
void AddRowMultiple(GaussSystem& s, double f, std::int16_t n, std::int16_t k, std::int16_t i);

// Eliminate once, solve many: GaussFactor records the row exchanges and multipliers of the
// elimination of a matrix; GaussSolveFactored applies them to a right-hand side and back
// substitutes. For every right-hand side the result (code and SolveX bits) equals that of
// GaussSolve on a freshly restored copy of the matrix with that right-hand side.
struct GaussFactors {
  std::int16_t n = 0;
  std::int16_t code = 0;                         // the code GaussSolve would give for this matrix
  double Eliminated[kSolveDim][kSolveDim] = {};  // the matrix after elimination
  // Step k (1..n-1): the row exchanged with row k (k itself when none), and for each row
  // i > k whether it was eliminated and with which multiplier.
  std::int16_t PivotRow[kSolveDim] = {};
  bool RowEliminated[kSolveDim][kSolveDim] = {};  // [k][i]
  double Multiplier[kSolveDim][kSolveDim] = {};   // [k][i]
  std::int16_t StepsDone = 0;  // elimination steps carried out (fewer after a failed pivot)
};

void GaussFactor(const double (&matrix)[kSolveDim][kSolveDim], std::int16_t n, GaussFactors& f);
// rhs and x are 1-based (index 0 unused). rhs is not changed. On a code other than 0, x is
// left as it was.
void GaussSolveFactored(const GaussFactors& f, const double (&rhs)[kSolveDim],
                        double (&x)[kSolveDim], std::int16_t& code);
// Two right-hand sides at once, each solved to the same bits as by GaussSolveFactored; faster
// than two calls, as the two solves overlap. x1 and x2 must be different arrays.
void GaussSolveFactoredPair(const GaussFactors& f, const double (&rhs1)[kSolveDim],
                            const double (&rhs2)[kSolveDim], double (&x1)[kSolveDim],
                            double (&x2)[kSolveDim], std::int16_t& code);

}  // namespace kolvane
