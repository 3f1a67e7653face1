// The shortcuts of the number readers and writers give the very bits and text of the general
// routes, on random samples whose seed is printed: number texts read as the standard library's
// correctly rounded conversion reads them, from memory and from a file of several read blocks
// (lines read as views equal lines read as copies), and every fixed-pattern writer gives the
// text of the full decimal route.
#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/channels.h"
#include "base/format.h"
#include "base/numbers.h"

namespace kolvane {
namespace {

std::uint64_t Bits(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The correctly rounded value of a number text ("-12.5", "+.5", "7.", "1.5e-3").
std::uint64_t Reference(const std::string& text) {
  const bool sign = text[0] == '-' || text[0] == '+';
  const std::string body = "0" + text.substr(sign ? 1 : 0);
  double value = 0.0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), value);
  EXPECT_TRUE(result.ec == std::errc() && result.ptr == body.data() + body.size()) << text;
  return Bits(text[0] == '-' ? -value : value);
}

// The fixed patterns, every way a cell is written.
void ExpectSameFixed(double value, int decimals) {
  const std::string text = FormatFixedFromDigits(value, decimals);
  std::string line = "x";
  AppendFixed(line, value, decimals);
  char cell[kFixedShortcutRoom + 8];
  const char* end = WriteFixedShortcut(cell, value, decimals);
  ASSERT_EQ(FormatFixed(value, decimals) + "|" + line,
            text + "|x" + (end == nullptr ? text : std::string(cell, end - cell)))
      << value << " with " << decimals << " decimals";
}

TEST(FastPaths, ShortcutsGiveTheGeneralRoutesBitsAndText) {
  const std::uint64_t seed = 2024;
  SCOPED_TRACE(testing::Message() << "seed " << seed);
  std::mt19937_64 random(seed);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  auto digits = [&](std::string& text, int count) {
    for (int i = 0; i < count; ++i) text += static_cast<char>('0' + pick(0, 9));
  };
  // Texts with a sign, leading zeros, up to 18 integer and 24 decimal digits (at least one
  // digit), a third with an exponent: about half are short enough for the shortcut. Each is
  // read from memory and written to the file with a separator the files use.
  const char* separators[] = {" ", "\t", ",", "\r\n", "\n", " , ", "\t\t", "\r"};
  std::vector<std::string> texts;
  std::string file;
  int taken = 0;
  for (int n = 0; n < 300000; ++n) {
    std::string text = std::string(pick(0, 4) == 0   ? "-"
                                   : pick(0, 4) == 0 ? "+"
                                                     : "") +
                       std::string(pick(0, 4) == 0 ? pick(1, 18) : 0, '0');
    digits(text, pick(0, 18) / (n % 5 == 0 ? 1 : 2));
    if (pick(0, 9) < 7) digits(text += '.', pick(0, 18) + (pick(0, 9) == 0 ? 6 : 0));
    if (text.find_first_of("0123456789") == std::string::npos) digits(text, 1);
    if (n % 3 == 0) text += "e" + std::to_string(pick(-40, 40));
    double value = 0.0;
    if (const char* stop = ParsePlainNumber(text.data(), text.data() + text.size(), value)) {
      ++taken;  // the value of the text up to where the shortcut stopped
      ASSERT_EQ(Bits(value), Reference(text.substr(0, stop - text.data()))) << text;
    }
    ASSERT_EQ(Bits(LenientNumber(text)), Reference(text)) << text;
    if (file.size() < 1200000) texts.push_back(text), file += text + separators[n % 8];
  }
  EXPECT_GT(taken, 100000);  // the sample does exercise the shortcut

  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kolvane-fast-" + std::to_string(::getpid()) + ".txt"))
                               .string();
  std::ofstream(path, std::ios::binary) << file << "\nlast line without an end";
  InputChannel numbers, views, copies;
  ASSERT_TRUE(numbers.Open(path) && views.Open(path) && copies.Open(path));
  double value = 0.0;
  for (const std::string& text : texts) {
    ASSERT_EQ(numbers.ReadNumber(value), ReadStatus::Ok);
    ASSERT_EQ(Bits(value), Reference(text)) << text;
  }
  std::string copy, last;
  std::string_view view;
  for (; copies.ReadLine(copy) == ReadStatus::Ok; last = copy) {
    ASSERT_EQ(views.ReadLineView(view), ReadStatus::Ok);
    ASSERT_EQ(view, copy);
  }
  EXPECT_EQ(last, "last line without an end");
  EXPECT_EQ(views.ReadLineView(view), ReadStatus::End);
  numbers.Close(), views.Close(), copies.Close();  // an open file cannot go on every system
  std::filesystem::remove(path);

  // Powers of ten, their neighbours and values half a unit of a decimal off them; then values
  // of any magnitude, runs of neighbouring doubles on both sides of a half of the last decimal
  // (where the binary value and its 15 digits can round differently), decimals with few
  // digits, and dyadic fractions (exact halves).
  for (int k = -9; k <= 14; ++k) {
    const double power = std::pow(10.0, k);
    for (double v : {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300)}) {
      for (int d = 0; d <= 7; ++d) {
        for (double off : {0.0, 0.5, -0.5}) {
          ExpectSameFixed(v + off * std::pow(10.0, -d), d);
          ExpectSameFixed(-v - off * std::pow(10.0, -d), d);
        }
      }
    }
  }
  std::uniform_int_distribution<std::int64_t> units(0, 100000000000000LL);
  for (int n = 0; n < 200000; ++n) {
    const int d = pick(1, 6);
    const double whole =
        static_cast<double>(units(random) % static_cast<std::int64_t>(std::pow(10.0, pick(0, 14))));
    const double half = (whole + 0.5) / std::pow(10.0, d);
    const double sign = n % 2 ? -1.0 : 1.0;
    if (n % 4 == 0) ExpectSameFixed(sign * std::pow(10.0, pick(-9000, 14000) / 1000.0), d);
    if (n % 4 == 1) ExpectSameFixed(sign * whole / std::pow(10.0, pick(0, 12)), d);
    if (n % 4 == 2) ExpectSameFixed(sign * std::ldexp(whole, -2 * pick(0, 12)), d);
    if (n % 4 != 3) continue;
    double below = half, above = half;
    for (int step = 0; step < 8; ++step) {
      ExpectSameFixed(half * (1.0 + pick(-40, 40) * 1e-16), d);
      ExpectSameFixed(below = std::nextafter(below, 0.0), d);
      ExpectSameFixed(-(above = std::nextafter(above, 1e300)), d);
    }
  }
}

}  // namespace
}  // namespace kolvane
