// The shortcuts of the number rule and of the fixed patterns give the same bits and the same
// text as the general routes: checked against the standard library's correctly rounded
// conversion, and the fixed patterns against their full decimal route, on edge cases and on
// large random samples.
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
#include <system_error>
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

// The correctly rounded value of a number text ("-12.5", ".5", "7.", "1.5e-3"), sign included;
// false when the standard conversion does not take the whole text.
bool Reference(const std::string& text, double& value) {
  const bool sign = !text.empty() && (text[0] == '-' || text[0] == '+');
  std::string body = text.substr(sign ? 1 : 0);
  if (!body.empty() && body[0] == '.') body.insert(body.begin(), '0');
  value = 0.0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), value);
  if (sign && text[0] == '-') value = -value;
  return result.ec == std::errc() && result.ptr == body.data() + body.size();
}
double Reference(const std::string& text) {
  double value = 0.0;
  Reference(text, value);
  return value;
}

struct PlainCase {
  std::string text;
  bool taken;  // the shortcut converts the whole text itself
};

TEST(ParsePlainNumber, EdgeTextsGiveTheCorrectlyRoundedBits) {
  // The shortcut takes at most 15 significant digits (leading zeros do not count) and at most
  // 22 decimals; 2^53 has 16 digits.
  // clang-format off
  const std::vector<PlainCase> cases = {
      {"0.5", true}, {"-0", true}, {"+7", true}, {"1.", true}, {".5", true}, {"-.25", true},
      {"000000000000000000000000123.5", true}, {"999999999999999", true},
      {"0.0000000000000000000001", true}, {"0.00000000000000000000001", false},
      {"123456789012345678", false}, {"9007199254740992", false}, {"9007199254740993", false},
      {"900719925474099.3", false}, {"0.1234567890123456789", false}, {"1e5", false},
      {"1.2.3", false}, {"-", false}, {".", false}, {"", false},
  };
  // clang-format on
  for (const PlainCase& c : cases) {
    double value = -99.0;
    const char* first = c.text.data();
    const char* last = first + c.text.size();
    const char* stop = ParsePlainNumber(first, last, value);
    EXPECT_EQ(stop == last, c.taken) << c.text;
    if (stop == last) {
      EXPECT_EQ(Bits(value), Bits(Reference(c.text))) << c.text;
    }
  }
  // Whatever the shortcut does, the rule's result stays the full conversion's.
  EXPECT_EQ(Bits(LenientNumber("-0")), Bits(-0.0));
  EXPECT_EQ(LenientNumber("123456789012345678"), 123456789012345678.0);
  EXPECT_EQ(LenientNumber("9007199254740993"), 9007199254740992.0);  // ties to even
  EXPECT_EQ(LenientNumber("0.00000000000000000000001"), 1e-23);
}

// Random texts, a third with an exponent and some with long mantissas: the shortcut, where it
// takes the text, and the rule always give the correctly rounded bits.
TEST(ParsePlainNumber, RandomTextsAgreeWithTheFullConversion) {
  std::mt19937_64 random(77);
  std::uniform_int_distribution<int> count(0, 18);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> choice(0, 9);
  std::uniform_int_distribution<int> exponent(-40, 40);
  int taken = 0;
  for (int n = 0; n < 1000000; ++n) {
    std::string text;
    const int sign = choice(random);
    if (sign == 0) text += '-';
    if (sign == 1) text += '+';
    const int zeros = choice(random) < 2 ? count(random) : 0;
    text.append(static_cast<std::size_t>(zeros), '0');
    const int integer_digits = count(random) / (n % 5 == 0 ? 1 : 2);
    for (int i = 0; i < integer_digits; ++i) text += static_cast<char>('0' + digit(random));
    if (choice(random) < 7) {
      text += '.';
      const int fraction_digits = count(random) + (choice(random) == 0 ? 6 : 0);
      for (int i = 0; i < fraction_digits; ++i) text += static_cast<char>('0' + digit(random));
    }
    const bool has_digit = text.find_first_of("0123456789") != std::string::npos;
    const bool with_exponent = has_digit && n % 3 == 0;
    if (with_exponent) text += "e" + std::to_string(exponent(random));
    const char* first = text.data();
    const char* last = first + text.size();
    double value = 0.0;
    const char* stop = ParsePlainNumber(first, last, value);
    if (!has_digit) {
      ASSERT_EQ(stop, nullptr) << text;
      continue;
    }
    double reference = 0.0;
    if (!Reference(text, reference)) continue;
    if (stop != nullptr && !with_exponent) {
      ASSERT_EQ(stop, last) << text;
      ASSERT_EQ(Bits(value), Bits(reference)) << text;
      ++taken;
    }
    ASSERT_EQ(Bits(LenientNumber(text)), Bits(reference)) << text;
  }
  EXPECT_GT(taken, 250000);  // the sample does exercise the shortcut
}

