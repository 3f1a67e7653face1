// The number rule for file text, the conversion to counts, typed numbers, and the row helpers
// of the blanks and controls. Every expected value is worked out by hand from the rules.
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kolvane {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Blanks anywhere are ignored, the comma is never a decimal separator, an exponent needs a
// digit, out-of-range texts give infinity or zero, and very long texts read whole
// (10^-9996 x 10^9999 = 1000).
TEST(LenientNumber, TakesTheLongestLeadingDecimalNumber) {
  const std::string zeros(9995, '0');
  const struct {
    std::string text;
    double expected;
  } cases[] = {
      // clang-format off
      {"12.5", 12.5}, {"12.5abc", 12.5}, {"abc", 0}, {"", 0}, {" 1 2.5", 12.5}, {"\t-\t4\n2", -42},
      {"\r12\r", 12}, {"1.2.3", 1.2}, {"-.5", -0.5}, {"+3e2", 300}, {"1e", 1}, {"1e+", 1},
      {"1e-", 1}, {"1ex5", 1}, {"1e-2", 0.01}, {"2.5E3", 2500}, {"1 e 2", 100}, {"1e - 2", 0.01},
      {"5.", 5}, {".", 0}, {"-", 0}, {"+", 0}, {"--1", 0}, {"e5", 0}, {"1,5", 1}, {"0x10", 0},
      {"007", 7}, {"350\t12", 35012}, {"0.000000000000000000000001", 1e-24}, {"12e-3", 0.012},
      {"0.0025e3", 2.5}, {"1234567890123456789", 1234567890123456789.0}, {"1e400", kInf},
      {"-1e400", -kInf}, {"1e-400", 0}, {"1e99999999999999999999999", kInf},
      {"1e-99999999999999999999999", 0}, {"0.001e309", 1e306}, {std::string(400, '1'), kInf},
      {"1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"9007199254740993", 9007199254740992.0},  // 2^53 + 1 ties to the even 2^53
      {std::string(9990, '0') + "42.5xyz", 42.5}, {"0." + zeros + "1e9999", 1000},
      {"1" + std::string(10000, ' ') + "5", 15}, {"0." + zeros + "1e-9999", 0},
      {zeros + "1e-9999", 0}, {zeros + "1e9999", kInf},  // the leading zeros add no magnitude
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LenientNumber(c.text), c.expected) << "text \"" << c.text.substr(0, 40) << '"';
  }
  EXPECT_TRUE(std::signbit(LenientNumber("-0")));
  const double tiny = LenientNumber("2.5e-320");  // subnormal: finite, tiny, not negative
  EXPECT_TRUE(tiny > 0 && tiny < 1e-300);
}

TEST(ParseStrictNumber, AcceptsOnlyAWholeNumberInSingleRange) {
  const struct {
    std::string text;
    std::optional<double> expected;
  } cases[] = {
      // clang-format off
      {"12.5", 12.5}, {" 12.5 ", 12.5}, {"\t7\t", 7.0}, {"1e3", 1000.0}, {"-0.25", -0.25},
      {"+4", 4.0}, {".5", 0.5}, {"5.", 5.0}, {"3e38", 3e38}, {"-3.4e38", -3.4e38}, {"", {}},
      {" ", {}}, {"1,5", {}}, {"12abc", {}}, {"1 2", {}}, {"1e", {}}, {"1e39", {}}, {"-1e39", {}},
      {"1e400", {}}, {"abc", {}}, {".", {}}, {"-", {}}, {"nan", {}}, {"inf", {}}, {"1.2.3", {}},
      {"--1", {}}, {"\n5", {}},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ParseStrictNumber(c.text), c.expected) << c.text;
}

TEST(ToInt16, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
  const struct {
    double value;
    std::optional<std::int16_t> expected;
  } cases[] = {
      // clang-format off
      {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {2.5001, 3},
      {-0.4, 0}, {12.0, 12}, {32767.0, 32767}, {32767.4, 32767}, {32767.5, {}}, {40000.0, {}},
      {-32768.0, -32768}, {-32768.5, -32768}, {-32768.6, {}}, {-32769.0, {}}, {1e300, {}},
      {kInf, {}}, {-kInf, {}}, {kNaN, {}},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ToInt16(c.value), c.expected) << c.value;
  // Beyond the count range; 2^52 + 1 is already whole.
  const double halves[][2] = {
      {100000.5, 100000}, {100001.5, 100002},       {-7.5, -8},
      {-6.5, -6},         {0.49999999999999994, 0}, {4503599627370497.0, 4503599627370497.0}};
  for (const auto& h : halves) EXPECT_EQ(RoundHalfEven(h[0]), h[1]) << h[0];
  EXPECT_TRUE(std::isinf(RoundHalfEven(kInf)));
}

TEST(TextHelpers, SplitAtTabAndTrimSpaces) {
  // Without a TAB the text stays as it was.
  const struct {
    std::string text, before, rest;
  } cases[] = {
      {"a\tb\tc", "a", "b\tc"}, {"abc", "abc", "abc"}, {"\tx", "", "x"},
      {"x\t", "x", ""},         {"", "", ""},
  };
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
  std::vector<double> row = {-99, 3, 1, 2, 1, -4};
  ExchangeSort(row.data(), 5);  // entry 0 takes no part
  EXPECT_EQ(row, (std::vector<double>{-99, -4, 1, 1, 2, 3}));
  std::vector<double> partial = {0, 9, 8, 7};
  ExchangeSort(partial.data(), 2);  // only the first two entries take part
  EXPECT_EQ(partial, (std::vector<double>{0, 8, 9, 7}));

  // 1.1f = 1.10000002384185791015625 and 1.2f = 1.2000000476837158203125; their sum lies
  // exactly halfway between two singles and rounds to the even one, 2.30000019073486328125.
  const struct {
    std::vector<double> sorted;  // entry 0 unused
    double median;
  } medians[] = {{{kNaN, 5, 7, 9}, 7},
                 {{kNaN, 3, 5, 7, 9}, 6},
                 {{kNaN, 1.1, 1.2}, 1.150000095367431640625},
                 {{kNaN, 1.1}, 1.10000002384185791015625},
                 {{kNaN, 4, 4, 10, 12, 100}, 10},
                 {{kNaN}, 0}};
  for (const auto& m : medians) {
    const int n = static_cast<int>(m.sorted.size()) - 1;
    EXPECT_EQ(MedianOfSortedRow(m.sorted.data(), n), m.median) << n;
  }
}

}  // namespace
}  // namespace kolvane
