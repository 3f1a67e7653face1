// In this file: a small 1-based table for the program's per-dataset arrays whose size comes
// from the file (blank and control records, pure spectra, the fit matrix). Row and column 0
// exist and are not used by the method.
#pragma once

#include <cstddef>
#include <vector>

namespace kolvane {

template <typename T>
class Grid {
 public:
  Grid() = default;
  Grid(int rows, int cols) { Resize(rows, cols); }
  // Rows 0..rows, columns 0..cols, all zero; earlier contents are dropped.
  void Resize(int rows, int cols) {
    rows_ = rows;
    cols_ = cols;
    data_.assign(static_cast<std::size_t>(rows + 1) * (cols + 1), T{});
  }
  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  T& operator()(int i, int j) { return data_[static_cast<std::size_t>(i) * (cols_ + 1) + j]; }
  const T& operator()(int i, int j) const {
    return data_[static_cast<std::size_t>(i) * (cols_ + 1) + j];
  }
  // Row i as a pointer to its column 0, so that row[1..Cols()] are its entries.
  T* Row(int i) { return &data_[static_cast<std::size_t>(i) * (cols_ + 1)]; }
  const T* Row(int i) const { return &data_[static_cast<std::size_t>(i) * (cols_ + 1)]; }

 private:
  int rows_ = 0;
  int cols_ = 0;
  std::vector<T> data_;
};

}  // namespace kolvane
