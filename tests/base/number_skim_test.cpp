// Passing over readings without converting them: the count of numbers and the place where the
// pass stops must be those of the converting number reader (on a long random file in
// fast_paths_test.cpp), and a reading beyond single precision must still be found.
#include "base/number_skim.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

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

// The readings of tests/data/base/singles.tsv ("skip"), the fourth or the ninth of ten. In a
// short line each reading takes the long way; with 60 more readings after the line the pass
// goes through whole stretches of 64 characters.
TEST(SkipNumbers, FindsEveryValueBeyondSinglePrecision) {
  for (const TableRow& row : ReadTable("base/singles.tsv", "skip")) {
    const bool beyond = row[1] == "1";
    for (const int more : {0, 60}) {
      for (const int place : {4, 9}) {
        std::string line;
        for (int i = 1; i <= 10; ++i) line += (i == place ? row[0] : std::to_string(i)) + "\t";
        for (int i = 0; i < more; ++i) line += (i ? "7\t" : "\r\n7\t");
        InputChannel in;
        ASSERT_TRUE(in.Open(Write(line)));
        bool found = false;
        EXPECT_EQ(in.SkipNumbers(10, found), beyond ? place - 1 : 10) << row[0] << " at " << place;
        EXPECT_EQ(found, beyond) << row[0] << " at " << place << " with " << more;
      }
    }
  }
}

}  // namespace
}  // namespace kolvane
