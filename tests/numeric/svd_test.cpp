// The decomposition behind the synchronous fit: its factors must be orthonormal and multiply
// back to the fit matrix, on random, rank-deficient and badly scaled matrices, and it must
// refuse a matrix with fewer rows than columns without touching anything.
#include "numeric/svd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "numeric/random_systems.h"
#include "numeric/svd_checks.h"
#include "numeric/tolerance.h"

namespace kolvane {
namespace {

using test::IsClose;
using test::IsSmallRelative;

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

// A Householder reflector I - 2 h h^T / h^T h applied from the left to columns 1..n of q.
void Reflect(Matrix& q, int rows, int n, const std::vector<long double>& h) {
  long double hh = 0.0L;
  for (int i = 1; i <= rows; ++i) hh += h[i] * h[i];
  for (int j = 1; j <= n; ++j) {
    long double s = 0.0L;
    for (int i = 1; i <= rows; ++i) s += h[i] * q(i, j);
    for (int i = 1; i <= rows; ++i) q(i, j) = static_cast<double>(q(i, j) - 2.0L * s / hh * h[i]);
  }
}

TEST(DecomposeSvd, RandomFitShapedMatricesDecompose) {
  for (int n = 1; n <= 30; ++n) {
    const std::uint64_t seed = 1000 + n;
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n);
    test::Random r(seed);
    const int m = 5 * n;
    const Matrix a = test::RandomMatrix(r, m, n);
    const Decomposition d = Decompose(a, m, n);
    ASSERT_EQ(d.status, SvdStatus::Decomposed);
    // Rounding of a few eps times the dimension is the most a backward-stable method leaves.
    EXPECT_TRUE(IsSmallRelative(test::ReconstructionError(a, d.u, d.w, d.v, m, n), 1.0, 1e-12,
                                "U diag(w) V^T against A"));
    EXPECT_TRUE(IsSmallRelative(test::OrthonormalityError(d.u, m, n), 1.0, 1e-12, "U^T U"));
    EXPECT_TRUE(IsSmallRelative(test::OrthonormalityError(d.v, n, n), 1.0, 1e-12, "V^T V"));
    for (int j = 1; j <= n; ++j) EXPECT_GE(d.w[j], 0.0) << "w(" << j << ")";
  }
}

TEST(DecomposeSvd, KnownSingularValuesAreFound) {
  // A = H1 [diag(sigma); 0] H2 with reflectors H1, H2 has exactly the singular values sigma.
  for (int n : {2, 6, 13, 30}) {
    const std::uint64_t seed = 2000 + n;
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n);
    test::Random r(seed);
    const int m = 5 * n;
    std::vector<double> sigma;
    for (int j = 1; j <= n; ++j)
      sigma.push_back(std::ldexp(1.0, r.Index(-10, 10)) * r.Uniform(1.0, 2.0));
    Matrix a(m, n);
    for (int j = 1; j <= n; ++j) a(j, j) = sigma[j - 1];
    for (int pass = 0; pass < 2; ++pass) {
      std::vector<long double> h(m + 1, 0.0L);
      for (int i = 1; i <= m; ++i) h[i] = r.Uniform(-1.0, 1.0);
      Reflect(a, m, n, h);
    }
    // From the right: A H2 = (H2 A^T)^T, done on the transpose.
    Matrix t(n, m);
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) t(j, i) = a(i, j);
    std::vector<long double> h(n + 1, 0.0L);
    for (int i = 1; i <= n; ++i) h[i] = r.Uniform(-1.0, 1.0);
    Reflect(t, n, m, h);
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) a(i, j) = t(j, i);

    const Decomposition d = Decompose(a, m, n);
    ASSERT_EQ(d.status, SvdStatus::Decomposed);
    std::vector<double> w(d.w.begin() + 1, d.w.begin() + 1 + n);
    std::sort(w.begin(), w.end());
    std::sort(sigma.begin(), sigma.end());
    const double largest = sigma.back();
    // Singular values are perturbed by at most about eps * |A| each.
    for (int j = 0; j < n; ++j) EXPECT_TRUE(IsClose(w[j], sigma[j], 1e-13, largest)) << j;
  }
}

