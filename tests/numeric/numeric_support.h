// In this file: reproducible random matrices for the numeric tests (every case prints its
// seed), and products summed in long double so that a check adds no rounding of the size it
// is looking for.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "numeric/matrix.h"

namespace kolvane::test {

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  double Uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }
  int Index(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
  // m x n, 1-based, entries uniform in [-1, 1].
  Matrix Entries(int m, int n) {
    Matrix a(m, n);
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) a(i, j) = Uniform(-1.0, 1.0);
    return a;
  }

 private:
  std::mt19937_64 engine_;
};

// A B over rows 1..m, inner dimension 1..k, columns 1..n (a vector is an n = 1 matrix).
inline Matrix Multiply(const Matrix& a, const Matrix& b, int m, int k, int n) {
  Matrix c(m, n);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      long double s = 0.0L;
      for (int l = 1; l <= k; ++l) s += static_cast<long double>(a(i, l)) * b(l, j);
      c(i, j) = static_cast<double>(s);
    }
  return c;
}

// max |a(i,j) - b(i,j)| and max |a(i,j)| over rows 1..m, columns 1..n.
inline double MaxDiff(const Matrix& a, const Matrix& b, int m, int n) {
  double d = 0.0;
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) d = std::max(d, std::fabs(a(i, j) - b(i, j)));
  return d;
}
inline double MaxAbs(const Matrix& a, int m, int n) {
  return MaxDiff(a, Matrix(m, n), m, n);
}

}  // namespace kolvane::test
