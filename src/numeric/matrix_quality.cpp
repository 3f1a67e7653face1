#include "numeric/matrix_quality.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace kolvane {

namespace {

double ColumnCosine(const Matrix& a, int m, int j, int k) {
  double dot = 0.0, jj = 0.0, kk = 0.0;
  for (int r = 1; r <= m; ++r) {
    dot += a(r, j) * a(r, k);
    jj += a(r, j) * a(r, j);
    kk += a(r, k) * a(r, k);
  }
  if (jj == 0.0 || kk == 0.0) return 0.0;
  return dot / (std::sqrt(jj) * std::sqrt(kk));
}

double Median(std::vector<double>& v) {
  std::sort(v.begin(), v.end());
  const std::size_t h = v.size() / 2;
  return v.size() % 2 == 1 ? v[h] : (v[h - 1] + v[h]) / 2.0;
}

}  // namespace

MatrixQuality AssessMatrix(const Matrix& a, int m, int n) {
  MatrixQuality q;
  q.m = m;
  q.n = n;
  if (n < 1 || m < n) return q;
  Matrix u(m, n);
  for (int r = 1; r <= m; ++r)
    for (int c = 1; c <= n; ++c) u(r, c) = a(r, c);
  Vector w(n + 1, 0.0);
  Matrix v(n, n);
  q.status = DecomposeSvd(u, static_cast<std::int16_t>(m), static_cast<std::int16_t>(n), w, v);
  if (q.status != SvdStatus::Decomposed) return q;

  q.sigma_max = *std::max_element(w.begin() + 1, w.end());
  q.sigma_min = *std::min_element(w.begin() + 1, w.end());
  const double negligible = std::max(m, n) * DBL_EPSILON * q.sigma_max;
  q.singular = q.sigma_min <= negligible;
  q.condition = q.singular ? 0.0 : q.sigma_max / q.sigma_min;

  // pinv = V diag(1/w) U^T, leaving out the negligible singular values.
  q.pinv.Resize(n, m);
  q.gain.assign(n + 1, 0.0);
  for (int i = 1; i <= n; ++i) {
    double sum = 0.0;
    for (int j = 1; j <= m; ++j) {
      double e = 0.0;
      for (int k = 1; k <= n; ++k)
        if (w[k] > negligible) e += v(i, k) * u(j, k) / w[k];
      q.pinv(i, j) = e;
      sum += e * e;
    }
    q.gain[i] = std::sqrt(sum);
  }

  q.pair_cosine = -1.0;
  for (int j = 1; j < n; ++j)
    for (int k = j + 1; k <= n; ++k) {
      const double c = ColumnCosine(a, m, j, k);
      if (c > q.pair_cosine) {
        q.pair_cosine = c;
        q.pair_a = j;
        q.pair_b = k;
      }
    }
  if (n < 2) q.pair_cosine = 0.0;
  return q;
}

MatrixQuality AssessMatrix(const std::vector<std::vector<double>>& rows, int m, int n) {
  Matrix a(m, n);
  for (int r = 1; r <= m; ++r)
    for (int c = 1; c <= n; ++c) a(r, c) = rows[r][c];
  return AssessMatrix(a, m, n);
}

std::optional<double> RobustSpread(std::vector<double> values) {
  if (values.size() < 3) return std::nullopt;
  const double centre = Median(values);
  for (double& x : values) x = std::fabs(x - centre);
  return 1.4826 * Median(values);
}

}  // namespace kolvane
