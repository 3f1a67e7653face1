// The two solvers of the program. The fixed-wavelength Gaussian elimination: its codes,
// pivoting rules and the state it leaves behind on systems worked by hand, and the
// eliminate-once path, which must give the very bits of a full solve so that results never
// depend on the path a run took. Both solvers on systems whose answer is known by
// construction: square systems with their rows shuffled, least-squares fits whose residual is
// built orthogonal to the fit matrix, exact power-of-two scalings. Then what only the
// decomposition does: the chosen rank, the singular values of diagonal matrices, and the
// inputs it refuses. Random cases print their seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "numeric/gauss.h"
#include "numeric/svd.h"
#include "support/table.h"

namespace kolvane {
namespace {

struct Random {
  std::mt19937_64 engine;
  double Uniform(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine);
  }
  int Index(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine); }
  // m x n, 1-based, entries uniform in [-1, 1].
  Matrix Entries(int m, int n) {
    Matrix a(m, n);
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) a(i, j) = Uniform(-1.0, 1.0);
    return a;
  }
};

// A B over rows 1..m, inner dimension 1..k, columns 1..n (a vector is an n = 1 matrix).
Matrix Multiply(const Matrix& a, const Matrix& b, int m, int k, int n) {
  Matrix c(m, n);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      long double s = 0.0L;
      for (int l = 1; l <= k; ++l) s += static_cast<long double>(a(i, l)) * b(l, j);
      c(i, j) = static_cast<double>(s);
    }
  return c;
}

// max |a(i,j) - b(i,j)| over rows 1..m, columns 1..n.
double MaxDiff(const Matrix& a, const Matrix& b, int m, int n) {
  double d = 0.0;
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) d = std::max(d, std::fabs(a(i, j) - b(i, j)));
  return d;
}

using Rows = std::vector<std::vector<double>>;

// Every slot holds a recognisable value, so untouched entries can be seen.
GaussSystem Marked() {
  GaussSystem s;
  for (int i = 0; i < kSolveDim; ++i) {
    for (int j = 0; j < kSolveDim; ++j) s.SolveMatrix[i][j] = 1000.0 * i + j + 0.5;
    s.SolveRhs[i] = -1.0 - i;
    s.SolveX[i] = 7.0 + i;
  }
  return s;
}

// A matrix cell of the table: rows separated by ";".
Rows MatrixCell(const std::string& cell) {
  Rows rows;
  std::istringstream in(cell);
  for (std::string row; std::getline(in, row, ';');) rows.push_back(Numbers(row));
  return rows;
}

// The systems of tests/data/numeric/gauss.tsv: the code, the unknowns and the matrix left behind.
TEST(GaussSolve, HandWorkedSystems) {
  for (const TableRow& c : ReadTable("numeric/gauss.tsv")) {
    SCOPED_TRACE(c[0]);
    const Rows a = MatrixCell(c[1]), after = MatrixCell(c[5]);
    const std::vector<double> b = Numbers(c[2]), x = Numbers(c[4]);
    const int n = static_cast<int>(a.size());
    GaussSystem s = Marked();
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) s.SolveMatrix[i][j] = a[i - 1][j - 1];
      s.SolveRhs[i] = b[i - 1];
    }
    std::int16_t code = 99;
    GaussSolve(s, static_cast<std::int16_t>(n), code);
    EXPECT_EQ(code, std::stoi(c[3]));
    for (int i = 1; i < kSolveDim; ++i) {
      const double want = !x.empty() && i <= n ? x[i - 1] : 7.0 + i;
      EXPECT_NEAR(s.SolveX[i], want, Number(c[6]) * std::fabs(want)) << "x(" << i << ")";
    }
    for (int i = 1; i <= static_cast<int>(after.size()); ++i)
      for (int j = 1; j <= n; ++j)
        EXPECT_EQ(s.SolveMatrix[i][j], after[i - 1][j - 1]) << "A(" << i << "," << j << ")";
  }
}

TEST(GaussSolve, NothingToSolveLeavesEveryArrayAlone) {
  // 32 and more would run past the arrays; they are refused like an empty system.
  for (std::int16_t n : {0, -1, -32768, 32, 100}) {
    GaussSystem s = Marked();
    const GaussSystem before = s;
    std::int16_t code = 99, factored = 99;
    GaussSolve(s, n, code);
    GaussFactors f;
    GaussFactor(before.SolveMatrix, n, f);
    GaussSolveFactored(f, s.SolveRhs, s.SolveX, factored);
    EXPECT_EQ(code * 10 + factored, 11) << n;
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << n;
  }
}