// A file in the temporary folder, removed again at the end of the test.
struct TempFile {
  TempFile(const char* name, const std::string& bytes)
      : path((std::filesystem::temp_directory_path() /
              ("kolvane-" + std::to_string(::getpid()) + "-" + name))
                 .string()) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  ~TempFile() {
    std::error_code ec;
    std::filesystem::remove(path, ec);
  }
  std::string path;
};

// Numbers read from a file of more than one buffer block, so that some are cut by the block's
// end, with every separator the files use.
TEST(ReadNumber, ShortcutAndGeneralRouteAgreeAcrossBlocks) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> magnitude(-3.0, 7.0);
  std::uniform_int_distribution<int> choice(0, 11);
  const char* separators[] = {" ", "\t", ",", "\r\n", "\n", " , ", "\t\t", "  "};
  const char* formats[] = {"%.0f",  "%.1f",  "%.2f", "%.3f", "%.4f", "%.0f", "%.17g",
                           "%.17g", "%.17g", "%.3e", "%.6f", "%.0f."};  // %.17g: long, maybe e
  std::vector<std::string> texts;
  std::string file;
  while (file.size() < 2500000) {
    const int kind = choice(random);
    char cell[64];
    std::snprintf(cell, sizeof cell, formats[kind],
                  std::pow(10.0, magnitude(random)) * (kind == 0 ? -1 : 1));
    texts.push_back(cell);
    file += cell;
    file += separators[choice(random) % 8];
  }
  const TempFile data("fast-read.syn", file);
  InputChannel in;
  ASSERT_TRUE(in.Open(data.path));
  double value = 0.0;
  for (const std::string& text : texts) {
    ASSERT_EQ(in.ReadNumber(value), ReadStatus::Ok);
    ASSERT_EQ(Bits(value), Bits(Reference(text))) << text;
  }
  EXPECT_EQ(in.ReadNumber(value), ReadStatus::End);
}

// Lines read as views equal the lines read as copies, whatever their length, their line
// ends and where the read blocks cut them (a CR LF pair cut between two blocks included).
TEST(ReadLineView, SameLinesAsReadLineAcrossBlocks) {
  std::mt19937_64 random(11);
  std::uniform_int_distribution<int> length(0, 300);
  std::uniform_int_distribution<int> ending(0, 2);
  const char* ends[] = {"\r\n", "\n", "\r"};
  std::size_t written = 1;
  std::string file;
  for (; file.size() < 1500000; ++written) {
    std::string line(static_cast<std::size_t>(length(random)), 'x');
    for (std::size_t i = 0; i < line.size(); i += 7) line[i] = '\t';
    file += line + ends[ending(random)];
  }
  const TempFile data("line-view.fix", file + "last line without an end");
  // A lone CR before an empty line ended by LF is one CR LF: the copies are the reference.
  InputChannel in, copies;
  ASSERT_TRUE(in.Open(data.path));
  ASSERT_TRUE(copies.Open(data.path));
  std::string expected;
  std::string_view line;
  std::size_t count = 0;
  for (; copies.ReadLine(expected) == ReadStatus::Ok; ++count) {
    ASSERT_EQ(in.ReadLineView(line), ReadStatus::Ok);
    ASSERT_EQ(line, expected);
  }
  EXPECT_EQ(expected, "") << "the reference's end";
  EXPECT_EQ(in.ReadLineView(line), ReadStatus::End);
  EXPECT_GT(count, written * 9 / 10);
}

// The fixed patterns: the shortcut's text equals the full decimal route's for every value.
void ExpectSameFixed(double value, int decimals) {
  const std::string general = FormatFixedFromDigits(value, decimals);
  ASSERT_EQ(FormatFixed(value, decimals), general) << value << " " << decimals;
  std::string line = "x";
  AppendFixed(line, value, decimals);
  ASSERT_EQ(line, "x" + general) << value << " " << decimals;
}

