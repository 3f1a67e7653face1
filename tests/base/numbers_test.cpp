// The number rule for file text, the conversion to counts, typed numbers (cases in
// tests/data/base/numbers.tsv), and the row helpers of the blanks and controls. Every expected
// value is worked out by hand from the rules.
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/table.h"

namespace kolvane {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Beside the table's rows, texts too long for it: very long texts read whole
// (10^-9996 x 10^9999 = 1000) and leading zeros add no magnitude.
TEST(LenientNumber, TakesTheLongestLeadingDecimalNumber) {
  for (const TableRow& c : ReadTable("base/numbers.tsv", "lenient"))
    EXPECT_EQ(LenientNumber(c[0]), Number(c[1])) << "text \"" << c[0] << '"';
  const std::string zeros(9995, '0');
  const std::pair<std::string, double> long_texts[] = {
      {std::string(400, '1'), kInf},   {std::string(9990, '0') + "42.5xyz", 42.5},
      {"0." + zeros + "1e9999", 1000}, {"1" + std::string(10000, ' ') + "5", 15},
      {"0." + zeros + "1e-9999", 0},   {zeros + "1e-9999", 0},
      {zeros + "1e9999", kInf}};
  for (const auto& [text, value] : long_texts)
    EXPECT_EQ(LenientNumber(text), value) << text.substr(0, 12) << " .. " << text.size();
  EXPECT_TRUE(std::signbit(LenientNumber("-0")));
  const double tiny = LenientNumber("2.5e-320");  // subnormal: finite, tiny, not negative
  EXPECT_TRUE(tiny > 0 && tiny < 1e-300);
}

// "-": refused.
TEST(ParseStrictNumber, AcceptsOnlyAWholeNumberInSingleRange) {
  for (const TableRow& c : ReadTable("base/numbers.tsv", "strict"))
    EXPECT_EQ(ParseStrictNumber(c[0]), c[1] == "-" ? std::optional<double>() : Number(c[1]))
        << c[0];
}

TEST(ToInt16, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
  for (const TableRow& c : ReadTable("base/numbers.tsv", "int16")) {
    const std::optional<std::int16_t> count;
    EXPECT_EQ(ToInt16(Number(c[0])),
              c[1] == "-" ? count : static_cast<std::int16_t>(std::stoi(c[1])))
        << c[0];
  }
  for (const TableRow& c : ReadTable("base/numbers.tsv", "round"))
    EXPECT_EQ(RoundHalfEven(Number(c[0])), Number(c[1])) << c[0];
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
