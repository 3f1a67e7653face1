// The decomposition behind the synchronous fit and the least-squares solve with its factors:
// orthonormal factors that multiply back to the fit matrix on random, rank-deficient and badly
// scaled matrices, the small cases worked by hand, and fits against the normal equations.
#include "numeric/svd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "numeric/numeric_support.h"

namespace kolvane {
namespace {

struct Decomposition {
  Matrix u;
  Vector w;
  Matrix v;
  SvdStatus status;
};

Decomposition Decompose(const Matrix& a, int m, int n) {
  Decomposition d{a, Vector(), Matrix(), SvdStatus::NoConvergence};
  d.status =
      DecomposeSvd(d.u, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), d.w, d.v);
  return d;
}

TEST(DecomposeSvd, FitShapedMatricesDecompose) {
  struct Case {
    int n, rank;
    double scale, tol;
    std::uint64_t seed;
  };
  std::vector<Case> cases;
  for (int n = 1; n <= 30; ++n) cases.push_back({n, n, 1.0, 1e-12, 1000u + n});
  for (int n : {2, 5, 12, 30})
    for (int rank : {1, n / 2, n - 1})
      if (rank >= 1 && !(cases.back().n == n && cases.back().rank == rank))
        cases.push_back({n, rank, 1.0, 1e-12, 3000u + 100 * n + rank});
  // At 1e-150 the converging off-diagonal values square into subnormal numbers and lose a few
  // bits; at 1e150 the squares stay below overflow.
  for (int n : {1, 4, 13, 30}) {
    cases.push_back({n, n, 1e-150, 1e-10, 4000u + n});
    cases.push_back({n, n, 1e150, 1e-12, 4000u + n});
  }
  for (const Case& c : cases) {
    const int m = 5 * c.n, n = c.n;
    SCOPED_TRACE(testing::Message() << "seed " << c.seed << ", n " << n << ", rank " << c.rank
                                    << ", scale " << c.scale);
    test::Random r(c.seed);
    Matrix a = test::RandomMatrix(r, m, c.rank);
    if (c.rank < n) {  // B C with B m x rank, C rank x n
      const Matrix b = a, f = test::RandomMatrix(r, c.rank, n);
      a = Matrix(m, n);
      for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= n; ++j) {
          long double s = 0.0L;
          for (int k = 1; k <= c.rank; ++k) s += static_cast<long double>(b(i, k)) * f(k, j);
          a(i, j) = static_cast<double>(s);
        }
    }
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) a(i, j) *= c.scale;
    const Decomposition d = Decompose(a, m, n);
    ASSERT_EQ(d.status, SvdStatus::Decomposed);
    EXPECT_LE(test::ReconstructionError(a, d.u, d.w, d.v, m, n), c.tol) << "U diag(w) V^T - A";
    EXPECT_LE(test::OrthonormalityError(d.v, n, n), c.tol) << "V^T V";
    // Columns of U that belong to a zero singular value may be anything.
    if (c.rank == n) {
      EXPECT_LE(test::OrthonormalityError(d.u, m, n), c.tol) << "U^T U";
    }
    const double largest = *std::max_element(d.w.begin() + 1, d.w.begin() + 1 + n);
    int negligible = 0;
    for (int j = 1; j <= n; ++j) {
      EXPECT_GE(d.w[j], 0.0) << "w(" << j << ")";
      negligible += d.w[j] <= 1e-13 * largest;
    }
    EXPECT_EQ(negligible, n - c.rank);
  }
}

TEST(DecomposeSvd, DiagonalMatricesKeepColumnOrder) {
  // Already bidiagonal with a zero superdiagonal: no QR step, magnitudes exact and unsorted.
  struct Case {
    double d[3], w[3];
  } cases[] = {{{3, -2, 0}, {3, 2, 0}}, {{1, 3, 2}, {1, 3, 2}}, {{-0.5, 0, 4}, {0.5, 0, 4}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.d[0] << " " << c.d[1] << " " << c.d[2]);
    Matrix a(3, 3);
    for (int j = 1; j <= 3; ++j) a(j, j) = c.d[j - 1];
    const Decomposition d = Decompose(a, 3, 3);
    ASSERT_EQ(d.status, SvdStatus::Decomposed);
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(d.w[j], c.w[j - 1]) << "w(" << j << ")";
    EXPECT_LT(test::ReconstructionError(a, d.u, d.w, d.v, 3, 3), 1e-15);
    EXPECT_LT(test::OrthonormalityError(d.v, 3, 3), 1e-15);
  }
}

TEST(DecomposeSvd, SingleColumnGivesItsLength) {
  Matrix a(5, 1);
  const double col[] = {3, -4, 0, 12, 0};  // length 13
  for (int i = 1; i <= 5; ++i) a(i, 1) = col[i - 1];
  const Decomposition d = Decompose(a, 5, 1);
  ASSERT_EQ(d.status, SvdStatus::Decomposed);
  EXPECT_NEAR(d.w[1], 13.0, 13.0 * 2e-16);
  EXPECT_EQ(std::fabs(d.v(1, 1)), 1.0);
  for (int i = 1; i <= 5; ++i) EXPECT_NEAR(d.u(i, 1) * d.v(1, 1), col[i - 1] / 13.0, 4e-16) << i;
}