TEST(FormatFixed, ShortcutMatchesTheDecimalRouteOnEdgeValues) {
  // 1 + 2^-15 has 16 digits: its 15-digit rounding ties.
  // clang-format off
  std::vector<double> values = {
      0.0, -0.0, 0.5, -0.5, 0.0005, -0.0005, 2.675, 1.0005, 9.9995, 99.9995, 999.9995,
      0.00049999999999999, 1e-7, 9.99999999999999e-8, 1.0000000000000002e-7, 1e13,
      9999999999999.998, 1 + std::ldexp(1.0, -15), 3 + std::ldexp(1.0, -15), std::ldexp(1.0, 53),
      std::ldexp(1.0, 53) + 2, 123456789.123456789, std::nextafter(0.0, 1.0), 1e300};
  // clang-format on
  for (int k = -9; k <= 14; ++k) {
    const double power = std::pow(10.0, k);
    values.push_back(power);
    values.push_back(std::nextafter(power, 0.0));
    values.push_back(std::nextafter(power, 1e300));
    for (int d = 1; d <= 7; ++d) {
      // Just below and above a power of ten by half a unit of the last decimal.
      values.push_back(power - 0.5 * std::pow(10.0, -d));
      values.push_back(power + 0.5 * std::pow(10.0, -d));
    }
  }
  for (double v : values) {
    for (int decimals = 0; decimals <= 7; ++decimals) {
      ExpectSameFixed(v, decimals);
      ExpectSameFixed(-v, decimals);
    }
  }
}

TEST(FormatFixed, ShortcutMatchesTheDecimalRouteOnRandomValues) {
  std::mt19937_64 random(2024);
  std::uniform_real_distribution<double> exponent(-9.0, 14.0);
  std::uniform_int_distribution<int> decimals(1, 6);
  std::uniform_int_distribution<std::int64_t> units(0, 100000000);
  std::uniform_int_distribution<int> scale(0, 12);
  for (int n = 0; n < 1000000; ++n) {
    const int d = decimals(random);
    double v = 0.0;
    switch (n % 4) {
      case 0:  // any magnitude
        v = std::pow(10.0, exponent(random));
        break;
      case 1:  // a half of the last decimal's unit, as near as a double gets
        v = (static_cast<double>(units(random)) + 0.5) / std::pow(10.0, d);
        break;
      case 2:  // a decimal with few digits
        v = static_cast<double>(units(random)) / std::pow(10.0, scale(random));
        break;
      default:  // dyadic fractions: exact halves at many positions
        v = std::ldexp(static_cast<double>(units(random)), -scale(random) * 2);
        break;
    }
    if (n % 2 == 1) v = -v;
    ExpectSameFixed(v, d);
  }
}

// Values close to a half of the last decimal's unit, where the binary value and its 15-digit
// decimal can round differently: whole runs of neighbouring doubles on both sides of the half,
// and relative offsets around the fifteenth digit (ties of the 15-digit rounding included).
TEST(FormatFixed, ShortcutMatchesTheDecimalRouteNearHalves) {
  std::mt19937_64 random(77);
  std::uniform_int_distribution<int> decimals(1, 6);
  std::uniform_int_distribution<int> digits(0, 13);
  std::uniform_int_distribution<std::int64_t> mantissa(1, 999999999999LL);
  for (int n = 0; n < 20000; ++n) {
    const int d = decimals(random);
    const int width = digits(random);  // integer digits before the scaling
    const double whole = static_cast<double>(mantissa(random) %
                                             static_cast<std::int64_t>(std::pow(10.0, width) + 1));
    const double half = (whole + 0.5) / std::pow(10.0, d);
    double below = half;
    double above = half;
    for (int step = 0; step < 24; ++step) {
      ExpectSameFixed(below, d);
      ExpectSameFixed(-above, d);
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, 1e300);
    }
    for (int j = -40; j <= 40; ++j) {
      const double v = half * (1.0 + j * 1e-16);
      ExpectSameFixed(v, d);
      ExpectSameFixed(-v, d);
    }
  }
}

}  // namespace
}  // namespace kolvane
