// Condition number, noise gains, closest pair and result spreads of matrices whose inverse or
// pseudo-inverse is known in closed form.
#include "numeric/matrix_quality.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kolvane {
namespace {

Matrix Make(int m, int n, std::initializer_list<double> rowwise) {
  Matrix a(m, n);
  auto it = rowwise.begin();
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) a(i, j) = *it++;
  return a;
}

struct Case {
  const char* name;
  int m, n;
  std::initializer_list<double> entries;
  bool singular;
  double condition;
  std::vector<double> gains;  // 1..n, entry 0 unused
  int pair_a, pair_b;
  double cosine;
};

// Singular values of a 2 x 2 matrix from its Frobenius norm f2 and determinant d:
// s^2 = (f2 +- sqrt(f2^2 - 4 d^2)) / 2.
double Condition2x2(double f2, double d) {
  const double r = std::sqrt(f2 * f2 - 4 * d * d);
  return std::sqrt((f2 + r) / (f2 - r));
}

TEST(MatrixQuality, ClosedForms) {
  const double det = 1 - 0.2 * 0.6;  // [[1, .2], [.6, 1]]: inverse = [[1, -.2], [-.6, 1]] / det
  const Case cases[] = {
      {"diagonal", 3, 3, {2, 0, 0, 0, 0.5, 0, 0, 0, 4}, false, 8.0, {0, 0.5, 2, 0.25}, 1, 2, 0},
      {"symmetric",
       2,
       2,
       {1, .5, .5, 1},
       false,
       3.0,
       {0, std::sqrt(1.25) / .75, std::sqrt(1.25) / .75},
       1,
       2,
       0.8},
      {"spill",
       2,
       2,
       {1, .2, .6, 1},
       false,
       Condition2x2(2.4, det),
       {0, std::sqrt(1.04) / det, std::sqrt(1.36) / det},
       1,
       2,
       0.8 / std::sqrt(1.04 * 1.36)},
      // A^T A = [[2, 1], [1, 2]], eigenvalues 3 and 1; pinv = [[2, -1, 1], [-1, 2, 1]] / 3.
      {"tall",
       3,
       2,
       {1, 0, 0, 1, 1, 1},
       false,
       std::sqrt(3.0),
       {0, std::sqrt(6.0) / 3, std::sqrt(6.0) / 3},
       1,
       2,
       0.5},
      // Rank one: pinv = A^T / |A|_F^2 = A / 25.
      {"rank one",
       2,
       2,
       {1, 2, 2, 4},
       true,
       0.0,
       {0, std::sqrt(5.0) / 25, std::sqrt(20.0) / 25},
       1,
       2,
       1.0},
      // Columns 1 and 3 are alike, column 2 stands apart.
      {"pair",
       3,
       3,
       {1, 0, .9, 0, 1, 0, .1, 0, .2},
       false,
       -1,
       {},
       1,
       3,
       (.9 + .02) / std::sqrt(1.01 * 0.85)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MatrixQuality q = AssessMatrix(Make(c.m, c.n, c.entries), c.m, c.n);
    ASSERT_EQ(q.status, SvdStatus::Decomposed);
    EXPECT_EQ(q.singular, c.singular);
    if (c.condition >= 0) {
      EXPECT_NEAR(q.condition, c.condition, 1e-12 * (1 + c.condition));
    }
    for (std::size_t i = 1; i < c.gains.size(); ++i) EXPECT_NEAR(q.gain[i], c.gains[i], 1e-12);
    EXPECT_EQ(q.pair_a, c.pair_a);
    EXPECT_EQ(q.pair_b, c.pair_b);
    EXPECT_NEAR(q.pair_cosine, c.cosine, 1e-12);
  }
}

TEST(MatrixQuality, RefusesTooFewRows) {
  EXPECT_EQ(AssessMatrix(Matrix(1, 2), 1, 2).status, SvdStatus::NeedsMoreRows);
  EXPECT_EQ(ResultSpread(AssessMatrix(Matrix(1, 2), 1, 2), {0, 1}).size(), 3u);
}

TEST(MatrixQuality, ResultSpreadWeighsEachReading) {
  // pinv = [[2, -1, 1], [-1, 2, 1]] / 3 with reading spreads 1, 2, 3.
  const MatrixQuality q = AssessMatrix(Make(3, 2, {1, 0, 0, 1, 1, 1}), 3, 2);
  const Vector s = ResultSpread(q, {0, 1, 2, 3});
  EXPECT_NEAR(s[1], std::sqrt(4 + 4 + 9.0) / 3, 1e-12);
  EXPECT_NEAR(s[2], std::sqrt(1 + 16 + 9.0) / 3, 1e-12);
}

TEST(MatrixQuality, RobustSpread) {
  struct {
    std::vector<double> values;
    double expected;  // 1.4826 x median absolute deviation, by hand; < 0: none
  } cases[] = {
      {{1, 2, 3, 4, 100}, 1.4826},   // median 3, deviations 2 1 0 1 97
      {{7, 1, 4, 2}, 1.4826 * 1.5},  // median 3, deviations 4 2 1 1
      {{5, 5, 5}, 0.0},
      {{1, 2}, -1},
      {{}, -1},
  };
  for (const auto& c : cases) {
    const std::optional<double> s = RobustSpread(c.values);
    if (c.expected < 0) {
      EXPECT_FALSE(s);
    } else {
      ASSERT_TRUE(s);
      EXPECT_NEAR(*s, c.expected, 1e-12);
    }
  }
}

}  // namespace
}  // namespace kolvane
