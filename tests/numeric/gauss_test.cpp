// The fixed-wavelength solver: its codes, pivoting rules and the state it leaves behind on
// systems worked by hand, and the eliminate-once path, which must give the very bits of a full
// solve so that results never depend on the path a run took.
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

TEST(GaussSolve, HandWorkedSystems) {
  const double tol = PivotTolerance, below = std::nextafter(tol, 0.0);
  const double above = std::nextafter(tol, 1.0);
  const Rows zero_col = {{1, 0, 0, 0}, {0, 0, 0, 1}, {0, 0, 1, 0}, {0, 0, 3, 1}};
  const struct {
    const char* name;
    Rows a;
    std::vector<double> b;
    std::int16_t code;
    std::vector<double> x;  // empty: SolveX left as it was
    Rows after;             // the matrix left behind; empty: not checked
    double rel = 0.0;       // 0: x exact
  } cases[] = {
      // clang-format off
      {"empty", {}, {}, 1, {}, {}}, {"1x1 zero", {{0.0}}, {1}, 2, {}, {}},
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
      // x = 1..4 with a dominant diagonal and a row exchange in every column.
      {"four unknowns", {{1, 0, 0, 4}, {0, 1, 5, 0}, {0, 6, 0, 1}, {7, 0, 1, 0}}, {17, 17, 16, 10},
       0, {1, 2, 3, 4}, {}, 1e-15},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int n = static_cast<int>(c.a.size());
    GaussSystem s = Marked();
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) s.SolveMatrix[i][j] = c.a[i - 1][j - 1];
      s.SolveRhs[i] = c.b[i - 1];
    }
    std::int16_t code = 99;
    GaussSolve(s, static_cast<std::int16_t>(n), code);
    EXPECT_EQ(code, c.code);
    for (int i = 1; i < kSolveDim; ++i) {
      const double want = !c.x.empty() && i <= n ? c.x[i - 1] : 7.0 + i;
      EXPECT_NEAR(s.SolveX[i], want, c.rel * std::fabs(want)) << "x(" << i << ")";
    }
    for (int i = 1; i <= static_cast<int>(c.after.size()); ++i)
      for (int j = 1; j <= n; ++j)
        EXPECT_EQ(s.SolveMatrix[i][j], c.after[i - 1][j - 1]) << "A(" << i << "," << j << ")";
  }
  // The exchange spans all 31 columns, whatever n; column 0 is not part of the matrix. A
  // second solve on the exchanged matrix gives the unknowns in exchanged order.
  GaussSystem s = Marked();
  s.SolveMatrix[1][1] = s.SolveMatrix[2][2] = 0.0;
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  EXPECT_EQ(s.SolveMatrix[1][31], 2031.5);
  EXPECT_EQ(s.SolveMatrix[2][31], 1031.5);
  EXPECT_EQ(s.SolveMatrix[1][0], 1000.5);
  s.SolveRhs[1] = 3;
  s.SolveRhs[2] = 4;
  GaussSolve(s, 2, code);
  EXPECT_EQ(s.SolveX[1], 3.0 / 2001.5);
  EXPECT_EQ(s.SolveX[2], 4.0 / 1002.5);  // A = (0, 1002.5; 2001.5, 0) exchanged
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
    GaussFactors f;
    GaussFactor(before.SolveMatrix, n, f);
    GaussSolveFactored(f, s.SolveRhs, s.SolveX, code);
    EXPECT_EQ(code, 1) << n;
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << n;
  }
}

// Matrices that drive the elimination down all its branches: dense, sparse (rows skipped),
// entries at and around the tolerance, singular (a repeated row or a zero column), a
// permutation, and a column below the tolerance everywhere (an exchange without elimination).
// For every right-hand side the factored solve, alone or in a pair, gives the full solve's
// code and bits.
TEST(GaussFactor, FactoredSolvesMatchTheFullSolveBitForBit) {
  int exchanges = 0, skipped = 0, singular = 0, solved = 0;
  for (std::uint64_t seed = 1; seed <= 600; ++seed) {
    test::Random r(seed);
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
    for (int k = 1; k <= f.StepsDone; ++k) {
      exchanges += f.PivotRow[k] != k;
      for (int i = k + 1; i <= n; ++i) skipped += !f.RowEliminated[k][i];
    }
    const GaussSystem matrix = s;
    for (int pair = 0; pair < 2; ++pair) {
      double rhs[2][kSolveDim], x[2][kSolveDim], full[2][kSolveDim];
      std::int16_t codes[4] = {99, 99, 99, 99};
      for (int t = 0; t < 2; ++t) {
        for (int i = 0; i < kSolveDim; ++i) rhs[t][i] = t && i % 3 == 0 ? 0 : r.Uniform(-1e3, 1e3);
        for (int i = 0; i < kSolveDim; ++i) x[t][i] = full[t][i] = 7.25;
        s = matrix;
        std::memcpy(s.SolveRhs, rhs[t], sizeof rhs[t]);
        std::memcpy(s.SolveX, full[t], sizeof full[t]);
        GaussSolve(s, n, codes[t]);
        std::memcpy(full[t], s.SolveX, sizeof full[t]);
      }
      if (pair) {
        GaussSolveFactoredPair(f, rhs[0], rhs[1], x[0], x[1], codes[2]);
        codes[3] = codes[2];
      } else {
        GaussSolveFactored(f, rhs[0], x[0], codes[2]);
        GaussSolveFactored(f, rhs[1], x[1], codes[3]);
      }
      ASSERT_TRUE(codes[0] == f.code && codes[1] == f.code && codes[2] == f.code &&
                  codes[3] == f.code);
      EXPECT_EQ(std::memcmp(x, full, sizeof x), 0) << (pair ? "pair" : "single");
      (f.code == 0 ? solved : singular)++;
    }
  }
  // The sample must really have gone down every branch.
  EXPECT_GT(exchanges, 100);
  EXPECT_GT(skipped, 100);
  EXPECT_GT(singular, 50);
  EXPECT_GT(solved, 500);
}

}  // namespace
}  // namespace kolvane
