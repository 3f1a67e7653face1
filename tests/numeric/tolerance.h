// In this file: the one closeness test of the numeric tests. It compares relative to the
// expected value with an absolute floor (so a value that should be zero is judged against the
// scale of the problem, not against itself) and says by how much a failure missed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace kolvane::test {

// Passes when |actual - expected| <= tol * max(|expected|, floor).
inline ::testing::AssertionResult IsClose(double actual, double expected, double tol,
                                          double floor = 0.0) {
  const double scale = std::max(std::fabs(expected), floor);
  const double err = std::fabs(actual - expected);
  if (err <= tol * scale) return ::testing::AssertionSuccess();
  std::ostringstream out;
  out.precision(17);
  out << "actual " << actual << ", expected " << expected << ": relative error "
      << (scale > 0.0 ? err / scale : err) << " exceeds " << tol << " (scale " << scale << ")";
  return ::testing::AssertionFailure() << out.str();
}

// Same test for a norm-wise error already computed by the caller: error / reference <= tol.
inline ::testing::AssertionResult IsSmallRelative(double error, double reference, double tol,
                                                  const char* what) {
  if (error <= tol * reference) return ::testing::AssertionSuccess();
  std::ostringstream out;
  out.precision(6);
  out << what << ": relative error " << (reference > 0.0 ? error / reference : error) << " exceeds "
      << tol << " (error " << error << ", reference " << reference << ")";
  return ::testing::AssertionFailure() << out.str();
}

}  // namespace kolvane::test
