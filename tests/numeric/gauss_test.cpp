// The fixed-wavelength solver: its codes, pivoting rules and the state it leaves behind on
// systems worked by hand, random systems by their residual, and the eliminate-once path, which
// must give the very bits of a full solve so that results never depend on the path a run took.
#include "numeric/gauss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "numeric/numeric_support.h"

namespace kolvane {
namespace {

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

void Load(GaussSystem& s, const Rows& a, const std::vector<double>& b) {
  for (size_t i = 0; i < a.size(); ++i) {
    for (size_t j = 0; j < a.size(); ++j) s.SolveMatrix[i + 1][j + 1] = a[i][j];
    s.SolveRhs[i + 1] = b[i];
  }
}

TEST(GaussSolve, HandWorkedSystems) {
  const double tol = PivotTolerance, below = std::nextafter(tol, 0.0);
  const double above = std::nextafter(tol, 1.0);
  const Rows zero_col = {{1, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 1, 0}, {0, 0, 3, 1}};
  struct Case {
    const char* name;
    Rows a;
    std::vector<double> b;
    std::int16_t code;
    std::vector<double> x;  // empty: SolveX left as it was
    Rows after;             // the matrix left behind; empty: not checked
    double rel = 0.0;       // 0: x exact
  } cases[] = {
      // clang-format off
      {"1x1 zero", {{0.0}}, {1}, 2, {}, {}},
      {"1x1 minus zero", {{-0.0}}, {1}, 2, {}, {}},
      {"1x1 just below the tolerance", {{below}}, {1}, 2, {}, {}},
      {"1x1 just below, negative", {{-below}}, {1}, 2, {}, {}},
      {"1x1 exactly the tolerance", {{tol}}, {2 * tol}, 0, {2}, {}},
      {"1x1 minus the tolerance", {{-tol}}, {4 * tol}, 0, {-4}, {}},
      {"1x1 plain", {{4}}, {10}, 0, {2.5}, {}},
      {"rows exchanged", {{0, 1}, {1, 0}}, {3, 4}, 0, {4, 3}, {{1, 0}, {0, 1}}},
      {"diagonal tie keeps the diagonal row", {{1, 5}, {-1, 3}}, {1, 1}, 0, {-0.25, 0.25},
       {{1, 5}, {0, 8}}},
      // Rows 2 and 3 tie in column 1 and row 2 comes up; column 2 ties on the diagonal.
      {"tie below the diagonal: upper row", {{0.5, 1, 0}, {2, 0, 1}, {-2, 1, 1}}, {2.5, 5, 3}, 0,
       {1, 2, 3}, {{2, 0, 1}, {0, 1, -0.25}, {0, 0, 2.25}}},
      {"lower entry of exactly the tolerance is left alone", {{1, 1}, {tol, 1}}, {2, 1}, 0, {1, 1},
       {{1, 1}, {tol, 1}}},
      // Eliminated: y = (1 - 2e) / (1 - e), x = 2 - y.
      {"lower entry just above the tolerance is eliminated", {{1, 1}, {above, 1}}, {2, 1}, 0,
       {1 + 1e-15, 1 - 1e-15}, {}, 4e-16},
      // The exchanged pivot 1e-16 is not tested; the back substitution divides by it.
      {"pivot brought up by an exchange is not tested", {{1e-17, 1}, {1e-16, 2}}, {1, 3}, 0,
       {1.0 / 1e-16, 1}, {{1e-16, 2}, {1e-17, 1}}},
      // Column 2 is zero from the diagonal down; had column 3 been processed, rows 3 and 4 would
      // have been exchanged.
      {"zero column stops the elimination there", zero_col, {1, 2, 3, 4}, 2, {}, zero_col},
      {"last diagonal tested after elimination", {{1, 1}, {1, 1}}, {1, 2}, 2, {}, {{1, 1}, {0, 0}}},
      {"absolute tolerance refuses a tiny system", {{1e-16, 0, 0}, {0, 1e-16, 0}, {0, 0, 1e-16}},
       {1, 1, 1}, 2, {}, {}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int n = static_cast<int>(c.a.size());
    GaussSystem s = Marked();
    Load(s, c.a, c.b);
    std::int16_t code = 99;
    GaussSolve(s, static_cast<std::int16_t>(n), code);
    EXPECT_EQ(code, c.code);
    for (int i = 1; i < kSolveDim; ++i) {
      const bool solved = !c.x.empty() && i <= n;
      const double want = solved ? c.x[i - 1] : 7.0 + i;
      if (solved && c.rel > 0)
        EXPECT_NEAR(s.SolveX[i], want, c.rel * std::fabs(want)) << "x(" << i << ")";
      else
        EXPECT_EQ(s.SolveX[i], want) << "x(" << i << ")";
    }
    for (size_t i = 0; i < c.after.size(); ++i)
      for (int j = 0; j < n; ++j)
        EXPECT_EQ(s.SolveMatrix[i + 1][j + 1], c.after[i][j])
            << "A(" << i + 1 << "," << j + 1 << ")";
  }
}

TEST(GaussSolve, NothingToSolveLeavesEveryArrayAlone) {
  // 32 and more would run past the arrays; they are refused like an empty system.
  for (std::int16_t n : {0, -1, -32768, 32, 100}) {
    GaussSystem s = Marked();
    const GaussSystem before = s;
    std::int16_t code = 99;
    GaussSolve(s, n, code);
    EXPECT_EQ(code, 1) << n;
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << n;
  }
}

TEST(GaussSolve, IdentityGivesRightHandSideWithoutExchange) {
  test::Random r(11);
  for (std::int16_t n = 2; n <= 31; ++n) {
    GaussSystem s;
    for (int i = 1; i <= n; ++i) {
      s.SolveMatrix[i][i] = 1.0;
      s.SolveRhs[i] = r.Uniform(-5.0, 5.0);
    }
    const GaussSystem before = s;
    std::int16_t code = 99;
    GaussSolve(s, n, code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(std::memcmp(s.SolveX + 1, before.SolveRhs + 1, n * sizeof(double)), 0) << n;
    EXPECT_EQ(std::memcmp(s.SolveMatrix, before.SolveMatrix, sizeof s.SolveMatrix), 0) << n;
  }
}

TEST(GaussSolve, SecondRightHandSideNeedsTheMatrixRestored) {
  GaussSystem s;
  Load(s, {{0, 1}, {1, 0}}, {3, 4});
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  s.SolveRhs[1] = 3;
  s.SolveRhs[2] = 4;
  GaussSolve(s, 2, code);  // on the exchanged matrix the answer comes out swapped
  ASSERT_EQ(code, 0);
  EXPECT_EQ(s.SolveX[1], 3.0);
  EXPECT_EQ(s.SolveX[2], 4.0);
}

TEST(GaussSolve, RowExchangeAndRowUpdateSpanTheirColumns) {
  GaussSystem s;
  Load(s, {{0, 1}, {1, 0}}, {3, 4});
  s.SolveMatrix[1][31] = 131;
  s.SolveMatrix[2][31] = 231;
  s.SolveMatrix[1][17] = 117;
  s.SolveMatrix[1][0] = -10;
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  ASSERT_EQ(code, 0);
  EXPECT_EQ(s.SolveMatrix[1][31], 231.0);  // exchanged over columns 1..31
  EXPECT_EQ(s.SolveMatrix[2][31], 131.0);
  EXPECT_EQ(s.SolveMatrix[2][17], 117.0);
  EXPECT_EQ(s.SolveMatrix[1][0], -10.0);  // column 0 is not part of the matrix

  s = Marked();
  AddRowMultiple(s, 2.0, 3, 1, 2);  // row 2 += 2 row 1 over columns 1..3 only
  for (int j = 1; j <= 3; ++j)
    EXPECT_EQ(s.SolveMatrix[2][j], (2000.0 + j + 0.5) + 2.0 * (1000.0 + j + 0.5));
  EXPECT_EQ(s.SolveMatrix[2][0], 2000.5);
  EXPECT_EQ(s.SolveMatrix[2][4], 2004.5);
}

TEST(GaussSolve, RandomWellConditionedSystemsHaveSmallResiduals) {
  for (std::uint64_t seed = 1; seed <= 120; ++seed) {
    test::Random r(seed);
    const int n = static_cast<int>(2 + seed % 30);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n);
    // A dominant diagonal keeps the condition near 1; shuffled rows give the pivot search real
    // exchanges to make.
    Matrix a = test::RandomMatrix(r, n, n);
    for (int i = 1; i <= n; ++i) a(i, i) += (i % 2 ? 1.0 : -1.0) * n;
    for (int i = n; i >= 2; --i) {
      const int k = r.Index(1, i);
      for (int j = 1; j <= n; ++j) std::swap(a(i, j), a(k, j));
    }
    const Vector x_true = test::RandomVector(r, n);
    const Vector b = test::Multiply(a, n, n, x_true);
    GaussSystem s;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) s.SolveMatrix[i][j] = a(i, j);
      s.SolveRhs[i] = b[i];
    }
    std::int16_t code = 99;
    GaussSolve(s, static_cast<std::int16_t>(n), code);
    ASSERT_EQ(code, 0);
    const Vector x(s.SolveX, s.SolveX + n + 1);
    // Backward stable: residual of order n eps |A| |x|, with |A| about 2n here.
    EXPECT_LE(test::MaxDiff(test::Multiply(a, n, n, x), b, n),
              1e-14 * 2.0 * n * test::MaxAbs(x, n));
    EXPECT_LE(test::MaxDiff(x, x_true, n), 1e-13 * test::MaxAbs(x_true, n));
  }
}

using Square = double[kSolveDim][kSolveDim];

// Matrices that drive the elimination down its branches: dense, sparse (rows skipped), entries
// at and around the tolerance, singular, a permutation, and a column below the tolerance
// everywhere (an exchange without elimination).
void Fill(Square& a, int n, int kind, test::Random& r) {
  for (int i = 0; i < kSolveDim; ++i)
    for (int j = 0; j < kSolveDim; ++j)
      a[i][j] = !(i >= 1 && i <= n && j >= 1 && j <= n) ? 99.0
                : kind == 4                             ? 0.0
                                                        : r.Uniform(-1.0, 1.0);
  const double tiny[] = {1e-15, -1e-15, 2e-15, 5e-16, 0.0};
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (kind == 1 && i != j && r.Index(0, 3) != 0) a[i][j] = 0.0;
      if (kind == 2 && r.Index(0, 1)) a[i][j] = tiny[r.Index(0, 4)];
    }
    if (kind == 4) a[i][n + 1 - i] = r.Index(0, 1) ? 1.0 : -2.0;
  }
  const int p = r.Index(1, n), q = r.Index(1, n);
  for (int i = 1; i <= n; ++i) {
    if (kind == 3 && n >= 2 && p % 2) a[q][i] = a[p][i];  // a repeated row
    if (kind == 3 && !(n >= 2 && p % 2)) a[i][q] = 0.0;   // or a zero column
    if (kind == 5) a[i][q] = r.Uniform(-1e-15, 1e-15) * 0.5;
  }
}