// Matrices that drive the elimination down all its branches: dense, sparse (rows skipped),
// entries at and around the tolerance, singular (a repeated row or a zero column), a
// permutation, and a column below the tolerance everywhere (an exchange without elimination).
// For every right-hand side the factored solve, alone or in a pair, gives the full solve's
// code and bits.
TEST(GaussFactor, FactoredSolvesMatchTheFullSolveBitForBit) {
  for (std::uint64_t seed = 1; seed <= 600; ++seed) {
    Random r{std::mt19937_64(seed)};
    const auto n = static_cast<std::int16_t>(1 + seed % 31);
    const int kind = static_cast<int>(seed % 6), p = r.Index(1, n), q = r.Index(1, n);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n << ", kind " << kind);
    GaussSystem s;
    auto& a = s.SolveMatrix;
    const double tiny[] = {1e-15, -1e-15, 2e-15, 5e-16, 0.0};
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        a[i][j] = kind == 4 ? 0.0 : r.Uniform(-1.0, 1.0);
        if (kind == 1 && i != j && r.Index(0, 3) != 0) a[i][j] = 0.0;
        if (kind == 2 && r.Index(0, 1)) a[i][j] = tiny[r.Index(0, 4)];
      }
      if (kind == 4) a[i][n + 1 - i] = r.Index(0, 1) ? 1.0 : -2.0;
    }
    for (int i = 1; i <= n; ++i) {
      if (kind == 3 && p % 2 && n >= 2) a[q][i] = a[p][i];
      if (kind == 3 && !(p % 2 && n >= 2)) a[i][q] = 0.0;
      if (kind == 5) a[i][q] = r.Uniform(-1e-15, 1e-15) * 0.5;
    }
    GaussFactors f;
    GaussFactor(a, n, f);
    const GaussSystem matrix = s;
    // Two right-hand sides (the second with zeros), each solved fully, alone and in a pair.
    double rhs[2][kSolveDim], full[2][kSolveDim], alone[2][kSolveDim], pair[2][kSolveDim];
    std::int16_t codes[5] = {99, 99, 99, 99, 99};
    for (int t = 0; t < 2; ++t) {
      for (int i = 0; i < kSolveDim; ++i) rhs[t][i] = t && i % 3 == 0 ? 0 : r.Uniform(-1e3, 1e3);
      for (int i = 0; i < kSolveDim; ++i) alone[t][i] = pair[t][i] = 7.25;
      s = matrix;
      std::memcpy(s.SolveRhs, rhs[t], sizeof rhs[t]);
      std::memcpy(s.SolveX, alone[t], sizeof alone[t]);
      GaussSolve(s, n, codes[t]);
      std::memcpy(full[t], s.SolveX, sizeof full[t]);
      GaussSolveFactored(f, rhs[t], alone[t], codes[2 + t]);
    }
    GaussSolveFactoredPair(f, rhs[0], rhs[1], pair[0], pair[1], codes[4]);
    ASSERT_TRUE(std::count(codes, codes + 5, f.code) == 5);
    EXPECT_EQ(std::memcmp(alone, full, sizeof full), 0) << "alone";
    EXPECT_EQ(std::memcmp(pair, full, sizeof full), 0) << "pair";
  }
}

