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

struct SkimCase {
  const char* name;
  std::string text;
  int limit;
  int passed;        // counted by hand
  std::size_t stop;  // where the next number starts, by hand
};

TEST(SkimPlainNumbers, CountsAndStopsAsTheReaderReads) {
  // Each text is followed by padding so that its stretch is whole; limits stay inside it.
  const std::string pad = Pad(2);
  const std::vector<SkimCase> cases = {
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
      {"sixteen aligned characters stop at their number", "1\t" + std::string(31, '5') + "\t" + pad,
       5, 1, 2},
  };
  for (const SkimCase& c : cases) {
    const SkimmedNumbers s =
        SkimPlainNumbers(c.text.data(), c.text.data() + c.text.size(), c.limit);
    EXPECT_EQ(s.passed, c.passed) << c.name;
    EXPECT_EQ(s.stop, c.stop) << c.name;
  }
}

TEST(SkimPlainNumbers, CarriesNumbersAndBlanksAcrossStretches) {
  // 31 numbers "7\t" and a "7" end at character 63; the number at 62..65 spans the boundary.
  std::string across = Pad(1).substr(0, 62) + "7777\t9\t" + Pad(2);
  SkimmedNumbers s = SkimPlainNumbers(across.data(), across.data() + across.size(), 32);
  EXPECT_EQ(s.passed, 32);
  EXPECT_EQ(s.stop, 67u);  // "9": one number, not two, across the boundary
  // A number, then blanks through the boundary, then a comma: the comma ends that number.
  std::string blanks = Pad(1).substr(0, 60) + "8" + std::string(7, ' ') + ",6\t" + Pad(2);
  s = SkimPlainNumbers(blanks.data(), blanks.data() + blanks.size(), 31);
  EXPECT_EQ(s.passed, 31);
  EXPECT_EQ(s.stop, 69u);  // "6"
  // After a line end the same comma is an empty field of its own.
  std::string line = Pad(1).substr(0, 60) + "8\n" + std::string(6, ' ') + ",6\t" + Pad(2);
  s = SkimPlainNumbers(line.data(), line.data() + line.size(), 31);
  EXPECT_EQ(s.passed, 31);
  EXPECT_EQ(s.stop, 68u);  // the comma
  // Only whole stretches are looked at: 40 characters give nothing.
  const std::string short_text = Pad(1).substr(0, 40);
  s = SkimPlainNumbers(short_text.data(), short_text.data() + short_text.size(), 5);
  EXPECT_EQ(s.passed, 0);
  EXPECT_EQ(s.stop, 0u);
  // A stretch ends the pass at its last number start when the limit lies beyond it.
  const std::string one = Pad(1) + "12345";
  s = SkimPlainNumbers(one.data(), one.data() + one.size(), 100);
  EXPECT_EQ(s.passed, 31);
  EXPECT_EQ(s.stop, 62u);
}

class SkipFile : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    path_ = fs::temp_directory_path() /
            ("kolvane-skim-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::ofstream(path_, std::ios::binary) << bytes;
    return path_.string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  fs::path path_;
};

TEST_F(SkipFile, FindsEveryValueBeyondSinglePrecision) {
  struct Reading {
    std::string text;
    bool beyond;  // FLT_MAX is about 3.4028235e38
  } readings[] = {
      {"3.4e38", false},
      {"3.5e38", true},
      {"-1e39", true},
      {"1e400", true},
      {"2.5E+10", false},
      {"1e-300", false},
      {"abc", false},
      {"12e", false},
      {"99999999999999999999999999999999999999", false},  // 38 nines, below 10^38
      {"999999999999999999999999999999999999999", true},  // 39 nines, about 1e39
      {"0000000000000000000000000000000000000000000001", false},
      {std::string("\0"
                   "5",
                   2),
       false},  // a NUL is text of a number, not the file's end
  };
  // In a short line each reading takes the long way; with 60 more readings after the line
  // the pass goes through whole stretches of 64 characters.
  for (const int more : {0, 60}) {
    std::string tail;
    for (int i = 0; i < more; ++i) tail += "7\t";
    for (const Reading& r : readings) {
      InputChannel in;
      // Ten readings, the unusual one the fourth or the ninth.
      for (const int place : {4, 9}) {
        std::string line;
        for (int i = 1; i <= 10; ++i) line += (i == place ? r.text : std::to_string(i)) + "\t";
        ASSERT_TRUE(in.Open(Write(line + "\r\n" + tail)));
        bool beyond = false;
        const int passed = in.SkipNumbers(10, beyond);
        EXPECT_EQ(beyond, r.beyond) << r.text << " at " << place << " with " << more;
        EXPECT_EQ(passed, r.beyond ? place - 1 : 10)
            << r.text << " at " << place << " with " << more;
        in.Close();
      }
    }
  }
}

TEST_F(SkipFile, StopsWhereTheConvertingReaderStops) {
  // Long random text over several blocks: fields of every kind between every kind of
  // separator. After passing over k numbers, the next number read must be the reader's k+1st.
  std::mt19937 random(20240314);
  const char* separators[] = {"\t", " ", ",", "\r\n", "\n", "\r", " , ", ",,", "\t\t", "  \n"};
  const char* odd_fields[] = {"1.5e3", "2E-2", "-7", "+0.25", "x"};
  std::string text;
  const std::string long_field = std::string(45, '0') + "1.5";  // long, but small
  while (text.size() < 700000) {
    const unsigned pick = random() % 100;
    if (pick == 99) {
      text += std::string("4\0", 2);  // a NUL is text of a number, not its end
    } else if (pick < 3) {
      text += pick == 0 ? long_field : odd_fields[random() % 5];
    } else {
      text += std::to_string(random() % 100000) + "." + std::to_string(random() % 1000);
    }
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
    if (passed < step) break;
    double next = 0;
    if (at < values.size()) {
      ASSERT_EQ(skipper.ReadNumber(next), ReadStatus::Ok);
      ASSERT_EQ(next, values[at]) << "after " << at << " numbers";
      ++at;
    }
  }
  EXPECT_EQ(at, values.size());
  EXPECT_TRUE(skipper.AtEnd());
}

}  // namespace
}  // namespace kolvane
