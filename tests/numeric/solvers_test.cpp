// Both solvers on systems whose answer is known by construction: square systems with their
// rows shuffled, least-squares fits whose residual is built orthogonal to the fit matrix,
// exact power-of-two scalings; then what only the decomposition does: the chosen rank, the
// singular values of diagonal matrices, and the inputs it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "numeric/gauss.h"
#include "numeric/numeric_support.h"
#include "numeric/svd.h"

namespace kolvane {
namespace {

struct ByGauss {
  static constexpr bool kLeastSquares = false, kRefusesTiny = true;  // an absolute pivot test
  static bool Solve(const Matrix& a, int m, int n, const Matrix& b, Matrix& x) {
    GaussSystem s;
    for (int i = 1; i <= m; ++i) {
      for (int j = 1; j <= n; ++j) s.SolveMatrix[i][j] = a(i, j);
      s.SolveRhs[i] = b(i, 1);
    }
    std::int16_t code = 99;
    GaussSolve(s, static_cast<std::int16_t>(n), code);
    for (int j = 1; j <= n; ++j) x(j, 1) = s.SolveX[j];
    return code == 0;
  }
};

struct BySvd {
  static constexpr bool kLeastSquares = true, kRefusesTiny = false;
  static bool Solve(const Matrix& a, int m, int n, const Matrix& b, Matrix& x) {
    Matrix u = a, v;
    Vector w, bv(m + 1), xv;
    const auto rows = static_cast<std::int16_t>(m), cols = static_cast<std::int16_t>(n);
    if (DecomposeSvd(u, rows, cols, w, v) != SvdStatus::Decomposed) return false;
    for (int i = 1; i <= m; ++i) bv[i] = b(i, 1);
    SvdBackSubstitute(u, w, v, rows, cols, bv, xv);
    for (int j = 1; j <= n; ++j) x(j, 1) = xv[j];
    return true;
  }
};

template <typename S>
class Solvers : public ::testing::Test {};
using Both = ::testing::Types<ByGauss, BySvd>;
TYPED_TEST_SUITE(Solvers, Both);

// A = copies stacked blocks of one well-posed square B, rows shuffled; b = A x + d, where the
// copies' parts of d sum to zero (none for a square system), so A^T d = 0 and x is the
// least-squares answer with the residual d. Scaled by 2^300 or 2^-300 (exact), the answer keeps
// its bits.
TYPED_TEST(Solvers, ConstructedSystemsGiveTheirAnswer) {
  for (std::uint64_t seed = 1; seed <= 90; ++seed) {
    const int n = static_cast<int>(1 + seed % 30),
              copies = TypeParam::kLeastSquares ? seed % 4 + 1 : 1;
    const int m = copies * n;
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << m << " x " << n);
    test::Random r(seed);
    Matrix square = r.Entries(n, n), a(m, n), b(m, 1), d(m, 1), x(n, 1);
    for (int i = 1; i <= n; ++i) square(i, i) += (i % 2 ? 1.0 : -1.0) * n;
    const Matrix truth = r.Entries(n, 1), exact = test::Multiply(square, truth, n, n, 1);
    std::vector<int> order(m);
    for (int i = 0; i < m; ++i) order[i] = i;
    for (int i = m - 1; i >= 1; --i) std::swap(order[i], order[r.Index(0, i)]);
    for (int i = 1; i <= m; ++i) {
      const int source = order[i - 1] % n + 1, copy = order[i - 1] / n;
      for (int j = 1; j <= n; ++j) a(i, j) = square(source, j);
      // Copy c < copies - 1 adds (c + 1) e, the last takes -(1 + ... + copies - 1) e.
      const double e = 0.01 * std::sin(37.0 * source), c = copy + 1.0;
      d(i, 1) = copies == 1 ? 0.0 : copy < copies - 1 ? c * e : -(c - 1) * c / 2 * e;
      b(i, 1) = exact(source, 1) + d(i, 1);
    }
    ASSERT_TRUE(TypeParam::Solve(a, m, n, b, x));
    EXPECT_LE(test::MaxDiff(x, truth, n, 1), 1e-13) << "x";
    Matrix residual = test::Multiply(a, x, m, n, 1);
    for (int i = 1; i <= m; ++i) residual(i, 1) = b(i, 1) - residual(i, 1);
    EXPECT_LE(test::MaxDiff(residual, d, m, 1), 1e-13) << "b - A x";
    for (double scale : {0x1p300, 0x1p-300}) {
      Matrix scaled_a = a, scaled_b = b, y(n, 1);
      for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n; ++j) scaled_a(i, j) *= scale;
        scaled_b(i, 1) *= scale;
      }
      const bool refused = TypeParam::kRefusesTiny && scale < 1;
      ASSERT_EQ(TypeParam::Solve(scaled_a, m, n, scaled_b, y), !refused) << scale;
      EXPECT_TRUE(refused || test::MaxDiff(x, y, n, 1) == 0.0) << scale;
    }
  }
}

struct Decomposition {
  Matrix u, v;
  Vector w;
  SvdStatus status;
};
Decomposition Decompose(const Matrix& a, int m, int n) {
  Decomposition d{a, Matrix(), Vector(), SvdStatus::NoConvergence};
  const auto rows = static_cast<std::int16_t>(m), cols = static_cast<std::int16_t>(n);
  d.status = DecomposeSvd(d.u, rows, cols, d.w, d.v);
  return d;
}
double OrthonormalityError(const Matrix& q, int rows, int n) {
  Matrix qt(n, rows), identity(n, n);
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= n; ++j) qt(j, i) = q(i, j);
  for (int j = 1; j <= n; ++j) identity(j, j) = 1.0;
  return test::MaxDiff(test::Multiply(qt, q, n, rows, n), identity, n, n);
}

