// The number forms of the results file (cases in tests/data/base/format.tsv, worked out by hand
// from the rules): a double shows its first 15 significant digits, and the fixed patterns round
// those decimal digits half away from zero.
#include "base/format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/table.h"

namespace kolvane {
namespace {

TEST(FormatFixed, RoundsTheDecimalValueHalfAwayFromZero) {
  for (const TableRow& c : ReadTable("base/format.tsv", "fixed")) {
    const double value = Number(c[0]);
    const int decimals = std::stoi(c[1]);
    EXPECT_EQ(FormatFixed(value, decimals), c[2]) << c[0] << ", " << decimals;
    std::string line = "cell\t";
    AppendFixed(line, value, decimals);
    EXPECT_EQ(line, "cell\t" + c[2]) << c[0] << ", " << decimals;
  }
}

TEST(FormatGeneral, ShortestFormUpToFifteenOrSevenDigits) {
  for (const TableRow& c : ReadTable("base/format.tsv", "general"))
    EXPECT_EQ(FormatGeneral(Number(c[0])), c[1]) << c[0];
  for (const TableRow& c : ReadTable("base/format.tsv", "single"))
    EXPECT_EQ(FormatGeneralSingle(std::strtof(c[0].c_str(), nullptr)), c[1]) << c[0];
}

}  // namespace
}  // namespace kolvane
