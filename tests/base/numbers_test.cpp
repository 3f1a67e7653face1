// The number rule for file text, the conversion to counts, typed numbers, and the row helpers
// of the blanks and controls.
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace kolvane {
namespace {

struct LenientCase {
  std::string text;
  double expected;
};

TEST(LenientNumber, TakesTheLongestLeadingDecimalNumber) {
  const std::vector<LenientCase> cases = {
      {"12.5", 12.5},
      {"12.5abc", 12.5},
      {"abc", 0.0},
      {"", 0.0},
      {" 1 2.5", 12.5},  // blanks anywhere are ignored
      {"\t-\t4\n2", -42.0},
      {"\r12\r", 12.0},
      {"1.2.3", 1.2},  // a second full stop ends the
                       // number
      {"-.5", -0.5},
      {"+3e2", 300.0},
      {"1e", 1.0},  // an e without digits is not part of
                    // the number
      {"1e+", 1.0},
      {"1e-", 1.0},
      {"1ex5", 1.0},
      {"1e-2", 0.01},
      {"2.5E3", 2500.0},
      {"1 e 2", 100.0},
      {"5.", 5.0},
      {".", 0.0},
      {"-", 0.0},
      {"+", 0.0},
      {"--1", 0.0},
      {"e5", 0.0},
      {"1,5", 1.0},  // the comma is never a decimal separator
      {"0x10", 0.0},
      {"007", 7.0},
      {"-0", 0.0},
      {"350\t12", 35012.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LenientNumber(c.text), c.expected) << "text: \"" << c.text << "\"";
  }
}

TEST(LenientNumber, OutOfRangeGivesInfinityOrZero) {
  EXPECT_EQ(LenientNumber("1e400"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LenientNumber("-1e400"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(LenientNumber("1e-400"), 0.0);
  EXPECT_EQ(LenientNumber("1e99999999999999999999999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(LenientNumber("1e-99999999999999999999999"), 0.0);
  // 400 digits: about 1.1e399.
  EXPECT_EQ(LenientNumber(std::string(400, '1')), std::numeric_limits<double>::infinity());
  // A value in the denormal range is finite, tiny and not negative.
  const double tiny = LenientNumber("2.5e-320");
  EXPECT_TRUE(std::isfinite(tiny));
  EXPECT_GE(tiny, 0.0);
  EXPECT_LT(tiny, 1e-300);
  EXPECT_EQ(LenientNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(LenientNumber, ReadsVeryLongTexts) {
  // 9990 leading zeros, then the number and text that is not part of it.
  EXPECT_EQ(LenientNumber(std::string(9990, '0') + "42.5xyz"), 42.5);
  // 10^-9996 x 10^9999 = 1000.
  EXPECT_EQ(LenientNumber("0." + std::string(9995, '0') + "1e9999"), 1000.0);
  // A long run of blanks between the digits of one number.
  EXPECT_EQ(LenientNumber("1" + std::string(10000, ' ') + "5"), 15.0);
}

// Every number is rounded correctly: the conversion agrees with the standard library's
// correctly rounded one on short and long mantissas, with and without exponents.
TEST(LenientNumber, AgreesWithCorrectlyRoundedConversion) {
  std::mt19937_64 random(20240607);
  std::uniform_int_distribution<int> length(1, 20);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> exponent(-40, 40);
  for (int n = 0; n < 200000; ++n) {
    std::string text;
    const int integer_digits = length(random) - 1;
    const int fraction_digits = length(random) - 1;
    for (int i = 0; i < integer_digits; ++i) text.push_back(static_cast<char>('0' + digit(random)));
    if (integer_digits == 0 || n % 2 == 0) {
      text.push_back('.');
      for (int i = 0; i < fraction_digits; ++i) {
        text.push_back(static_cast<char>('0' + digit(random)));
      }
    }
    if (n % 3 == 0) text += "e" + std::to_string(exponent(random));
    double reference = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), reference);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) continue;
    ASSERT_EQ(LenientNumber(text), reference) << text;
    ASSERT_EQ(LenientNumber("-" + text), -reference) << text;
  }
}

TEST(ToInt16, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
  struct Case {
    double value;
    std::optional<std::int16_t> expected;
  };
  const std::vector<Case> cases = {
      {2.5, 2},           {3.5, 4},         {-2.5, -2},    {-3.5, -4},    {0.5, 0},
      {1.5, 2},           {2.4999, 2},      {2.5001, 3},   {-0.4, 0},     {12.0, 12},
      {32767.0, 32767},   {32767.4, 32767}, {32767.5, {}}, {40000.0, {}}, {-32768.0, -32768},
      {-32768.5, -32768}, {-32769.0, {}},   {1e300, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToInt16(c.value), c.expected) << "value: " << c.value;
  }
  EXPECT_FALSE(ToInt16(LenientNumber("1e400")).has_value());
  EXPECT_FALSE(ToInt16(-std::numeric_limits<double>::infinity()).has_value());
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::quiet_NaN()).has_value());
}

TEST(RoundHalfEven, RoundsBeyondTheCountRange) {
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
  const std::vector<Case> cases = {
      {"12.5", 12.5}, {"  12.5  ", 12.5}, {"1e3", 1000.0}, {"-0.25", -0.25}, {"+4", 4.0},
      {".5", 0.5},    {"5.", 5.0},        {"3e38", 3e38},  {"", {}},         {"   ", {}},
      {"1,5", {}},    {"12abc", {}},      {"1 2", {}},     {"1e", {}},       {"1e39", {}},
      {"-1e39", {}},  {"1e400", {}},      {"abc", {}},     {".", {}},        {"-", {}},
      {"nan", {}},    {"inf", {}},        {"1.2.3", {}},   {"--1", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseStrictNumber(c.text), c.expected) << "text: \"" << c.text << "\"";
  }
}

TEST(TextHelpers, SplitAtTabAndTrimSpaces) {
  struct Case {
    std::string text;
    std::string before;
    std::string rest;
  };
  const std::vector<Case> cases = {
      {"a\tb\tc", "a", "b\tc"}, {"abc", "abc", "abc"},  // without a TAB the text stays as it was
      {"\tx", "", "x"},         {"x\t", "x", ""},      {"", "", ""},
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

TEST(MedianOfSortedRow, OddAndEvenCountsInSinglePrecision) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  {
    std::vector<double> row = {nan, 5, 9, 7};
    ExchangeSort(row.data(), 3);
    EXPECT_EQ(MedianOfSortedRow(row.data(), 3), 7.0);
  }
  {
    std::vector<double> row = {nan, 5, 9, 7, 3};
    ExchangeSort(row.data(), 4);
    EXPECT_EQ(MedianOfSortedRow(row.data(), 4), 6.0);
  }
  {
    // 1.1f = 1.10000002384185791015625 and 1.2f = 1.2000000476837158203125; their sum
    // 2.30000007152557373046875 lies exactly halfway between two singles and rounds to the
    // even one, 2.30000019073486328125; halved: 1.150000095367431640625.
    std::vector<double> row = {nan, 1.1, 1.2};
    EXPECT_EQ(MedianOfSortedRow(row.data(), 2), 1.150000095367431640625);
  }
  {
    std::vector<double> row = {nan, 1.1};
    EXPECT_EQ(MedianOfSortedRow(row.data(), 1), 1.10000002384185791015625);
  }
}

TEST(ExchangeSort, SortsEntriesOneToN) {
  std::vector<double> row = {-99, 3, 1, 2, 1, -4};
  ExchangeSort(row.data(), 5);
  EXPECT_EQ(row, (std::vector<double>{-99, -4, 1, 1, 2, 3}));
  std::vector<double> partial = {0, 9, 8, 7};
  ExchangeSort(partial.data(), 2);  // only the first two entries take part
  EXPECT_EQ(partial, (std::vector<double>{0, 8, 9, 7}));
}

}  // namespace
}  // namespace kolvane
