// Solving with the factors: the least-squares fit of the synchronous run against the normal
// equations solved in extended precision, and one suite of properties run over both solvers
// (elimination on square systems, the SVD fit on square and overdetermined ones).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "numeric/gauss.h"
#include "numeric/random_systems.h"
#include "numeric/svd.h"
#include "numeric/tolerance.h"

namespace kolvane {
namespace {

using test::IsClose;
using test::IsSmallRelative;

// The reference: A^T A x = A^T b in long double by elimination with partial pivoting.
std::vector<long double> NormalEquationsSolution(const Matrix& a, int m, int n, const Vector& b) {
  std::vector<std::vector<long double>> g(n + 1, std::vector<long double>(n + 2, 0.0L));
  for (int j = 1; j <= n; ++j) {
    for (int k = 1; k <= n; ++k)
      for (int i = 1; i <= m; ++i) g[j][k] += static_cast<long double>(a(i, j)) * a(i, k);
    for (int i = 1; i <= m; ++i) g[j][n + 1] += static_cast<long double>(a(i, j)) * b[i];
  }
  for (int k = 1; k <= n; ++k) {
    int p = k;
    for (int i = k + 1; i <= n; ++i)
      if (std::fabs(g[i][k]) > std::fabs(g[p][k])) p = i;
    std::swap(g[p], g[k]);
    for (int i = k + 1; i <= n; ++i) {
      const long double f = g[i][k] / g[k][k];
      for (int j = k; j <= n + 1; ++j) g[i][j] -= f * g[k][j];
    }
  }
  std::vector<long double> x(n + 1, 0.0L);
  for (int i = n; i >= 1; --i) {
    long double s = g[i][n + 1];
    for (int j = i + 1; j <= n; ++j) s -= g[i][j] * x[j];
    x[i] = s / g[i][i];
  }
  return x;
}

Vector SvdLeastSquares(const Matrix& a, int m, int n, const Vector& b) {
  Matrix u = a;
  Vector w;
  Matrix v;
  EXPECT_EQ(DecomposeSvd(u, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), w, v),
            SvdStatus::Decomposed);
  Vector x;
  SvdBackSubstitute(u, w, v, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), b, x);
  return x;
}

TEST(SvdBackSubstitute, OverdeterminedFitMatchesNormalEquations) {
  for (int n = 1; n <= 30; ++n) {
    const std::uint64_t seed = 6000 + n;
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n);
    test::Random r(seed);
    const int m = 5 * n;
    const Matrix a = test::RandomMatrix(r, m, n);
    const Vector b = test::RandomVector(r, m);
    const Vector x = SvdLeastSquares(a, m, n, b);
    const std::vector<long double> ref = NormalEquationsSolution(a, m, n, b);
    double err = 0.0, size = 0.0;
    for (int j = 1; j <= n; ++j) {
      err = std::max(err, static_cast<double>(std::fabs(x[j] - ref[j])));
      size = std::max(size, static_cast<double>(std::fabs(ref[j])));
    }
    // A random 5n x n matrix has a condition number of a few; a residual that is not zero
    // costs cond^2 * eps at most, far below this bound.
    EXPECT_TRUE(IsSmallRelative(err, size, 1e-12, "x against the normal equations"));
  }
}

TEST(SvdBackSubstitute, OnlyAnExactlyZeroSingularValueIsDropped) {
  // diag(3, -2, 0) and diag(1, 1e-300): the zero is dropped (x(3) = 0 whatever b(3) is), the
  // tiny one is inverted like any other.
  Matrix a(3, 3);
  a(1, 1) = 3;
  a(2, 2) = -2;
  const Vector x = SvdLeastSquares(a, 3, 3, Vector{0, 6, 4, 5});
  EXPECT_TRUE(IsClose(x[1], 2.0, 1e-15));
  EXPECT_TRUE(IsClose(x[2], -2.0, 1e-15));
  EXPECT_EQ(x[3], 0.0);

  Matrix t(2, 2);
  t(1, 1) = 1;
  t(2, 2) = 1e-300;
  const Vector y = SvdLeastSquares(t, 2, 2, Vector{0, 1, 1e-300});
  EXPECT_TRUE(IsClose(y[1], 1.0, 1e-15));
  EXPECT_TRUE(IsClose(y[2], 1.0, 1e-15));
}

// --- one suite over both solvers ----------------------------------------------------------

// Elimination, square systems only.
struct GaussOnSquare {
  static int Rows(int n) { return n; }
  static bool Solve(const Matrix& a, int n, const Vector& b, Vector& x) {
    GaussSystem s;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) s.SolveMatrix[i][j] = a(i, j);
      s.SolveRhs[i] = b[i];
    }
    std::int16_t code = 99;
    GaussSolve(s, static_cast<std::int16_t>(n), code);
    x.assign(s.SolveX, s.SolveX + n + 1);
    return code == 0;
  }
};

template <int RowsPerColumn>
struct SvdFit {
  static int Rows(int n) { return RowsPerColumn * n; }
  static bool Solve(const Matrix& a, int n, const Vector& b, Vector& x) {
    x = SvdLeastSquares(a, Rows(n), n, b);
    return true;
  }
};

