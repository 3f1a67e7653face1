// In this file: the two small solvers the simulator uses to work out what the program will
// report for a record, so that the ground truth is the program's own answer for noiseless data.
// They are the simulator's own, independent of the program's solvers; for well-conditioned
// systems both agree far below the three decimals that the results carry.
#pragma once

#include <vector>

namespace kolvane::sim {

// A square system A x = b, factorised once (LU with partial pivoting) and solved for many
// right-hand sides.
class SquareSolver {
 public:
  // a is row-major, n x n. Returns false for a matrix that is singular to working precision.
  bool Factor(const std::vector<double>& a, int n);
  std::vector<double> Solve(const std::vector<double>& b) const;

 private:
  int n_ = 0;
  std::vector<double> lu_;
  std::vector<int> pivot_;
};

// The least-squares solution of an overdetermined system A x ~ b (rows >= cols), by
// Householder reflections factorised once.
class LeastSquares {
 public:
  // a is row-major, rows x cols. Returns false when A does not have full column rank.
  bool Factor(const std::vector<double>& a, int rows, int cols);
  std::vector<double> Solve(const std::vector<double>& b) const;

 private:
  int rows_ = 0;
  int cols_ = 0;
  std::vector<double> qr_;    // R above the diagonal, the reflection vectors below it
  std::vector<double> diag_;  // the diagonal of R
};

}  // namespace kolvane::sim
