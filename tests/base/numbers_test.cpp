// The number rule for file text, the conversion to counts, typed numbers, and the row helpers
// of the blanks and controls.
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kolvane {
namespace {

const double kInf = std::numeric_limits<double>::infinity();

// Blanks anywhere are ignored, the comma is never a decimal separator, out-of-range texts give
// infinity or zero, and very long texts (10^-9996 x 10^9999 = 1000) read whole.
TEST(LenientNumber, TakesTheLongestLeadingDecimalNumber) {
  struct Case {
    std::string text;
    double expected;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"12.5", 12.5}, {"12.5abc", 12.5}, {"abc", 0}, {"", 0}, {" 1 2.5", 12.5}, {"\t-\t4\n2", -42},
      {"\r12\r", 12}, {"1.2.3", 1.2}, {"-.5", -0.5}, {"+3e2", 300}, {"1e", 1}, {"1e+", 1},
      {"1e-", 1}, {"1ex5", 1}, {"1e-2", 0.01}, {"2.5E3", 2500}, {"1 e 2", 100}, {"5.", 5}, {".", 0},
      {"-", 0}, {"+", 0}, {"--1", 0}, {"e5", 0}, {"1,5", 1}, {"0x10", 0}, {"007", 7}, {"-0", 0},
      {"350\t12", 35012}, {"1e400", kInf}, {"-1e400", -kInf}, {"1e-400", 0},
      {"1e99999999999999999999999", kInf}, {"1e-99999999999999999999999", 0},
      {std::string(400, '1'), kInf}, {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {std::string(9990, '0') + "42.5xyz", 42.5}, {"0." + std::string(9995, '0') + "1e9999", 1000},
      {"1" + std::string(10000, ' ') + "5", 15},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(LenientNumber(c.text), c.expected) << "text: \"" << c.text.substr(0, 40) << "\"";
  }
  const double tiny = LenientNumber("2.5e-320");  // denormal: finite, tiny, not negative
  EXPECT_TRUE(std::isfinite(tiny) && tiny >= 0 && tiny < 1e-300);
}

TEST(ToInt16, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
  struct Case {
    double value;
    std::optional<std::int16_t> expected;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.5001, 3},
      {-0.4, 0}, {12.0, 12}, {32767.0, 32767}, {32767.4, 32767}, {32767.5, {}}, {40000.0, {}},
      {-32768.0, -32768}, {-32768.5, -32768}, {-32769.0, {}}, {1e300, {}},
      {LenientNumber("1e400"), {}}, {-kInf, {}}, {std::numeric_limits<double>::quiet_NaN(), {}},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(ToInt16(c.value), c.expected) << "value: " << c.value;
  // Beyond the count range.
  EXPECT_EQ(RoundHalfEven(100000.5), 100000.0);
  EXPECT_EQ(RoundHalfEven(100001.5), 100002.0);
  EXPECT_EQ(RoundHalfEven(-7.5), -8.0);
  EXPECT_EQ(RoundHalfEven(-6.5), -6.0);
  EXPECT_EQ(RoundHalfEven(4503599627370497.0), 4503599627370497.0);  // 2^52 + 1, already whole
}

TEST(ParseStrictNumber, AcceptsOnlyAWholeNumberInSingleRange) {
  struct Case {
    std::string text;
    std::optional<double> expected;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"12.5", 12.5}, {" 12.5 ", 12.5}, {"1e3", 1000.0}, {"-0.25", -0.25}, {"+4", 4.0}, {".5", 0.5},
      {"5.", 5.0}, {"3e38", 3e38}, {"", {}}, {" ", {}}, {"1,5", {}}, {"12abc", {}}, {"1 2", {}},
      {"1e", {}}, {"1e39", {}}, {"-1e39", {}}, {"1e400", {}}, {"abc", {}}, {".", {}}, {"-", {}},
      {"nan", {}}, {"inf", {}}, {"1.2.3", {}}, {"--1", {}},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(ParseStrictNumber(c.text), c.expected) << "text: \"" << c.text << "\"";
  }
}

TEST(TextHelpers, SplitAtTabAndTrimSpaces) {
  struct Case {
    std::string text, before, rest;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"a\tb\tc", "a", "b\tc"}, {"abc", "abc", "abc"},
      // without a TAB the text stays as it was {"\tx", "", "x"}, {"x\t", "x", ""}, {"", "", ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(SplitAtTab(text), c.before) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\ta "), "\ta");  // only blanks are trimmed
  EXPECT_EQ(TrimSpaces("    "), "");
}

TEST(RowHelpers, ExchangeSortAndMedianInSinglePrecision) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> row = {-99, 3, 1, 2, 1, -4};
  ExchangeSort(row.data(), 5);
  EXPECT_EQ(row, (std::vector<double>{-99, -4, 1, 1, 2, 3}));
  std::vector<double> partial = {0, 9, 8, 7};
  ExchangeSort(partial.data(), 2);  // only the first two entries take part
  EXPECT_EQ(partial, (std::vector<double>{0, 8, 9, 7}));

  std::vector<double> odd = {nan, 5, 9, 7}, even = {nan, 5, 9, 7, 3};
  ExchangeSort(odd.data(), 3);
  ExchangeSort(even.data(), 4);
  EXPECT_EQ(MedianOfSortedRow(odd.data(), 3), 7.0);
  EXPECT_EQ(MedianOfSortedRow(even.data(), 4), 6.0);
  // 1.1f = 1.10000002384185791015625 and 1.2f = 1.2000000476837158203125; their sum lies
  // exactly halfway between two singles and rounds to the even one, 2.30000019073486328125.
  const std::vector<double> pair = {nan, 1.1, 1.2};
  EXPECT_EQ(MedianOfSortedRow(pair.data(), 2), 1.150000095367431640625);
  EXPECT_EQ(MedianOfSortedRow(pair.data(), 1), 1.10000002384185791015625);
}

}  // namespace
}  // namespace kolvane