// Both solvers through one signature: A x = b over rows 1..m, columns 1..n; false if refused.
bool ByGauss(const Matrix& a, int m, int n, const Matrix& b, Matrix& x) {
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
bool BySvd(const Matrix& a, int m, int n, const Matrix& b, Matrix& x) {
  Matrix u = a, v;
  Vector w, bv(m + 1), xv;
  const auto rows = static_cast<std::int16_t>(m), cols = static_cast<std::int16_t>(n);
  if (DecomposeSvd(u, rows, cols, w, v) != SvdStatus::Decomposed) return false;
  for (int i = 1; i <= m; ++i) bv[i] = b(i, 1);
  SvdBackSubstitute(u, w, v, rows, cols, bv, xv);
  for (int j = 1; j <= n; ++j) x(j, 1) = xv[j];
  return true;
}

// A = copies stacked blocks of one well-posed square B, rows shuffled; b = A x + d, where the
// copies' parts of d sum to zero (none for a square system), so A^T d = 0 and x is the
// least-squares answer with the residual d. Scaled by 2^300 or 2^-300 (exact), the answer keeps
// its bits.
// The least squares of the decomposition take several copies; Gauss's absolute pivot test
// refuses the tiny scaling.
TEST(Solvers, ConstructedSystemsGiveTheirAnswer) {
  for (std::uint64_t seed = 1; seed <= 180; ++seed) {
    const bool svd = seed % 2;
    const auto solve = svd ? BySvd : ByGauss;
    const int n = static_cast<int>(1 + seed / 2 % 30), copies = svd ? seed / 2 % 4 + 1 : 1;
    const int m = copies * n;
    SCOPED_TRACE(testing::Message()
                 << (svd ? "svd" : "gauss") << " seed " << seed << ", " << m << " x " << n);
    Random r{std::mt19937_64(seed)};
    Matrix square = r.Entries(n, n), a(m, n), b(m, 1), d(m, 1), x(n, 1);
    for (int i = 1; i <= n; ++i) square(i, i) += (i % 2 ? 1.0 : -1.0) * n;
    const Matrix truth = r.Entries(n, 1), exact = Multiply(square, truth, n, n, 1);
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
    ASSERT_TRUE(solve(a, m, n, b, x));
    EXPECT_LE(MaxDiff(x, truth, n, 1), 1e-13) << "x";
    Matrix residual = Multiply(a, x, m, n, 1);
    for (int i = 1; i <= m; ++i) residual(i, 1) = b(i, 1) - residual(i, 1);
    EXPECT_LE(MaxDiff(residual, d, m, 1), 1e-13) << "b - A x";
    for (double scale : {0x1p300, 0x1p-300}) {
      Matrix scaled_a = a, scaled_b = b, y(n, 1);
      for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= n; ++j) scaled_a(i, j) *= scale;
        scaled_b(i, 1) *= scale;
      }
      const bool refused = !svd && scale < 1;
      ASSERT_EQ(solve(scaled_a, m, n, scaled_b, y), !refused) << scale;
      EXPECT_TRUE(refused || MaxDiff(x, y, n, 1) == 0.0) << scale;
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
// A = B C of the chosen rank (B 5n x rank, C rank x n): U diag(w) V^T gives A back and
// exactly n - rank singular values are negligible.
TEST(DecomposeSvd, ChosenRankShowsInTheSingularValues) {
  for (int n : {1, 2, 5, 12, 30}) {
    for (int rank : {n, n - 1, n / 2, 1}) {
      if (rank < 1) continue;
      const int m = 5 * n;
      SCOPED_TRACE(testing::Message() << "n " << n << ", rank " << rank);
      Random r{std::mt19937_64(100 * n + rank)};
      const Matrix a = Multiply(r.Entries(m, rank), r.Entries(rank, n), m, rank, n);
      const Decomposition d = Decompose(a, m, n);
      ASSERT_EQ(d.status, SvdStatus::Decomposed);
      Matrix uw = d.u, vt(n, n);
      for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= n; ++j) uw(i, j) *= d.w[j];
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) vt(i, j) = d.v(j, i);
      EXPECT_LE(MaxDiff(Multiply(uw, vt, m, n, n), a, m, n), 1e-13 * n);
      const double largest = *std::max_element(d.w.begin() + 1, d.w.begin() + 1 + n);
      EXPECT_EQ(std::count_if(d.w.begin() + 1, d.w.begin() + 1 + n,
                              [&](double w) { return w <= 1e-13 * largest; }),
                n - rank);
      EXPECT_GE(*std::min_element(d.w.begin() + 1, d.w.begin() + 1 + n), 0.0);
    }
  }
}

// The diagonal matrices of tests/data/numeric/svd.tsv: singular values and answers.
TEST(DecomposeSvd, DiagonalMatricesAndTheZeroSingularValue) {
  for (const TableRow& c : ReadTable("numeric/svd.tsv")) {
    SCOPED_TRACE(c[0]);
    const std::vector<double> diagonal = Numbers(c[0]), w = Numbers(c[1]), rhs = Numbers(c[2]),
                              answer = Numbers(c[3]);
    Matrix a(3, 3), b(3, 1), x(3, 1);
    for (int j = 1; j <= 3; ++j) a(j, j) = diagonal[j - 1], b(j, 1) = rhs[j - 1];
    const Decomposition d = Decompose(a, 3, 3);
    ASSERT_EQ(d.status, SvdStatus::Decomposed);
    ASSERT_TRUE(BySvd(a, 3, 3, b, x));
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(d.w[j], w[j - 1]) << "w" << j;
      EXPECT_NEAR(x(j, 1), answer[j - 1], 1e-15) << "x" << j;
    }
  }
}

TEST(DecomposeSvd, UnusableInputIsReportedNotFitted) {
  Matrix a(2, 3), v(1, 1);
  a(2, 3) = 5;
  Vector w = {-1.0, -2.0};
  EXPECT_EQ(DecomposeSvd(a, 2, 3, w, v), SvdStatus::NeedsMoreRows);
  EXPECT_TRUE(a(2, 3) == 5 && w == (Vector{-1.0, -2.0}) && v.Rows() == 1);
  // At 1e-170 every square in a rotation underflows, at 1e160 it overflows: the iteration
  // cannot converge and the caller learns it from the status. A NaN stays in bounds and shows.
  for (int n : {2, 4, 13}) {
    Random r{std::mt19937_64(4000 + n)};
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
