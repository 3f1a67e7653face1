// In this file: reproducible random matrices for the numeric tests (every case prints its seed)
// and the checks every decomposition must pass, summed in long double so that the check adds
// no rounding of the size it is looking for.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "numeric/matrix.h"

namespace kolvane::test {

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  double Uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }
  int Index(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }

 private:
  std::mt19937_64 engine_;
};

// m x n, 1-based, entries uniform in [-1, 1].
inline Matrix RandomMatrix(Random& r, int m, int n) {
  Matrix a(m, n);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) a(i, j) = r.Uniform(-1.0, 1.0);
  return a;
}

inline Vector RandomVector(Random& r, int n) {
  Vector v(static_cast<std::size_t>(n) + 1, 0.0);
  for (int i = 1; i <= n; ++i) v[i] = r.Uniform(-1.0, 1.0);
  return v;
}

// y = A x over rows 1..m, columns 1..n.
inline Vector Multiply(const Matrix& a, int m, int n, const Vector& x) {
  Vector y(static_cast<std::size_t>(m) + 1, 0.0);
  for (int i = 1; i <= m; ++i) {
    long double s = 0.0L;
    for (int j = 1; j <= n; ++j) s += static_cast<long double>(a(i, j)) * x[j];
    y[i] = static_cast<double>(s);
  }
  return y;
}

// max |a[i] - b[i]| and max |b[i]| over 1..n.
inline double MaxDiff(const Vector& a, const Vector& b, int n) {
  double d = 0.0;
  for (int i = 1; i <= n; ++i) d = std::max(d, std::fabs(a[i] - b[i]));
  return d;
}
inline double MaxAbs(const Vector& v, int n) {
  return MaxDiff(v, Vector(v.size(), 0.0), n);
}

// ||U diag(w) V^T - A||_F / ||A||_F.
inline double ReconstructionError(const Matrix& a, const Matrix& u, const Vector& w,
                                  const Matrix& v, int m, int n) {
  long double err = 0.0L, norm = 0.0L;
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= n; ++j) {
      long double s = 0.0L;
      for (int k = 1; k <= n; ++k) s += static_cast<long double>(u(i, k)) * w[k] * v(j, k);
      err += (s - a(i, j)) * (s - a(i, j));
      norm += static_cast<long double>(a(i, j)) * a(i, j);
    }
  }
  return static_cast<double>(std::sqrt(norm == 0.0L ? err : err / norm));
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
