// Condition number, noise gains, closest pair and result spreads of matrices whose inverse or
// pseudo-inverse is known in closed form.
#include "numeric/matrix_quality.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kolvane {
namespace {

Matrix Make(int m, int n, const std::vector<double>& rowwise) {
  Matrix a(m, n);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) a(i, j) = rowwise[(i - 1) * n + j - 1];
  return a;
}

TEST(MatrixQuality, ClosedForms) {
  // [[1, .5], [.5, 1]]: singular values 1.5 and .5, inverse [[1, -.5], [-.5, 1]] / .75.
  const double sym = std::sqrt(1.25) / .75;
  // [[1, .2], [.6, 1]]: inverse [[1, -.2], [-.6, 1]] / det; singular values from the Frobenius
  // norm f2 = 2.4 and det: s^2 = (f2 +- sqrt(f2^2 - 4 det^2)) / 2.
  const double det = 1 - 0.2 * 0.6, root = std::sqrt(2.4 * 2.4 - 4 * det * det);
  const double spill = std::sqrt((2.4 + root) / (2.4 - root));
  // Tall [[1, 0], [0, 1], [1, 1]]: A^T A = [[2, 1], [1, 2]], eigenvalues 3 and 1; pinv =
  // [[2, -1, 1], [-1, 2, 1]] / 3. Rank one [[1, 2], [2, 4]]: pinv = A^T / |A|_F^2 = A / 25.
  const double tall = std::sqrt(6.0) / 3;
  const struct {
    const char* name;
    int m, n;
    std::vector<double> entries;
    double condition;  // 0: singular; < 0: not checked
    std::vector<double> gains;
    int pair_a, pair_b;
    double cosine;
  } cases[] = {
      // clang-format off
      {"diagonal", 3, 3, {2, 0, 0, 0, 0.5, 0, 0, 0, 4}, 8.0, {0.5, 2, 0.25}, 1, 2, 0},
      {"symmetric", 2, 2, {1, .5, .5, 1}, 3.0, {sym, sym}, 1, 2, 0.8},
      {"spill", 2, 2, {1, .2, .6, 1}, spill, {std::sqrt(1.04) / det, std::sqrt(1.36) / det}, 1, 2,
       0.8 / std::sqrt(1.04 * 1.36)},
      {"tall", 3, 2, {1, 0, 0, 1, 1, 1}, std::sqrt(3.0), {tall, tall}, 1, 2, 0.5},
      {"rank one", 2, 2, {1, 2, 2, 4}, 0, {std::sqrt(5.0) / 25, std::sqrt(20.0) / 25}, 1, 2, 1},
      // Columns 1 and 3 are alike, column 2 stands apart.
      {"pair", 3, 3, {1, 0, .9, 0, 1, 0, .1, 0, .2}, -1, {}, 1, 3, .92 / std::sqrt(1.01 * .85)},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const MatrixQuality q = AssessMatrix(Make(c.m, c.n, c.entries), c.m, c.n);
    ASSERT_EQ(q.status, SvdStatus::Decomposed);
    EXPECT_EQ(q.singular, c.condition == 0);
    const double condition = c.condition < 0 ? q.condition : c.condition;
    EXPECT_NEAR(q.condition, condition, 1e-12 * (1 + condition));
    for (std::size_t i = 0; i < c.gains.size(); ++i) EXPECT_NEAR(q.gain[i + 1], c.gains[i], 1e-12);
    EXPECT_EQ(q.pair_a, c.pair_a);
    EXPECT_EQ(q.pair_b, c.pair_b);
    EXPECT_NEAR(q.pair_cosine, c.cosine, 1e-12);
  }
}

TEST(MatrixQuality, RobustSpread) {
  // 1.4826 x median absolute deviation, by hand; < 0: none.
  const std::pair<std::vector<double>, double> cases[] = {
      {{1, 2, 3, 4, 100}, 1.4826},   // median 3, deviations 2 1 0 1 97
      {{7, 1, 4, 2}, 1.4826 * 1.5},  // median 3, deviations 4 2 1 1
      {{5, 5, 5}, 0.0},
      {{1, 2}, -1},
      {{}, -1}};
  for (const auto& [values, expected] : cases)
    EXPECT_NEAR(RobustSpread(values).value_or(-1), expected, 1e-12);
}

}  // namespace
}  // namespace kolvane
