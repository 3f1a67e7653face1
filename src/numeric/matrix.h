// In this file: a dense 1-based matrix and vector of doubles for the least-squares fit.
// Index 0 of every dimension exists and is not used, so code reads like the method.
#pragma once

#include <cstddef>
#include <vector>

namespace kolvane {

class Matrix {
 public:
  Matrix() = default;
  // Rows 0..rows, columns 0..cols, all zero.
  Matrix(int rows, int cols) : rows_(rows), cols_(cols), data_((rows + 1) * (cols + 1), 0.0) {}
  void Resize(int rows, int cols) {
    rows_ = rows;
    cols_ = cols;
    data_.assign(static_cast<std::size_t>(rows + 1) * (cols + 1), 0.0);
  }
  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  double& operator()(int i, int j) { return data_[static_cast<std::size_t>(i) * (cols_ + 1) + j]; }
  double operator()(int i, int j) const {
    return data_[static_cast<std::size_t>(i) * (cols_ + 1) + j];
  }

 private:
  int rows_ = 0;
  int cols_ = 0;
  std::vector<double> data_;
};

// A 1-based vector: entries 0..n, entry 0 unused.
using Vector = std::vector<double>;

}  // namespace kolvane