TEST(GaussFactor, FactoredSolveMatchesFullSolveBitForBit) {
  int exchanges = 0, singular = 0, solved = 0, skipped_rows = 0;
  for (std::uint64_t seed = 1; seed <= 600; ++seed) {
    test::Random r(seed);
    const auto n = static_cast<std::int16_t>(1 + seed % 31);
    const int kind = static_cast<int>(seed % 6);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n << ", kind " << kind);
    Square a;
    Fill(a, n, kind, r);
    GaussFactors f;
    GaussFactor(a, n, f);
    for (int k = 1; k <= f.StepsDone; ++k) {
      exchanges += f.PivotRow[k] != k;
      for (int i = k + 1; i <= n; ++i) skipped_rows += !f.RowEliminated[k][i];
    }
    for (int rhs_no = 0; rhs_no < 4; ++rhs_no) {
      GaussSystem s;
      std::memcpy(s.SolveMatrix, a, sizeof a);
      for (double& v : s.SolveRhs) v = r.Uniform(-100.0, 100.0);
      const double marker = r.Uniform(-1.0, 1.0);
      double rhs[kSolveDim], x[kSolveDim];
      std::memcpy(rhs, s.SolveRhs, sizeof rhs);
      for (int i = 0; i < kSolveDim; ++i) x[i] = s.SolveX[i] = marker;
      std::int16_t full_code = 99, code = 99;
      GaussSolveFactored(f, rhs, x, code);
      EXPECT_EQ(std::memcmp(rhs, s.SolveRhs, sizeof rhs), 0) << "the right-hand side changed";
      GaussSolve(s, n, full_code);
      ASSERT_EQ(code, full_code);
      ASSERT_EQ(f.code, full_code);
      EXPECT_EQ(std::memcmp(x, s.SolveX, sizeof x), 0) << "rhs " << rhs_no;
      (full_code == 0 ? solved : singular)++;
    }
  }
  // The sample must really have gone down every branch.
  EXPECT_GT(exchanges, 100);
  EXPECT_GT(skipped_rows, 100);
  EXPECT_GT(singular, 50);
  EXPECT_GT(solved, 1000);
}

