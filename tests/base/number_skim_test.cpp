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
#include "support/table.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

// A stretch of 64 characters of padding: plain numbers "7" between TABs (32 of them).
std::string Pad(int stretches) {
  std::string text;
  for (int i = 0; i < 32 * stretches; ++i) text += "7\t";
  return text;
}

// The cases of tests/data/base/skim.tsv.
TEST(SkimPlainNumbers, CountsAndStopsAsTheReaderReads) {
  for (const TableRow& c : ReadTable("base/skim.tsv")) {
    const std::string text = Pad(1).substr(0, std::stoul(c[1])) + c[2] + Pad(std::stoi(c[3]));
    const SkimmedNumbers s =
        SkimPlainNumbers(text.data(), text.data() + text.size(), std::stoi(c[4]));
    EXPECT_EQ(s.passed, std::stoi(c[5])) << c[0];
    EXPECT_EQ(s.stop, std::stoul(c[6])) << c[0];
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
