// In this file: reproducible random matrices for the numeric tests. Every generator takes the
// seed it was given, so a failing case can be rebuilt from the seed its test prints.
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
  std::mt19937_64& Engine() { return engine_; }

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

inline double MaxAbs(const Vector& v, int n) {
  double m = 0.0;
  for (int i = 1; i <= n; ++i) m = std::max(m, std::fabs(v[i]));
  return m;
}

}  // namespace kolvane::test
