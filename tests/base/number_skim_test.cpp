// Passing over readings without converting them: the count of numbers and the place where the
// pass stops must be those of the converting number reader, and a reading beyond single
// precision must still be found.
#include "base/number_skim.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/channels.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

// A stretch of 64 characters of padding: plain numbers "7" between TABs (32 of them).
std::string Pad(int stretches) {
  std::string text;
  for (int i = 0; i < 32 * stretches; ++i) text += "7\t";
  return text;
}

TEST(SkimPlainNumbers, CountsAndStopsAsTheReaderReads) {
  // Only whole stretches of 64 characters are looked at; the limits stay inside them.
  const std::string pad = Pad(2), one = Pad(1);
  const struct {
    const char* name;
    std::string text;
    int limit, passed;  // passed counted by hand
    std::size_t stop;   // where the next number starts, by hand
  } cases[] = {
      {"tabs", "12.5\t3\t4\t" + pad, 2, 2, 7},
      {"blanks and a comma end one number", "1 , 2\t" + pad, 1, 1, 4},
      {"two commas: an empty field", "1,,2\t" + pad, 2, 2, 3},
      {"a comma after a line end is a field", "1\r\n,2\t" + pad, 2, 2, 4},
      {"a leading comma is a field", ",5\t" + pad, 1, 1, 1},
      {"blanks before a comma after a line end", "1\n  ,9\t" + pad, 1, 1, 4},
      {"comma, blanks, comma", "1, ,8\t" + pad, 2, 2, 4},
      {"line ends and blanks between numbers", "  3\r\n\r\n 4  5\t" + pad, 2, 2, 11},
      {"limit zero passes nothing", "1\t2\t" + pad, 0, 0, 0},
      {"an exponent stops at its number", "1\t2\t3.5e2\t4\t" + pad, 5, 2, 4},
      {"a capital E as well", "1\t2E1\t" + pad, 5, 1, 2},
      {"sixteen aligned characters", "1\t" + std::string(31, '5') + "\t" + pad, 5, 1, 2},
      // 31 numbers "7\t" and a "7" end at character 63; the number at 62..65 spans the end.
      {"a number across stretches", one.substr(0, 62) + "7777\t9\t" + pad, 32, 32, 67},
      {"blanks across stretches, then a comma", one.substr(0, 60) + "8       ,6\t" + pad, 31, 31,
       69},
      {"after a line end the comma is a field", one.substr(0, 60) + "8\n      ,6\t" + pad, 31, 31,
       68},
      {"40 characters: no whole stretch", one.substr(0, 40), 5, 0, 0},
      {"a limit beyond a stretch: its last number", one + "12345", 100, 31, 62},
  };
  for (const auto& c : cases) {
    const SkimmedNumbers s =
        SkimPlainNumbers(c.text.data(), c.text.data() + c.text.size(), c.limit);
    EXPECT_EQ(s.passed, c.passed) << c.name;
    EXPECT_EQ(s.stop, c.stop) << c.name;
  }
}

// A file of the given bytes under the system's temporary folder.
std::string Write(const std::string& bytes) {
  const fs::path path = fs::temp_directory_path() / ("kolvane-skim-" + std::to_string(getpid()));
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

TEST(SkipNumbers, FindsEveryValueBeyondSinglePrecision) {
  // FLT_MAX is about 3.4028235e38; 38 nines lie below 10^38, 39 about 1e39; a NUL is text of a
  // number, not the file's end.
  const std::vector<std::string> kinds[] = {
      {"3.4e38", "2.5E+10", "1e-300", "abc", "12e", std::string(38, '9'),
       std::string(45, '0') + "1", std::string("\0005", 2)},
      {"3.5e38", "-1e39", "1e400", std::string(39, '9')}};
  // In a short line each reading takes the long way; with 60 more readings after the line
  // the pass goes through whole stretches of 64 characters.
  for (const int more : {0, 60}) {
    for (const bool beyond : {false, true}) {
      for (const std::string& text : kinds[beyond]) {
        // Ten readings, the unusual one the fourth or the ninth.
        for (const int place : {4, 9}) {
          std::string line;
          for (int i = 1; i <= 10; ++i) line += (i == place ? text : std::to_string(i)) + "\t";
          for (int i = 0; i < more; ++i) line += (i ? "7\t" : "\r\n7\t");
          InputChannel in;
          ASSERT_TRUE(in.Open(Write(line)));
          bool found = false;
          EXPECT_EQ(in.SkipNumbers(10, found), beyond ? place - 1 : 10) << text << " at " << place;
          EXPECT_EQ(found, beyond) << text << " at " << place << " with " << more;
        }
      }
    }
  }
}

TEST(SkipNumbers, StopsWhereTheConvertingReaderStops) {
  // Long random text over several blocks: fields of every kind between every kind of
  // separator. After passing over k numbers, the next number read must be the reader's k+1st.
  std::mt19937 random(20240314);
  const char* separators[] = {"\t", " ", ",", "\r\n", "\n", "\r", " , ", ",,", "\t\t", "  \n"};
  // Odd fields: long but small, exponents, signs, text, a NUL inside a number.
  const std::string odd[] = {std::string(45, '0') + "1.5", "1.5e3", "2E-2", "-7", "+0.25", "x",
                             std::string("4\0", 2)};
  std::string text;
  while (text.size() < 700000) {
    const unsigned pick = random() % 100;
    text += pick < 3 ? odd[pick == 0 ? 0 : 1 + random() % 5]
            : pick == 99
                ? odd[6]
                : std::to_string(random() % 100000) + "." + std::to_string(random() % 1000);
    text += separators[random() % 10];
  }
  const std::string path = Write(text);
  InputChannel reader;
  ASSERT_TRUE(reader.Open(path));
  std::vector<double> values;
  for (double v = 0; reader.ReadNumber(v) == ReadStatus::Ok;) values.push_back(v);

  InputChannel skipper;
  ASSERT_TRUE(skipper.Open(path));
  std::size_t at = 0;
  bool beyond = false;
  while (at < values.size()) {
    const int step = 1 + static_cast<int>(random() % 700);
    const int passed = skipper.SkipNumbers(step, beyond);
    ASSERT_FALSE(beyond);
    at += static_cast<std::size_t>(passed);
    double next = 0;
    if (passed < step || at == values.size()) break;
    ASSERT_EQ(skipper.ReadNumber(next), ReadStatus::Ok);
    ASSERT_EQ(next, values[at++]) << "after " << at << " numbers";
  }
  EXPECT_EQ(at, values.size());
  EXPECT_TRUE(skipper.AtEnd());
}

}  // namespace
}  // namespace kolvane
