// Eliminate once, solve many: for every right-hand side the factored path must give the very
// bits (and the code) that a full solve on a restored copy of the matrix gives, because the
// fixed-wavelength results must not depend on which path the run took.
#include <gtest/gtest.h>

#include <cstring>

#include "numeric/gauss.h"
#include "numeric/random_systems.h"

namespace kolvane {
namespace {

using Square = double[kSolveDim][kSolveDim];

// Kinds of matrices that drive the elimination down its different branches.
enum class Kind { Dense, Sparse, TinyEntries, Singular, Permutation, TinyPivot, Count };

void Fill(Square& a, std::int16_t n, Kind kind, test::Random& r) {
  for (int i = 0; i < kSolveDim; ++i)
    for (int j = 0; j < kSolveDim; ++j)
      a[i][j] = (i >= 1 && i <= n && j >= 1 && j <= n) ? 0.0 : 99.0;
  switch (kind) {
    case Kind::Dense:
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) a[i][j] = r.Uniform(-1.0, 1.0);
      break;
    case Kind::Sparse:  // many zero entries: rows skipped at most steps
      for (int i = 1; i <= n; ++i) {
        a[i][i] = r.Uniform(0.5, 2.0);
        for (int j = 1; j <= n; ++j)
          if (r.Index(0, 3) == 0) a[i][j] = r.Uniform(-1.0, 1.0);
      }
      break;
    case Kind::TinyEntries:  // entries at, just above and below the tolerance
      for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
          const double tiny[] = {1e-15, -1e-15, 2e-15, 5e-16, 0.0};
          a[i][j] = r.Index(0, 1) ? tiny[r.Index(0, 4)] : r.Uniform(-1.0, 1.0);
        }
      }
      break;
    case Kind::Singular:  // a repeated row or a zero column
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) a[i][j] = r.Uniform(-1.0, 1.0);
      if (n >= 2 && r.Index(0, 1)) {
        const int src = r.Index(1, n), dst = r.Index(1, n);
        for (int j = 1; j <= n; ++j) a[dst][j] = a[src][j];
      } else {
        const int col = r.Index(1, n);
        for (int i = 1; i <= n; ++i) a[i][col] = 0.0;
      }
      break;
    case Kind::Permutation:
      for (int i = 1; i <= n; ++i) a[i][n + 1 - i] = r.Index(0, 1) ? 1.0 : -2.0;
      break;
    case Kind::TinyPivot:  // a column below the tolerance everywhere: exchange, no elimination
      for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) a[i][j] = r.Uniform(-1.0, 1.0);
      {
        const int col = r.Index(1, n);
        for (int i = 1; i <= n; ++i) a[i][col] = r.Uniform(-1e-15, 1e-15) * 0.5;
      }
      break;
    case Kind::Count:
      break;
  }
}

TEST(GaussFactor, FactoredSolveMatchesFullSolveBitForBit) {
  int exchanges_seen = 0, singular_seen = 0, solved_seen = 0, skipped_rows_seen = 0;
  for (std::uint64_t seed = 1; seed <= 600; ++seed) {
    test::Random r(seed);
    const std::int16_t n = static_cast<std::int16_t>(1 + seed % 31);
    const Kind kind = static_cast<Kind>(seed % static_cast<int>(Kind::Count));
    SCOPED_TRACE(testing::Message()
                 << "seed " << seed << ", n " << n << ", kind " << static_cast<int>(kind));
    Square a;
    Fill(a, n, kind, r);
    GaussFactors f;
    GaussFactor(a, n, f);
    for (int k = 1; k <= f.StepsDone; ++k) {
      if (f.PivotRow[k] != k) ++exchanges_seen;
      for (int i = k + 1; i <= n; ++i) skipped_rows_seen += f.RowEliminated[k][i] ? 0 : 1;
    }
    for (int rhs_no = 0; rhs_no < 4; ++rhs_no) {
      double rhs[kSolveDim];
      for (double& v : rhs) v = r.Uniform(-100.0, 100.0);
      const double marker = r.Uniform(-1.0, 1.0);

      GaussSystem s;
      std::memcpy(s.SolveMatrix, a, sizeof a);
      std::memcpy(s.SolveRhs, rhs, sizeof rhs);
      for (double& v : s.SolveX) v = marker;
      std::int16_t full_code = 99;
      GaussSolve(s, n, full_code);

      double rhs_copy[kSolveDim];
      std::memcpy(rhs_copy, rhs, sizeof rhs);
      double x[kSolveDim];
      for (double& v : x) v = marker;
      std::int16_t code = 99;
      GaussSolveFactored(f, rhs, x, code);

      ASSERT_EQ(code, full_code);
      ASSERT_EQ(f.code, full_code);
      EXPECT_EQ(std::memcmp(x, s.SolveX, sizeof x), 0) << "rhs " << rhs_no;
      EXPECT_EQ(std::memcmp(rhs, rhs_copy, sizeof rhs), 0) << "the right-hand side was changed";
      (full_code == 0 ? solved_seen : singular_seen)++;
    }
  }
  // The sample must really have gone down every branch.
  EXPECT_GT(exchanges_seen, 100);
  EXPECT_GT(skipped_rows_seen, 100);
  EXPECT_GT(singular_seen, 50);
  EXPECT_GT(solved_seen, 1000);
}

TEST(GaussFactor, RefusedSizesGiveCodeOneAndLeaveXAlone) {
  Square a = {};
  for (std::int16_t n : {0, -5, 32}) {
    GaussFactors f;
    GaussFactor(a, n, f);
    double rhs[kSolveDim] = {};
    double x[kSolveDim];
    for (double& v : x) v = 3.5;
    std::int16_t code = 99;
    GaussSolveFactored(f, rhs, x, code);
    EXPECT_EQ(code, 1) << n;
    for (double v : x) EXPECT_EQ(v, 3.5);
  }
}

}  // namespace
}  // namespace kolvane