TEST(DecomposeSvd, FewerRowsThanColumnsIsRefusedUntouched) {
  Matrix a(2, 3);
  for (int i = 0; i <= 2; ++i)
    for (int j = 0; j <= 3; ++j) a(i, j) = 10 * i + j;
  Vector w = {-1.0, -2.0};
  Matrix v(1, 1);
  v(1, 1) = 42.0;
  EXPECT_EQ(DecomposeSvd(a, 2, 3, w, v), SvdStatus::NeedsMoreRows);
  for (int i = 0; i <= 2; ++i)
    for (int j = 0; j <= 3; ++j) EXPECT_EQ(a(i, j), 10 * i + j);
  EXPECT_EQ(w, (Vector{-1.0, -2.0}));
  EXPECT_EQ(v.Rows(), 1);
  EXPECT_EQ(v(1, 1), 42.0);
  EXPECT_EQ(std::string(SvdMessage(SvdStatus::NeedsMoreRows)),
            "You must augment a with extra zero rows.");
  EXPECT_EQ(std::string(SvdMessage(SvdStatus::NoConvergence)), "No convergence in 30 iterations");
}

TEST(DecomposeSvd, UnusableInputIsReportedNotFitted) {
  // At 1e-170 every square in a rotation underflows, at 1e160 it overflows: the iteration
  // cannot converge and the caller must learn it from the status.
  for (double scale : {1e-170, 1e160}) {
    for (int n : {2, 4, 13}) {
      SCOPED_TRACE(testing::Message() << "n " << n << ", scale " << scale);
      test::Random r(4000 + n);
      Matrix a = test::RandomMatrix(r, 5 * n, n);
      for (int i = 1; i <= 5 * n; ++i)
        for (int j = 1; j <= n; ++j) a(i, j) *= scale;
      EXPECT_EQ(Decompose(a, 5 * n, n).status, SvdStatus::NoConvergence);
    }
  }
  // A NaN must leave the routine in bounds and show, as a refusal or in the values.
  for (int n : {1, 3, 8}) {
    test::Random r(5000 + n);
    Matrix a = test::RandomMatrix(r, 5 * n, n);
    a(2, 1) = std::numeric_limits<double>::quiet_NaN();
    const Decomposition d = Decompose(a, 5 * n, n);
    EXPECT_TRUE(
        d.status == SvdStatus::NoConvergence ||
        std::any_of(d.w.begin() + 1, d.w.begin() + 1 + n, [](double w) { return std::isnan(w); }))
        << n;
  }
}

Vector SvdLeastSquares(const Matrix& a, int m, int n, const Vector& b) {
  Decomposition d = Decompose(a, m, n);
  EXPECT_EQ(d.status, SvdStatus::Decomposed);
  Vector x;
  SvdBackSubstitute(d.u, d.w, d.v, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), b,
                    x);
  return x;
}

// The reference: A^T A x = A^T b in long double, by Gauss-Jordan elimination (the normal
// matrix is positive definite, so no pivoting is needed).
Vector NormalEquationsSolution(const Matrix& a, int m, int n, const Vector& b) {
  std::vector<std::vector<long double>> g(n + 1, std::vector<long double>(n + 2, 0.0L));
  for (int j = 1; j <= n; ++j)
    for (int i = 1; i <= m; ++i) {
      for (int k = 1; k <= n; ++k) g[j][k] += static_cast<long double>(a(i, j)) * a(i, k);
      g[j][n + 1] += static_cast<long double>(a(i, j)) * b[i];
    }
  for (int k = 1; k <= n; ++k)
    for (int i = 1; i <= n; ++i)
      if (i != k)
        for (int j = n + 1; j >= k; --j) g[i][j] -= g[i][k] / g[k][k] * g[k][j];
  Vector x(n + 1, 0.0);
  for (int i = 1; i <= n; ++i) x[i] = static_cast<double>(g[i][n + 1] / g[i][i]);
  return x;
}

TEST(SvdBackSubstitute, FitMatchesNormalEquations) {
  // The run's 5n x n fits, and square systems (given a dominant diagonal to stay well posed).
  std::vector<std::pair<int, int>> shapes;
  for (int n = 1; n <= 30; ++n) shapes.push_back({5 * n, n});
  for (int n : {1, 2, 7, 13, 30}) shapes.push_back({n, n});
  for (const auto& [m, n] : shapes) {
    const std::uint64_t seed = 6000 + 100 * (m / n) + n;
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << m << " x " << n);
    test::Random r(seed);
    Matrix a = test::RandomMatrix(r, m, n);
    if (m == n)
      for (int i = 1; i <= n; ++i) a(i, i) += (i % 3 ? 1.0 : -1.0) * (n + 1);
    const Vector b = test::RandomVector(r, m);
    const Vector x = SvdLeastSquares(a, m, n, b);
    const Vector want = NormalEquationsSolution(a, m, n, b);
    // Condition numbers of a few: cond^2 eps is far below this bound.
    EXPECT_LE(test::MaxDiff(x, want, n), 1e-12 * test::MaxAbs(want, n));
  }
}

TEST(SvdBackSubstitute, OnlyAnExactlyZeroSingularValueIsDropped) {
  // diag(3, -2, 0): the zero is dropped, x(3) = 0 whatever b(3) is.
  Matrix a(3, 3);
  a(1, 1) = 3;
  a(2, 2) = -2;
  const Vector x = SvdLeastSquares(a, 3, 3, Vector{0, 6, 4, 5});
  EXPECT_NEAR(x[1], 2.0, 2e-15);
  EXPECT_NEAR(x[2], -2.0, 2e-15);
  EXPECT_EQ(x[3], 0.0);
  // diag(1, 1e-300): the tiny one is inverted like any other.
  Matrix t(2, 2);
  t(1, 1) = 1;
  t(2, 2) = 1e-300;
  const Vector y = SvdLeastSquares(t, 2, 2, Vector{0, 1, 1e-300});
  EXPECT_NEAR(y[1], 1.0, 1e-15);
  EXPECT_NEAR(y[2], 1.0, 1e-15);
}

}  // namespace
}  // namespace kolvane
