// In this file: what every decomposition must satisfy, measured in long double so that the
// check itself adds no rounding of the size it is looking for.
#pragma once

#include <algorithm>
#include <cmath>

#include "numeric/matrix.h"

namespace kolvane::test {

// ||U diag(w) V^T - A||_F / ||A||_F (0 for a zero A that is reproduced exactly).
inline double ReconstructionError(const Matrix& a, const Matrix& u, const Vector& w,
                                  const Matrix& v, int m, int n) {
  long double err = 0.0L, norm = 0.0L;
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= n; ++j) {
      long double s = 0.0L;
      for (int k = 1; k <= n; ++k) s += static_cast<long double>(u(i, k)) * w[k] * v(j, k);
      const long double d = s - a(i, j);
      err += d * d;
      norm += static_cast<long double>(a(i, j)) * a(i, j);
    }
  }
  if (norm == 0.0L) return static_cast<double>(std::sqrt(err));
  return static_cast<double>(std::sqrt(err / norm));
}

// max |Q^T Q - I| over columns 1..n of rows 1..rows.
inline double OrthonormalityError(const Matrix& q, int rows, int n) {
  double worst = 0.0;
  for (int j = 1; j <= n; ++j) {
    for (int k = 1; k <= n; ++k) {
      long double s = 0.0L;
      for (int i = 1; i <= rows; ++i) s += static_cast<long double>(q(i, j)) * q(i, k);
      worst = std::max(worst, static_cast<double>(std::fabs(s - (j == k ? 1.0L : 0.0L))));
    }
  }
  return worst;
}

}  // namespace kolvane::test
