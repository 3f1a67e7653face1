// The shortcuts of the number readers and writers give the very bits and text of the general
// routes, on random samples whose seed is printed: number texts read as the standard library's
// correctly rounded conversion reads them, from memory and from a file of several read blocks
// by every reader of the channel (numbers, singles rounded from them, numbers passed over
// without converting them, lines read as views and as copies), and every fixed-pattern writer
// gives the text of the full decimal route.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
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
#include "support/table.h"

namespace kolvane {
namespace {

std::uint64_t Bits(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The correctly rounded value of a number text ("-12.5", "+.5", "7.", "1.5e-3").
double Reference(const std::string& text) {
  const bool sign = text[0] == '-' || text[0] == '+';
  const std::string body = "0" + text.substr(sign ? 1 : 0);
  double value = 0.0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), value);
  EXPECT_TRUE(result.ec == std::errc() && result.ptr == body.data() + body.size()) << text;
  return text[0] == '-' ? -value : value;
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
  // The file: the single readings' cases, then random texts finite in single precision and now
  // and then a field that is no plain number, each with a separator the files use (",," adds
  // an empty field, read as 0); the numbers, and their texts, as they must read.
  const char* separators[] = {" ",  "   ", "\t",  "\r\n", "\n",   "\r",      ",",
                              " ,", ", ",  " , ", "\t\t", "  \n", "\t,\r\n", ",,"};
  std::vector<std::string> fields;
  std::vector<double> values;
  std::string file;
  auto put = [&](const std::string& text, double value) {
    const std::string separator = separators[pick(0, 13)];
    file += text + separator;
    fields.push_back(text), values.push_back(value);
    if (separator == ",,") fields.push_back(""), values.push_back(0.0);
  };
  for (const TableRow& row : ReadTable("base/singles.tsv", "text")) put(row[0], Reference(row[0]));
  // Texts with a sign, leading zeros, up to 18 integer and 24 decimal digits (at least one
  // digit), a third with an exponent: about half are short enough for the shortcut. Each is
  // read from memory first.
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
      ASSERT_EQ(Bits(value), Bits(Reference(text.substr(0, stop - text.data())))) << text;
    }
    value = Reference(text);
    ASSERT_EQ(Bits(LenientNumber(text)), Bits(value)) << text;
    if (file.size() > 2200000 || !std::isfinite(static_cast<float>(value))) continue;
    put(text, value);
    if (n % 97 == 0) put(n % 2 ? "x" : std::string("4\0", 2), n % 2 ? 0.0 : 4.0);
  }
  EXPECT_GT(taken, 100000);              // the sample does exercise the shortcut
  file += "\nlast line without an end";  // five more fields of no number
  fields.insert(fields.end(), 5, "last line"), values.insert(values.end(), 5, 0.0);

  const std::string path = (std::filesystem::temp_directory_path() /
                            ("kolvane-fast-" + std::to_string(::getpid()) + ".txt"))
                               .string();
  std::ofstream(path, std::ios::binary) << file;
  InputChannel numbers, singles, skipper, views, copies;
  ASSERT_TRUE(numbers.Open(path) && singles.Open(path) && skipper.Open(path) && views.Open(path) &&
              copies.Open(path));
  double value = 0.0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    ASSERT_EQ(numbers.ReadNumber(value), ReadStatus::Ok);
    ASSERT_EQ(Bits(value), Bits(values[i])) << fields[i];
  }
  EXPECT_EQ(numbers.ReadNumber(value), ReadStatus::End);
  // Singles in runs of random length, as the scan records are read.
  bool beyond = false;
  for (std::size_t done = 0; done < values.size();) {
    float got[600];
    const int want = static_cast<int>(std::min<std::size_t>(pick(1, 600), values.size() - done));
    ASSERT_EQ(singles.ReadSingles(got, want, beyond), want);
    ASSERT_FALSE(beyond);
    for (int k = 0; k < want; ++k, ++done) {
      const float expected = static_cast<float>(values[done]);
      ASSERT_EQ(std::memcmp(&got[k], &expected, sizeof expected), 0)
          << fields[done] << " read as " << got[k] << ", expected " << expected;
    }
  }
  // After passing over k numbers (fewer at the end), the next number read is the k+1st.
  for (std::size_t at = 0; at < values.size();) {
    const int step = pick(1, 700);
    ASSERT_EQ(skipper.SkipNumbers(step, beyond),
              static_cast<int>(std::min<std::size_t>(step, values.size() - at)));
    ASSERT_FALSE(beyond);
    if ((at += step) >= values.size()) break;
    ASSERT_EQ(skipper.ReadNumber(value), ReadStatus::Ok);
    ASSERT_EQ(Bits(value), Bits(values[at])) << "after " << at << " numbers: " << fields[at];
    ++at;
  }
  EXPECT_TRUE(skipper.AtEnd());
  std::string copy, last;
  std::string_view view;
  for (; copies.ReadLine(copy) == ReadStatus::Ok; last = copy) {
    ASSERT_EQ(views.ReadLineView(view), ReadStatus::Ok);
    ASSERT_EQ(view, copy);
  }
  EXPECT_EQ(last, "last line without an end");
  EXPECT_EQ(views.ReadLineView(view), ReadStatus::End);
  for (InputChannel* in : {&numbers, &singles, &skipper, &views, &copies})
    in->Close();  // an open file cannot go on every system
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
