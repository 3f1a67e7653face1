// The number forms of the results file, worked out by hand from the rules: a double shows its
// first 15 significant digits, and the fixed patterns round those decimal digits half away
// from zero.
#include "base/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kolvane {
namespace {

TEST(FormatFixed, RoundsTheDecimalValueHalfAwayFromZero) {
  const struct {
    double value;
    int decimals;
    std::string expected;
  } cases[] = {
      // clang-format off
      // 0.0005 lies just below its decimal text, which rounds away from zero; never "-0.000";
      // the 15 digits of 1 + 2^-15 = 1.000030517578125 tie and go to the even 1.00003051757812.
      {0.0005, 3, "0.001"}, {-0.0005, 3, "-0.001"}, {-0.0001, 3, "0.000"}, {-0.0004, 3, "0.000"},
      {-1e-9, 4, "0.0000"}, {-0.0, 0, "0"}, {0.0, 3, "0.000"}, {12.5, 3, "12.500"}, {-2.5, 0, "-3"},
      {2.5, 0, "3"}, {0.5, 0, "1"}, {-0.5, 0, "-1"}, {0.45, 0, "0"}, {9.5, 0, "10"},
      {2.675, 2, "2.68"}, {2.675, 3, "2.675"}, {1.005, 2, "1.01"}, {1.015, 2, "1.02"},
      {-1.015, 2, "-1.02"}, {0.1235, 3, "0.124"}, {4.35, 1, "4.4"}, {1.0005, 3, "1.001"},
      {1234.5678, 3, "1234.568"}, {35184372088831.5, 1, "35184372088831.5"},
      {1234567.891, 2, "1234567.89"}, {0.99995, 4, "1.0000"}, {999.9996, 3, "1000.000"},
      {999.9995, 3, "1000.000"}, {-1234.56789, 4, "-1234.5679"}, {0.1 + 0.2, 4, "0.3000"},
      {1e-20, 2, "0.00"}, {0.00049999, 3, "0.000"}, {7.0, 4, "7.0000"}, {-45.25, 2, "-45.25"},
      {1 + std::ldexp(1.0, -15), 6, "1.000031"}, {9.87654321e-8, 7, "0.0000001"},
      // A results cell (3 decimals) or tissue cell (4) from 1e11 up: the 15 digits leave at
      // most three decimals, so the pattern pads the digits with zeros (1234567890123.4567
      // keeps .46 of its decimals); just below 1e11 the fourth decimal still rounds.
      {1e11, 3, "100000000000.000"}, {-1e11, 3, "-100000000000.000"},
      {99999999999.9995, 3, "100000000000.000"}, {99999999999.9994, 3, "99999999999.999"},
      {54321098765.4324996, 3, "54321098765.433"}, {123456789012.3456, 3, "123456789012.346"},
      {123456789012.3456, 4, "123456789012.3460"}, {-1234567890123.4567, 3, "-1234567890123.460"},
      {123456789012.5, 0, "123456789013"}, {1.2345678901234567e17, 3, "123456789012346000.000"},
      {1e20, 3, "100000000000000000000.000"}, {123456789012.0, 0, "123456789012"},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixed(c.value, c.decimals), c.expected) << c.value << ", " << c.decimals;
    std::string line = "cell\t";
    AppendFixed(line, c.value, c.decimals);
    EXPECT_EQ(line, "cell\t" + c.expected) << c.value << ", " << c.decimals;
  }
}

TEST(FormatGeneral, ShortestFormUpToFifteenDigits) {
  const struct {
    double value;
    std::string expected;
  } cases[] = {
      // clang-format off
      {1000.0, "1000"}, {0.5, "0.5"}, {0.1, "0.1"}, {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"}, {-2.25, "-2.25"}, {0.0, "0"}, {-0.0, "0"},
      {0.1 + 0.2, "0.3"}, {1234.5, "1234.5"}, {0.0001, "0.0001"}, {0.000123, "0.000123"},
      {1e-5, "1E-05"}, {-1.5e-7, "-1.5E-07"}, {123456789012345.0, "123456789012345"},
      {1e15, "1E+15"}, {1e20, "1E+20"}, {1e100, "1E+100"}, {2.5e-100, "2.5E-100"},
      {1.2345678901234567e17, "1.23456789012346E+17"}, {-350.0, "-350"}, {100.25, "100.25"},
      {NAN, "0"},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.value), c.expected) << c.value;
}

TEST(FormatGeneralSingle, ShortestFormUpToSevenDigits) {
  const struct {
    float value;
    std::string expected;
  } cases[] = {
      // clang-format off
      {350.5f, "350.5"}, {0.1f, "0.1"}, {1.0f / 3.0f, "0.3333333"}, {1234567.0f, "1234567"},
      {12345678.0f, "1.234568E+07"}, {2.0f, "2"}, {-0.25f, "-0.25"}, {1e-5f, "1E-05"}, {0.0f, "0"},
      {INFINITY, "0"},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGeneralSingle(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace kolvane
