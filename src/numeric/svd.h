// In this file: the singular value decomposition of the fit matrix (Golub-Reinsch:
// Householder bidiagonalisation, accumulation of both transformations, implicit-shift QR) and
// the least-squares back substitution with its factors.
//
// A value is negligible exactly when adding it to anorm (the largest |w(i)| + |rv1(i)| of the
// bidiagonal form) leaves anorm unchanged in double precision; there is no other tolerance.
// The singular values come back unsorted. Not for: rank decisions; the back substitution only
// skips a singular value that is exactly zero. The rotations take square roots of plain sums
// of squares, so entries far outside about 1e-150..1e150 lose accuracy and then end in
// NoConvergence (squares underflowing to zero or overflowing); the fit matrix, scaled to each
// pure's peak, stays near 1.
#pragma once

#include <cstdint>

#include "numeric/matrix.h"

namespace kolvane {

enum class SvdStatus {
  Decomposed,
  NeedsMoreRows,  // m < n: nothing changed
  NoConvergence,  // 30 passes without convergence: a, w, v hold the partial state
};

// The text the caller shows for a status other than Decomposed.
const char* SvdMessage(SvdStatus status);

// a (rows 1..m, columns 1..n) is replaced by U; w(1..n) receives the singular values and
// v(1..n, 1..n) the factor V (not transposed), so that A = U diag(w) V^T. w and v are resized
// when they are too small.
SvdStatus DecomposeSvd(Matrix& a, std::int16_t m, std::int16_t n, Vector& w, Matrix& v);

// x(1..n) = V diag(1/w) U^T b, with 1/w(j) taken as 0 only for a w(j) that is exactly zero.
// b is 1-based (b[1..m]); x is resized when it is too small.
void SvdBackSubstitute(const Matrix& u, const Vector& w, const Matrix& v, std::int16_t m,
                       std::int16_t n, const Vector& b, Vector& x);

}  // namespace kolvane