TEST(DecomposeSvd, DiagonalMatricesKeepColumnOrder) {
  struct Case {
    double d[3];
    double w[3];
  } cases[] = {{{3, -2, 0}, {3, 2, 0}}, {{1, 3, 2}, {1, 3, 2}}, {{-0.5, 0, 4}, {0.5, 0, 4}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.d[0] << " " << c.d[1] << " " << c.d[2]);
    Matrix a(3, 3);
    for (int j = 1; j <= 3; ++j) a(j, j) = c.d[j - 1];
    const Decomposition d = Decompose(a, 3, 3);
    ASSERT_EQ(d.status, SvdStatus::Decomposed);
    // A diagonal matrix is already bidiagonal with a zero superdiagonal: no QR step happens
    // and the magnitudes come through the Householder step exactly, unsorted.
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
  EXPECT_TRUE(IsClose(d.w[1], 13.0, 2e-16));
  EXPECT_EQ(std::fabs(d.v(1, 1)), 1.0);
  for (int i = 1; i <= 5; ++i)
    EXPECT_TRUE(IsClose(d.u(i, 1) * d.v(1, 1), col[i - 1] / 13.0, 4e-16, 1.0)) << i;
}

TEST(DecomposeSvd, FewerRowsThanColumnsIsRefusedUntouched) {
  Matrix a(2, 3);
  for (int i = 0; i <= 2; ++i)
    for (int j = 0; j <= 3; ++j) a(i, j) = 10 * i + j;
  Vector w = {-1.0, -2.0};
  Matrix v(1, 1);
  v(1, 1) = 42.0;
  Matrix a_before = a;
  EXPECT_EQ(DecomposeSvd(a, 2, 3, w, v), SvdStatus::NeedsMoreRows);
  for (int i = 0; i <= 2; ++i)
    for (int j = 0; j <= 3; ++j) EXPECT_EQ(a(i, j), a_before(i, j));
  EXPECT_EQ(w, (Vector{-1.0, -2.0}));
  EXPECT_EQ(v.Rows(), 1);
  EXPECT_EQ(v(1, 1), 42.0);
}

TEST(DecomposeSvd, MessagesAreTheProgramsTexts) {
  EXPECT_EQ(std::string(SvdMessage(SvdStatus::NeedsMoreRows)),
            "You must augment a with extra zero rows.");
  EXPECT_EQ(std::string(SvdMessage(SvdStatus::NoConvergence)), "No convergence in 30 iterations");
}

TEST(DecomposeSvd, MatrixOfChosenRankStillReconstructs) {
  for (int n : {2, 5, 12, 30}) {
    for (int rank : {1, n / 2, n - 1}) {
      if (rank < 1) continue;
      const std::uint64_t seed = 3000 + 100 * n + rank;
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n << ", rank " << rank);
      test::Random r(seed);
      const int m = 5 * n;
      const Matrix b = test::RandomMatrix(r, m, rank);
      const Matrix c = test::RandomMatrix(r, rank, n);
      Matrix a(m, n);
      for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= n; ++j) {
          long double s = 0.0L;
          for (int k = 1; k <= rank; ++k) s += static_cast<long double>(b(i, k)) * c(k, j);
          a(i, j) = static_cast<double>(s);
        }
      const Decomposition d = Decompose(a, m, n);
      ASSERT_EQ(d.status, SvdStatus::Decomposed);
      EXPECT_TRUE(IsSmallRelative(test::ReconstructionError(a, d.u, d.w, d.v, m, n), 1.0, 1e-12,
                                  "U diag(w) V^T against A"));
      EXPECT_TRUE(IsSmallRelative(test::OrthonormalityError(d.v, n, n), 1.0, 1e-12, "V^T V"));
      // Columns of U belonging to a (near) zero singular value may be anything, but the
      // others must be orthonormal; check all that carry weight.
      const double largest = *std::max_element(d.w.begin() + 1, d.w.end());
      int negligible = 0;
      for (int j = 1; j <= n; ++j) negligible += d.w[j] <= 1e-13 * largest ? 1 : 0;
      EXPECT_EQ(negligible, n - rank);
    }
  }
}