// A = B C of the chosen rank (B 5n x rank, C rank x n): U diag(w) V^T gives A back, V and (at
// full rank) U are orthonormal, and exactly n - rank singular values are negligible.
TEST(DecomposeSvd, ChosenRankShowsInTheSingularValues) {
  for (int n : {1, 2, 5, 12, 30}) {
    for (int rank : {n, n - 1, n / 2, 1}) {
      if (rank < 1) continue;
      const int m = 5 * n;
      SCOPED_TRACE(testing::Message() << "n " << n << ", rank " << rank);
      test::Random r(100 * n + rank);
      const Matrix a = test::Multiply(r.Entries(m, rank), r.Entries(rank, n), m, rank, n);
      const Decomposition d = Decompose(a, m, n);
      ASSERT_EQ(d.status, SvdStatus::Decomposed);
      Matrix uw = d.u, vt(n, n);
      for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= n; ++j) uw(i, j) *= d.w[j];
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) vt(i, j) = d.v(j, i);
      EXPECT_LE(test::MaxDiff(test::Multiply(uw, vt, m, n, n), a, m, n), 1e-13 * n);
      EXPECT_LE(OrthonormalityError(d.v, n, n), 1e-13);
      EXPECT_TRUE(rank < n || OrthonormalityError(d.u, m, n) <= 1e-13);
      const double largest = *std::max_element(d.w.begin() + 1, d.w.begin() + 1 + n);
      EXPECT_EQ(std::count_if(d.w.begin() + 1, d.w.begin() + 1 + n,
                              [&](double w) { return w <= 1e-13 * largest; }),
                n - rank);
      EXPECT_GE(*std::min_element(d.w.begin() + 1, d.w.begin() + 1 + n), 0.0);
    }
  }
}

// A diagonal matrix is already bidiagonal: the singular values are the magnitudes, exact and in
// column order. The back substitution drops only an exactly zero one (x(3) = 0 whatever b(3)),
// and inverts 1e-300 like any other.
TEST(DecomposeSvd, DiagonalMatricesAndTheZeroSingularValue) {
  const struct {
    double d[3], w[3], b[3], x[3];
  } cases[] = {{{3, -2, 0}, {3, 2, 0}, {6, 4, 5}, {2, -2, 0}},
               {{1, 3, 2}, {1, 3, 2}, {1, 3, 2}, {1, 1, 1}},
               {{-0.5, 0, 4}, {0.5, 0, 4}, {1, 9, -2}, {-2, 0, -0.5}},
               {{1, 1e-300, 1}, {1, 1e-300, 1}, {1, 1e-300, 1}, {1, 1, 1}}};
  for (const auto& c : cases) {
    Matrix a(3, 3), b(3, 1), x(3, 1);
    for (int j = 1; j <= 3; ++j) a(j, j) = c.d[j - 1], b(j, 1) = c.b[j - 1];
    const Decomposition d = Decompose(a, 3, 3);
    ASSERT_EQ(d.status, SvdStatus::Decomposed);
    ASSERT_TRUE(BySvd::Solve(a, 3, 3, b, x));
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(d.w[j], c.w[j - 1]) << c.d[0] << " " << c.d[1] << " " << c.d[2] << ": w" << j;
      EXPECT_NEAR(x(j, 1), c.x[j - 1], 1e-15) << c.d[0] << " " << c.d[1] << ": x" << j;
    }
  }
}

TEST(DecomposeSvd, UnusableInputIsReportedNotFitted) {
  Matrix a(2, 3), v(1, 1);
  a(2, 3) = 5;
  Vector w = {-1.0, -2.0};
  EXPECT_EQ(DecomposeSvd(a, 2, 3, w, v), SvdStatus::NeedsMoreRows);
  EXPECT_TRUE(a(2, 3) == 5 && w == (Vector{-1.0, -2.0}) && v.Rows() == 1);
  EXPECT_EQ(std::string(SvdMessage(SvdStatus::NeedsMoreRows)),
            "You must augment a with extra zero rows.");
  EXPECT_EQ(std::string(SvdMessage(SvdStatus::NoConvergence)), "No convergence in 30 iterations");
  // At 1e-170 every square in a rotation underflows, at 1e160 it overflows: the iteration
  // cannot converge and the caller learns it from the status. A NaN stays in bounds and shows.
  for (int n : {2, 4, 13}) {
    test::Random r(4000 + n);
    for (double scale : {1e-170, 1e160, std::numeric_limits<double>::quiet_NaN()}) {
      Matrix big = r.Entries(5 * n, n);
      for (int i = 1; i <= 5 * n; ++i)
        for (int j = 1; j <= n; ++j) big(i, j) *= std::isnan(scale) && i + j > 3 ? 1 : scale;
      const Decomposition d = Decompose(big, 5 * n, n);
      EXPECT_TRUE(d.status == SvdStatus::NoConvergence ||
                  (std::isnan(scale) &&
                   std::any_of(d.w.begin(), d.w.end(), [](double w) { return std::isnan(w); })))
          << n << " " << scale;
    }
  }
}

}  // namespace
}  // namespace kolvane