TEST(GaussFactor, RefusedSizesGiveCodeOneAndLeaveXAlone) {
  Square a = {};
  for (std::int16_t n : {0, -5, 32}) {
    GaussFactors f;
    GaussFactor(a, n, f);
    double rhs[kSolveDim] = {}, x[kSolveDim];
    for (double& v : x) v = 3.5;
    std::int16_t code = 99;
    GaussSolveFactored(f, rhs, x, code);
    EXPECT_EQ(code, 1) << n;
    for (double v : x) EXPECT_EQ(v, 3.5);
  }
}

TEST(GaussFactor, PairSolveMatchesSingleSolvesBitForBit) {
  int solved = 0;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    test::Random r(seed);
    const auto n = static_cast<std::int16_t>(1 + seed % 31);
    Square a;
    Fill(a, n, static_cast<int>(seed % 6), r);
    GaussFactors f;
    GaussFactor(a, n, f);
    double rhs1[kSolveDim], rhs2[kSolveDim], x1[kSolveDim], x2[kSolveDim], y1[kSolveDim],
        y2[kSolveDim];
    for (int i = 0; i < kSolveDim; ++i) {
      rhs1[i] = r.Uniform(-100.0, 100.0);
      rhs2[i] = i % 3 == 0 ? 0.0 : r.Uniform(-1e6, 1e6);
      x1[i] = x2[i] = y1[i] = y2[i] = 7.25;
    }
    std::int16_t code1 = 99, code2 = 99, pair_code = 99;
    GaussSolveFactored(f, rhs1, y1, code1);
    GaussSolveFactored(f, rhs2, y2, code2);
    GaussSolveFactoredPair(f, rhs1, rhs2, x1, x2, pair_code);
    ASSERT_EQ(code1, pair_code) << seed;
    ASSERT_EQ(code2, pair_code) << seed;
    EXPECT_EQ(std::memcmp(x1, y1, sizeof x1), 0) << seed;
    EXPECT_EQ(std::memcmp(x2, y2, sizeof x2), 0) << seed;
    solved += pair_code == 0;
  }
  EXPECT_GT(solved, 150);
}

}  // namespace
}  // namespace kolvane
