// The fixed-wavelength solver: its codes, its pivoting rules and the state it leaves behind,
// checked on systems whose answers are known by hand, and on random systems by their residual.
#include "numeric/gauss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "numeric/random_systems.h"
#include "numeric/tolerance.h"

namespace kolvane {
namespace {

using test::IsClose;

// A system whose every slot holds a recognisable value, so untouched arrays can be seen.
GaussSystem MarkedSystem() {
  GaussSystem s;
  for (int i = 0; i < kSolveDim; ++i) {
    for (int j = 0; j < kSolveDim; ++j) s.SolveMatrix[i][j] = 1000.0 * i + j + 0.5;
    s.SolveRhs[i] = -1.0 - i;
    s.SolveX[i] = 7.0 + i;
  }
  return s;
}

bool SameBytes(const GaussSystem& a, const GaussSystem& b) {
  return std::memcmp(&a, &b, sizeof(GaussSystem)) == 0;
}

void Load2(GaussSystem& s, double a11, double a12, double a21, double a22, double b1, double b2) {
  s.SolveMatrix[1][1] = a11;
  s.SolveMatrix[1][2] = a12;
  s.SolveMatrix[2][1] = a21;
  s.SolveMatrix[2][2] = a22;
  s.SolveRhs[1] = b1;
  s.SolveRhs[2] = b2;
}

TEST(GaussSolve, NothingToSolveLeavesEveryArrayAlone) {
  // 32 and more would run past the arrays; they are refused the same way as an empty system.
  for (std::int16_t n : {0, -1, -32768, 32, 100}) {
    SCOPED_TRACE(n);
    GaussSystem s = MarkedSystem();
    const GaussSystem before = s;
    std::int16_t code = 99;
    GaussSolve(s, n, code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(SameBytes(s, before));
  }
}

TEST(GaussSolve, SingleUnknownPivotTestIsStrict) {
  const double tol = 1e-15;
  const double below = std::nextafter(tol, 0.0);
  struct Case {
    double a, b;
    std::int16_t code;
    double x;  // expected x(1); 7 + 1 = 8 is the untouched marker
  } cases[] = {
      {0.0, 1.0, 2, 8.0},     {-0.0, 1.0, 2, 8.0},      {below, 1.0, 2, 8.0}, {-below, 1.0, 2, 8.0},
      {tol, 2 * tol, 0, 2.0}, {-tol, 4 * tol, 0, -4.0}, {4.0, 10.0, 0, 2.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a);
    GaussSystem s = MarkedSystem();
    s.SolveMatrix[1][1] = c.a;
    s.SolveRhs[1] = c.b;
    std::int16_t code = 99;
    GaussSolve(s, 1, code);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(s.SolveX[1], c.x);
    EXPECT_EQ(s.SolveX[2], 9.0);
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
    for (int i = 1; i <= n; ++i) EXPECT_EQ(s.SolveX[i], before.SolveRhs[i]) << "n " << n;
    EXPECT_EQ(std::memcmp(s.SolveMatrix, before.SolveMatrix, sizeof s.SolveMatrix), 0);
  }
}

TEST(GaussSolve, ExchangedRowsOfTwoByTwo) {
  GaussSystem s;
  Load2(s, 0, 1, 1, 0, 3, 4);
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(s.SolveX[1], 4.0);
  EXPECT_EQ(s.SolveX[2], 3.0);
  // The exchange is left in the arrays.
  EXPECT_EQ(s.SolveMatrix[1][1], 1.0);
  EXPECT_EQ(s.SolveMatrix[1][2], 0.0);
  EXPECT_EQ(s.SolveRhs[1], 4.0);
}

TEST(GaussSolve, SecondRightHandSideNeedsTheMatrixRestored) {
  GaussSystem s;
  Load2(s, 0, 1, 1, 0, 3, 4);
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  ASSERT_EQ(code, 0);

  // Same b again on the eliminated (already exchanged) matrix: x comes out swapped.
  s.SolveRhs[1] = 3;
  s.SolveRhs[2] = 4;
  GaussSolve(s, 2, code);
  ASSERT_EQ(code, 0);
  EXPECT_EQ(s.SolveX[1], 3.0);
  EXPECT_EQ(s.SolveX[2], 4.0);

  Load2(s, 0, 1, 1, 0, 3, 4);
  GaussSolve(s, 2, code);
  EXPECT_EQ(s.SolveX[1], 4.0);
  EXPECT_EQ(s.SolveX[2], 3.0);
}

TEST(GaussSolve, DiagonalTieKeepsTheDiagonalRow) {
  // x + 5y = 1, -x + 3y = 1: y = 1/4, x = -1/4.
  GaussSystem s;
  Load2(s, 1, 5, -1, 3, 1, 1);
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(s.SolveMatrix[1][1], 1.0);
  EXPECT_EQ(s.SolveMatrix[1][2], 5.0);
  EXPECT_EQ(s.SolveMatrix[2][2], 8.0);
  EXPECT_EQ(s.SolveX[1], -0.25);
  EXPECT_EQ(s.SolveX[2], 0.25);
}

TEST(GaussSolve, TieBelowTheDiagonalChoosesTheUpperRow) {
  // Rows 2 and 3 tie at magnitude 2 in column 1; row 2 must come up. x = (1, 2, 3).
  GaussSystem s;
  const double a[4][4] = {{0}, {0, 0.5, 1, 0}, {0, 2, 0, 1}, {0, -2, 1, 1}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) s.SolveMatrix[i][j] = a[i][j];
  s.SolveRhs[1] = 2.5;
  s.SolveRhs[2] = 5.0;
  s.SolveRhs[3] = 3.0;
  std::int16_t code = 99;
  GaussSolve(s, 3, code);
  ASSERT_EQ(code, 0);
  EXPECT_EQ(s.SolveMatrix[1][1], 2.0);
  EXPECT_EQ(s.SolveMatrix[1][3], 1.0);
  EXPECT_EQ(s.SolveRhs[1], 5.0);
  // Every step of this system is exact in binary (multipliers -1/4, 1 and -1; a tie at
  // step 2 keeps the diagonal row), so the solution is exact as well.
  EXPECT_EQ(s.SolveX[1], 1.0);
  EXPECT_EQ(s.SolveX[2], 2.0);
  EXPECT_EQ(s.SolveX[3], 3.0);
}

TEST(GaussSolve, LowerEntryOfExactlyTheToleranceIsNotEliminated) {
  // x + y = 2, e x + y = 1. Left alone (e = 1e-15 counts as zero): y = 1, x = 1 exactly.
  // Eliminated (e just above): y = (1 - 2e) / (1 - e), which is not 1.
  GaussSystem s;
  Load2(s, 1, 1, 1e-15, 1, 2, 1);
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(s.SolveMatrix[2][1], 1e-15);
  EXPECT_EQ(s.SolveX[1], 1.0);
  EXPECT_EQ(s.SolveX[2], 1.0);

  Load2(s, 1, 1, std::nextafter(1e-15, 1.0), 1, 2, 1);
  GaussSolve(s, 2, code);
  EXPECT_EQ(code, 0);
  EXPECT_NE(s.SolveX[2], 1.0);
  // Three roundings of about 1.1e-16 each separate the result from the exact quotient.
  EXPECT_TRUE(IsClose(s.SolveX[2], 1.0 - 1e-15, 4e-16));
}

TEST(GaussSolve, PivotBroughtUpByExchangeIsNotTested) {
  // Column 1 holds 1e-17 over 1e-16: row 2 comes up, is not tested, row 2 (old row 1) is not
  // eliminated, and x(1) = (3 - 2 * 1) / 1e-16.
  GaussSystem s;
  Load2(s, 1e-17, 1, 1e-16, 2, 1, 3);
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(s.SolveX[2], 1.0);
  EXPECT_EQ(s.SolveX[1], 1.0 / 1e-16);
}

TEST(GaussSolve, ZeroColumnStopsTheEliminationThere) {
  // Column 2 is zero from the diagonal down. Had column 3 been processed, rows 3 and 4 would
  // have been exchanged (|3| > |1|).
  GaussSystem s = MarkedSystem();
  const double a[5][5] = {{0}, {0, 1, 0, 0, 0}, {0, 0, 0, 0, 1}, {0, 0, 0, 1, 0}, {0, 0, 0, 3, 1}};
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) s.SolveMatrix[i][j] = a[i][j];
  std::int16_t code = 99;
  GaussSolve(s, 4, code);
  EXPECT_EQ(code, 2);
  EXPECT_EQ(s.SolveMatrix[3][3], 1.0);
  EXPECT_EQ(s.SolveMatrix[4][3], 3.0);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(s.SolveX[i], 7.0 + i);
}

TEST(GaussSolve, LastDiagonalIsTestedAfterElimination) {
  // Two equal rows: every pivot passes, the last diagonal entry eliminates to zero.
  GaussSystem s = MarkedSystem();
  Load2(s, 1, 1, 1, 1, 1, 2);
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  EXPECT_EQ(code, 2);
  EXPECT_EQ(s.SolveX[1], 8.0);
  EXPECT_EQ(s.SolveX[2], 9.0);
}

TEST(GaussSolve, RowExchangeCoversTheWholeColumnRange) {
  GaussSystem s;
  Load2(s, 0, 1, 1, 0, 3, 4);
  s.SolveMatrix[1][31] = 131;
  s.SolveMatrix[2][31] = 231;
  s.SolveMatrix[1][17] = 117;
  s.SolveMatrix[1][0] = -10;
  s.SolveMatrix[2][0] = -20;
  std::int16_t code = 99;
  GaussSolve(s, 2, code);
  ASSERT_EQ(code, 0);
  EXPECT_EQ(s.SolveMatrix[1][31], 231.0);
  EXPECT_EQ(s.SolveMatrix[2][31], 131.0);
  EXPECT_EQ(s.SolveMatrix[2][17], 117.0);
  EXPECT_EQ(s.SolveMatrix[1][17], 0.0);
  // Column 0 is not part of the matrix.
  EXPECT_EQ(s.SolveMatrix[1][0], -10.0);
  EXPECT_EQ(s.SolveMatrix[2][0], -20.0);
}

TEST(GaussSolve, RowUpdateSpansColumnsOneToN) {
  GaussSystem s = MarkedSystem();
  AddRowMultiple(s, 2.0, 3, 1, 2);
  // Row 2 := row 2 + 2 * row 1 over columns 1..3 exactly; nothing outside them moves.
  for (int j = 1; j <= 3; ++j)
    EXPECT_EQ(s.SolveMatrix[2][j], (2000.0 + j + 0.5) + 2.0 * (1000.0 + j + 0.5));
  EXPECT_EQ(s.SolveMatrix[2][0], 2000.5);
  EXPECT_EQ(s.SolveMatrix[2][4], 2004.5);
  EXPECT_EQ(s.SolveMatrix[1][1], 1001.5);
}

TEST(GaussSolve, RandomWellConditionedSystemsHaveSmallResiduals) {
  for (std::uint64_t seed = 1; seed <= 120; ++seed) {
    test::Random r(seed);
    const std::int16_t n = static_cast<std::int16_t>(2 + seed % 30);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", n " << n);
    // A random matrix plus a dominant diagonal, then its rows shuffled so that the pivot
    // search has real exchanges to make.
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
    GaussSolve(s, n, code);
    ASSERT_EQ(code, 0);
    Vector x(n + 1, 0.0);
    for (int i = 1; i <= n; ++i) x[i] = s.SolveX[i];
    const Vector ax = test::Multiply(a, n, n, x);
    double residual = 0.0;
    double error = 0.0;
    for (int i = 1; i <= n; ++i) {
      residual = std::max(residual, std::fabs(ax[i] - b[i]));
      error = std::max(error, std::fabs(x[i] - x_true[i]));
    }
    // Backward stable elimination: residual of order n * eps * |A| |x|, |A| about 2n here.
    EXPECT_TRUE(test::IsSmallRelative(residual, 2.0 * n * test::MaxAbs(x, n), 1e-14, "residual"));
    // The dominant diagonal keeps the condition number near 1, so x itself is that close too.
    EXPECT_TRUE(test::IsSmallRelative(error, test::MaxAbs(x_true, n), 1e-13, "solution"));
  }
}

}  // namespace
}  // namespace kolvane
