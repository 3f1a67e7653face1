// The number rule for file text, the conversion to counts, typed numbers, the text helpers and
// the row helpers of the blanks and controls (cases in tests/data/base/numbers.tsv). Every
// expected value is worked out by hand from the rules.
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

TEST(ParsePlainNumber, GivesUpBeyondFifteenDigits) {
  for (const TableRow& c : ReadTable("base/numbers.tsv", "plain")) {
    double value = 0.0;
    const char* stop = ParsePlainNumber(c[0].data(), c[0].data() + c[0].size(), value);
    EXPECT_EQ(stop == nullptr ? "-" : std::to_string(stop - c[0].data()), c[1]) << c[0];
    EXPECT_EQ(value, stop == nullptr ? 0.0 : Number(c[2])) << c[0];
  }
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
  for (const TableRow& c : ReadTable("base/numbers.tsv", "split")) {
    std::string text = c[0];
    EXPECT_EQ(SplitAtTab(text), c[1]) << c[0];
    EXPECT_EQ(text, c[2]) << c[0];
  }
  for (const TableRow& c : ReadTable("base/numbers.tsv", "trim"))
    EXPECT_EQ(TrimSpaces(c[0]), c[1]) << c[0];
}

TEST(RowHelpers, ExchangeSortAndMedianInSinglePrecision) {
  for (const TableRow& c : ReadTable("base/numbers.tsv", "sort")) {
    std::vector<double> row = Numbers(c[0]);
    ExchangeSort(row.data(), std::stoi(c[1]));
    EXPECT_EQ(row, Numbers(c[2])) << c[0];
  }
  for (const TableRow& c : ReadTable("base/numbers.tsv", "median")) {
    const std::vector<double> row = Numbers(c[0]);
    EXPECT_EQ(MedianOfSortedRow(row.data(), static_cast<int>(row.size()) - 1), Number(c[1]))
        << c[0];
  }
}

}  // namespace
}  // namespace kolvane
