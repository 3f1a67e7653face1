#include "simulator/linear.h"

#include <cmath>
#include <utility>

namespace kolvane::sim {

bool SquareSolver::Factor(const std::vector<double>& a, int n) {
  n_ = n;
  lu_ = a;
  pivot_.assign(n, 0);
  double largest = 0.0;
  for (double v : a) largest = std::fmax(largest, std::fabs(v));
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i) {
      if (std::fabs(lu_[i * n + k]) > std::fabs(lu_[p * n + k])) p = i;
    }
    if (std::fabs(lu_[p * n + k]) <= 1e-13 * largest) return false;
    pivot_[k] = p;
    if (p != k) {
      for (int j = 0; j < n; ++j) std::swap(lu_[k * n + j], lu_[p * n + j]);
    }
    for (int i = k + 1; i < n; ++i) {
      double f = lu_[i * n + k] / lu_[k * n + k];
      lu_[i * n + k] = f;
      for (int j = k + 1; j < n; ++j) lu_[i * n + j] -= f * lu_[k * n + j];
    }
  }
  return true;
}

std::vector<double> SquareSolver::Solve(const std::vector<double>& b) const {
  const int n = n_;
  std::vector<double> x = b;
  for (int k = 0; k < n; ++k) {
    if (pivot_[k] != k) std::swap(x[k], x[pivot_[k]]);
    for (int i = k + 1; i < n; ++i) x[i] -= lu_[i * n + k] * x[k];
  }
  for (int i = n - 1; i >= 0; --i) {
    double s = x[i];
    for (int j = i + 1; j < n; ++j) s -= lu_[i * n + j] * x[j];
    x[i] = s / lu_[i * n + i];
  }
  return x;
}

bool LeastSquares::Factor(const std::vector<double>& a, int rows, int cols) {
  rows_ = rows;
  cols_ = cols;
  qr_ = a;
  diag_.assign(cols, 0.0);
  double largest = 0.0;
  for (double v : a) largest = std::fmax(largest, std::fabs(v));
  for (int k = 0; k < cols; ++k) {
    double norm = 0.0;
    for (int i = k; i < rows; ++i) norm = std::hypot(norm, qr_[i * cols + k]);
    if (norm <= 1e-13 * largest) return false;
    if (qr_[k * cols + k] > 0) norm = -norm;
    // The reflection vector v = x - norm e1, scaled so that v(k) = 1 is implied by the
    // division below; H = I - v v^T / (v^T v) maps column k onto norm e1.
    for (int i = k; i < rows; ++i) qr_[i * cols + k] /= -norm;
    qr_[k * cols + k] += 1.0;
    for (int j = k + 1; j < cols; ++j) {
      double s = 0.0;
      for (int i = k; i < rows; ++i) s += qr_[i * cols + k] * qr_[i * cols + j];
      s = -s / qr_[k * cols + k];
      for (int i = k; i < rows; ++i) qr_[i * cols + j] += s * qr_[i * cols + k];
    }
    diag_[k] = norm;
  }
  return true;
}

std::vector<double> LeastSquares::Solve(const std::vector<double>& b) const {
  const int m = rows_;
  const int n = cols_;
  std::vector<double> y = b;
  for (int k = 0; k < n; ++k) {
    double s = 0.0;
    for (int i = k; i < m; ++i) s += qr_[i * n + k] * y[i];
    s = -s / qr_[k * n + k];
    for (int i = k; i < m; ++i) y[i] += s * qr_[i * n + k];
  }
  std::vector<double> x(n, 0.0);
  for (int i = n - 1; i >= 0; --i) {
    double s = y[i];
    for (int j = i + 1; j < n; ++j) s -= qr_[i * n + j] * x[j];
    x[i] = s / diag_[i];
  }
  return x;
}

}  // namespace kolvane::sim