template <typename Solver>
class LinearSolver : public ::testing::Test {
 protected:
  // A well-conditioned system: square ones get a dominant diagonal, tall ones are random
  // (their condition number is a few already).
  static Matrix MakeMatrix(test::Random& r, int n) {
    const int m = Solver::Rows(n);
    Matrix a = test::RandomMatrix(r, m, n);
    if (m == n)
      for (int i = 1; i <= n; ++i) a(i, i) += (i % 3 ? 1.0 : -1.0) * (n + 1);
    return a;
  }
  static const std::vector<int>& Sizes() {
    static const std::vector<int> sizes = {1, 2, 3, 7, 13, 30};
    return sizes;
  }
};

using Solvers = ::testing::Types<GaussOnSquare, SvdFit<1>, SvdFit<5>>;
TYPED_TEST_SUITE(LinearSolver, Solvers);

TYPED_TEST(LinearSolver, ConsistentSystemGivesItsSolution) {
  for (int n : TestFixture::Sizes()) {
    const std::uint64_t seed = 7000 + n;
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n);
    test::Random r(seed);
    const int m = TypeParam::Rows(n);
    const Matrix a = TestFixture::MakeMatrix(r, n);
    const Vector x_true = test::RandomVector(r, n);
    const Vector b = test::Multiply(a, m, n, x_true);
    Vector x;
    ASSERT_TRUE(TypeParam::Solve(a, n, b, x));
    const Vector ax = test::Multiply(a, m, n, x);
    double residual = 0.0, err = 0.0;
    for (int i = 1; i <= m; ++i) residual = std::max(residual, std::fabs(ax[i] - b[i]));
    for (int j = 1; j <= n; ++j) err = std::max(err, std::fabs(x[j] - x_true[j]));
    EXPECT_TRUE(IsSmallRelative(residual, test::MaxAbs(b, m), 1e-13, "residual"));
    EXPECT_TRUE(IsSmallRelative(err, test::MaxAbs(x_true, n), 1e-12, "solution"));
  }
}

TYPED_TEST(LinearSolver, PermutedRowsGiveTheSameSolution) {
  for (int n : TestFixture::Sizes()) {
    const std::uint64_t seed = 8000 + n;
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n);
    test::Random r(seed);
    const int m = TypeParam::Rows(n);
    const Matrix a = TestFixture::MakeMatrix(r, n);
    const Vector b = test::RandomVector(r, m);
    std::vector<int> order(m);
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), r.Engine());
    Matrix pa(m, n);
    Vector pb(m + 1, 0.0);
    for (int i = 1; i <= m; ++i) {
      for (int j = 1; j <= n; ++j) pa(i, j) = a(order[i - 1], j);
      pb[i] = b[order[i - 1]];
    }
    Vector x, px;
    ASSERT_TRUE(TypeParam::Solve(a, n, b, x));
    ASSERT_TRUE(TypeParam::Solve(pa, n, pb, px));
    for (int j = 1; j <= n; ++j) EXPECT_TRUE(IsClose(px[j], x[j], 1e-12, test::MaxAbs(x, n))) << j;
  }
}

TYPED_TEST(LinearSolver, ScalingCarriesThrough) {
  // Scaling A and b together leaves x; scaling b alone scales x. The smallest factor keeps
  // the entries far above the elimination's absolute tolerance of 1e-15: below it, entries
  // that are small but real are skipped by design (see TinyScaleMeetsTheAbsolutePivotTolerance).
  for (int n : TestFixture::Sizes()) {
    for (double scale : {1e-6, 3.0, 1e8, 1e150}) {
      const std::uint64_t seed = 9000 + n;
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n << ", scale " << scale);
      test::Random r(seed);
      const int m = TypeParam::Rows(n);
      const Matrix a = TestFixture::MakeMatrix(r, n);
      const Vector b = test::RandomVector(r, m);
      Matrix sa = a;
      Vector sb = b, bs = b;
      for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n; ++j) sa(i, j) *= scale;
        sb[i] *= scale;
        bs[i] *= scale;
      }
      Vector x, sx, xs;
      ASSERT_TRUE(TypeParam::Solve(a, n, b, x));
      ASSERT_TRUE(TypeParam::Solve(sa, n, sb, sx));
      ASSERT_TRUE(TypeParam::Solve(a, n, bs, xs));
      const double size = test::MaxAbs(x, n);
      for (int j = 1; j <= n; ++j) {
        EXPECT_TRUE(IsClose(sx[j], x[j], 1e-12, size)) << j;
        EXPECT_TRUE(IsClose(xs[j] / scale, x[j], 1e-12, size)) << j;
      }
    }
  }
}

TEST(GaussSolve, TinyScaleMeetsTheAbsolutePivotTolerance) {
  // The pivot test is absolute: a perfectly conditioned system of size 1e-16 is refused.
  GaussSystem s;
  for (int i = 1; i <= 3; ++i) {
    s.SolveMatrix[i][i] = 1e-16;
    s.SolveRhs[i] = 1.0;
  }
  std::int16_t code = 99;
  GaussSolve(s, 3, code);
  EXPECT_EQ(code, 2);
}

}  // namespace
}  // namespace kolvane
