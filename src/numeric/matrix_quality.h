// In this file: how well a spillover or fit matrix determines each colour. From the matrix a
// run solves with (rows the reading positions, columns the colours), through the SVD: the
// 2-norm condition number, each colour's noise gain (the 2-norm of its row of the
// pseudo-inverse), the two colours whose pure columns look most alike, and from the spread
// of the blank readings each colour's result spread.
//
// A matrix counts as singular when its smallest singular value is zero to working precision:
// at most max(m, n) * DBL_EPSILON * sigma_max. Its condition number is then not a number and
// the pseudo-inverse leaves those directions out, as the least-squares solution does.
#pragma once

#include <optional>
#include <vector>

#include "numeric/matrix.h"
#include "numeric/svd.h"

namespace kolvane {

struct MatrixQuality {
  SvdStatus status = SvdStatus::NeedsMoreRows;  // anything but Decomposed: no figures
  int m = 0;                                    // reading positions
  int n = 0;                                    // colours
  bool singular = false;
  double sigma_max = 0.0;
  double sigma_min = 0.0;
  double condition = 0.0;  // sigma_max / sigma_min; 0 when singular
  Vector gain;             // 1..n
  Matrix pinv;             // (1..n, 1..m): the pseudo-inverse
  int pair_a = 0;          // the closest pair of colours (columns), pair_a < pair_b; 0: none
  int pair_b = 0;
  double pair_cosine = 0.0;
};

// a holds rows 1..m and columns 1..n (m >= n); it is not changed.
MatrixQuality AssessMatrix(const Matrix& a, int m, int n);
// The same for a matrix kept as plain rows: rows[1..m][1..n], index 0 unused.
MatrixQuality AssessMatrix(const std::vector<std::vector<double>>& rows, int m, int n);

// 1.4826 times the median absolute deviation: the spread of normal noise read robustly.
// Empty for fewer than 3 values.
std::optional<double> RobustSpread(std::vector<double> values);

}  // namespace kolvane