TEST(DecomposeSvd, ExtremeScalesDecomposeAlike) {
  // The rotations take square roots of plain sums of squares. At 1e150 the squares stay
  // below overflow; at 1e-150 the converging off-diagonal values square into subnormal
  // numbers and lose a few bits, so the bound there is wider.
  struct Scale {
    double factor, tol;
  };
  for (const Scale& sc : {Scale{1e-150, 1e-10}, Scale{1e150, 1e-12}}) {
    const double scale = sc.factor;
    const double tol = sc.tol;
    for (int n : {1, 4, 13, 30}) {
      const std::uint64_t seed = 4000 + n;
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n << ", scale " << scale);
      test::Random r(seed);
      const int m = 5 * n;
      const Matrix base = test::RandomMatrix(r, m, n);
      Matrix a = base;
      for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= n; ++j) a(i, j) *= scale;
      const Decomposition d = Decompose(a, m, n);
      ASSERT_EQ(d.status, SvdStatus::Decomposed);
      EXPECT_TRUE(IsSmallRelative(test::ReconstructionError(a, d.u, d.w, d.v, m, n), 1.0, tol,
                                  "U diag(w) V^T against A"));
      EXPECT_TRUE(IsSmallRelative(test::OrthonormalityError(d.u, m, n), 1.0, tol, "U^T U"));
      EXPECT_TRUE(IsSmallRelative(test::OrthonormalityError(d.v, n, n), 1.0, tol, "V^T V"));
      // Singular values scale with the matrix.
      const Decomposition unscaled = Decompose(base, m, n);
      std::vector<double> w1(d.w.begin() + 1, d.w.end()),
          w0(unscaled.w.begin() + 1, unscaled.w.end());
      std::sort(w1.begin(), w1.end());
      std::sort(w0.begin(), w0.end());
      for (int j = 0; j < n; ++j) EXPECT_TRUE(IsClose(w1[j] / scale, w0[j], tol, w0.back())) << j;
    }
  }
}

TEST(DecomposeSvd, SquaresOutOfRangeEndInNoConvergence) {
  // At 1e-170 every square in a rotation underflows to zero, at 1e160 it overflows: the
  // rotations become NaN and the iteration cannot converge. The caller learns it from the
  // status instead of receiving a silently wrong fit.
  for (double scale : {1e-170, 1e160}) {
    for (int n : {2, 4, 13}) {
      SCOPED_TRACE(testing::Message() << "seed " << 4000 + n << ", n " << n << ", scale " << scale);
      test::Random r(4000 + n);
      Matrix a = test::RandomMatrix(r, 5 * n, n);
      for (int i = 1; i <= 5 * n; ++i)
        for (int j = 1; j <= n; ++j) a(i, j) *= scale;
      EXPECT_EQ(Decompose(a, 5 * n, n).status, SvdStatus::NoConvergence);
    }
  }
}

TEST(DecomposeSvd, NotANumberInTheInputEndsWithoutRunningOffTheArrays) {
  // Nothing in the fit guards its input; a NaN must still leave the routine in bounds and be
  // visible to the caller, either as a refused convergence or in the values.
  for (int n : {1, 3, 8}) {
    SCOPED_TRACE(n);
    test::Random r(5000 + n);
    Matrix a = test::RandomMatrix(r, 5 * n, n);
    a(2, 1) = std::numeric_limits<double>::quiet_NaN();
    const Decomposition d = Decompose(a, 5 * n, n);
    bool nan_seen = false;
    for (int j = 1; j <= n; ++j) nan_seen = nan_seen || std::isnan(d.w[j]);
    EXPECT_TRUE(d.status == SvdStatus::NoConvergence || nan_seen);
  }
}

}  // namespace
}  // namespace kolvane
