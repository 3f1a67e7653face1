// Reading and writing the numbered text files: items, lines, characters and numbers with every
// kind of line end, files that end early, and results lines ended by CR LF.
#include "base/channels.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/numbers.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;
using Numbers = std::vector<double>;

class ChannelFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("kolvane-base-" + std::to_string(::getpid()) + "-" + info->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return path.string();
  }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Every value a reader gives until the end; at the end it leaves the empty value.
  template <typename T, typename Read>
  std::vector<T> All(const std::string& bytes, Read read) {
    InputChannel in;
    EXPECT_TRUE(in.Open(Write("in.txt", bytes)));
    std::vector<T> values;
    T value{};
    while ((in.*read)(value) == ReadStatus::Ok) values.push_back(value);
    EXPECT_EQ(value, T{});
    return values;
  }
  Items AllItems(const std::string& bytes) {
    return All<std::string>(bytes, &InputChannel::ReadItem);
  }
  Items AllLines(const std::string& bytes) {
    return All<std::string>(bytes, &InputChannel::ReadLine);
  }
  Numbers AllNumbers(const std::string& bytes) {
    return All<double>(bytes, &InputChannel::ReadNumber);
  }

  fs::path dir_;
};

// A quoted item runs to its closing quote (line ends and commas inside) and drops the text
// after it; TABs and trailing blanks stay in an item; a file may end inside the quotes or
// without a final line end; a byte order mark is not text.
TEST_F(ChannelFiles, ItemsEndAtCommasAndEveryKindOfLineEnd) {
  struct Case {
    std::string bytes;
    Items expected;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"a,b\r\nc\r\n", {"a", "b", "c"}}, {"a,b\nc\n", {"a", "b", "c"}},
      {"a,b\rc\r", {"a", "b", "c"}}, {"a,b\r\nc", {"a", "b", "c"}},
      {"\"x, y\",z\r\n", {"x, y", "z"}}, {"\"a\r\nb\"\r\nc", {"a\r\nb", "c"}},
      {"\"ab\"cd,e\r\n", {"ab", "e"}}, {"\"ab\" \r\nx", {"ab", "x"}},
      {"   lead,  x\r\n", {"lead", "x"}}, {"a  ,b", {"a  ", "b"}}, {"Pures\t3\r\n", {"Pures\t3"}},
      {"\tx\r\n", {"\tx"}}, {"\"abc", {"abc"}}, {"abc", {"abc"}}, {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}}, {"a\n\rb", {"a", "", "b"}}, {"a,", {"a"}},
      {"\xEF\xBB\xBFPures\t2\r\n", {"Pures\t2"}}, {"", {}}, {"   ", {}},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(AllItems(c.bytes), c.expected) << '"' << c.bytes << '"';
}

// Lines end at CR LF, LF or CR; numbers end at blanks, commas and line ends, and an empty field
// between two commas reads as 0.
TEST_F(ChannelFiles, LinesAndNumbers) {
  const struct {
    std::string bytes;
    Items expected;
  } lines[] = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"\r\n\r\n", {"", ""}},
      {"x", {"x"}},
      {"a, \"b\"\tc\r\n", {"a, \"b\"\tc"}},
      {"", {}},
  };
  for (const auto& c : lines) EXPECT_EQ(AllLines(c.bytes), c.expected) << '"' << c.bytes << '"';
  const struct {
    std::string bytes;
    Numbers expected;
  } numbers[] = {
      {"1 2.5\r\n3,4\r\n\r\n  5\t6", {1, 2.5, 3, 4, 5, 6}},
      {"1,\r\n2 ,3\n4\r5", {1, 2, 3, 4, 5}},
      {"1,,2", {1, 0, 2}},
      {"12.5abc 7", {12.5, 7}},
      {"1  \r\n  ", {1}},
      {"-.5e1\r\n+3e2", {-5, 300}},
      {"", {}},
      {" \r\n\t", {}},
  };
  for (const auto& c : numbers) {
    EXPECT_EQ(AllNumbers(c.bytes), c.expected) << '"' << c.bytes << '"';
  }
}

// A scan record: a label read character by character (line ends included), then numbers.
TEST_F(ChannelFiles, CharactersThenNumbersAsAScanRecordIsRead) {
  InputChannel in;
  ASSERT_TRUE(in.Open(Write("scan.syn", "P3 10 20\r\n30\r\nS1\r\n2 1.5,2.5,3.5\r\n")));
  auto label = [&] {
    std::string text;
    char c;
    while (in.ReadChar(c) == ReadStatus::Ok && c != ' ') text.push_back(c);
    return text;
  };
  auto numbers = [&](int n) {
    Numbers values(n);
    for (double& v : values) EXPECT_EQ(in.ReadNumber(v), ReadStatus::Ok);
    return values;
  };
  EXPECT_EQ(label(), "P3");
  EXPECT_EQ(numbers(3), (Numbers{10, 20, 30}));
  EXPECT_EQ(label(), "S1\r\n2");
  EXPECT_EQ(numbers(3), (Numbers{1.5, 2.5, 3.5}));
  EXPECT_TRUE(in.AtEnd());
}

TEST_F(ChannelFiles, ReadingPastTheEndGivesEndAndEmptyResults) {
  InputChannel in;
  ASSERT_TRUE(in.Open(Write("one.txt", "x")));
  std::string item, line = "junk";
  ASSERT_EQ(in.ReadItem(item), ReadStatus::Ok);
  item = "junk";
  double value = 99;
  char c = 'j';
  EXPECT_EQ(in.ReadItem(item), ReadStatus::End);
  EXPECT_EQ(in.ReadLine(line), ReadStatus::End);
  EXPECT_EQ(in.ReadNumber(value), ReadStatus::End);
  EXPECT_EQ(in.ReadChar(c), ReadStatus::End);
  EXPECT_EQ(item, "");
  EXPECT_EQ(line, "");
  EXPECT_EQ(value, 0.0);
  EXPECT_EQ(c, '\0');
  // A channel that was never opened behaves as an empty file.
  InputChannel closed;
  EXPECT_TRUE(closed.AtEnd());
  EXPECT_EQ(closed.ReadItem(item), ReadStatus::End);
}

TEST_F(ChannelFiles, AtEndAndRewind) {
  InputChannel empty;
  ASSERT_TRUE(empty.Open(Write("empty.txt", "")));
  EXPECT_TRUE(empty.AtEnd());

  InputChannel in;
  ASSERT_TRUE(in.Open(Write("two.txt",
                            "\xEF\xBB\xBF"
                            "first,second\r\n")));
  EXPECT_FALSE(in.AtEnd());
  std::string item;
  in.ReadItem(item);
  in.ReadItem(item);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(in.ReadItem(item), ReadStatus::End);
  in.Rewind();
  EXPECT_FALSE(in.AtEnd());
  in.ReadItem(item);
  EXPECT_EQ(item, "first");
  char c;
  in.Rewind();
  in.ReadChar(c);
  EXPECT_EQ(c, 'f');
}

TEST_F(ChannelFiles, OpenRefusesMissingFilesAndFolders) {
  InputChannel in;
  EXPECT_FALSE(in.Open((dir_ / "missing.txt").string()));
  EXPECT_FALSE(in.IsOpen());
  EXPECT_FALSE(in.Open(dir_.string()));
  EXPECT_FALSE(in.IsOpen());
  OutputChannel out;
  EXPECT_FALSE(out.Open((dir_ / "no-such-folder" / "out.scf").string()));
  EXPECT_FALSE(out.IsOpen());
}

// The channel reads blocks of 1 MiB: an item, a number and a CR LF pair across the end of the
// first block. (Random files over several blocks are read in fast_paths_test.cpp.)
TEST_F(ChannelFiles, ReadsAcrossTheEndOfTheReadBuffer) {
  const std::size_t block = 1 << 20;
  const std::string x(block - 5, 'x'), a(block - 1, 'a');
  EXPECT_EQ(AllItems(x + ",\"abc,def\",1234567.5\r\n"), (Items{x, "abc,def", "1234567.5"}));
  EXPECT_EQ(AllNumbers(std::string(block - 3, ' ') + "123456.25 7"), (Numbers{123456.25, 7}));
  EXPECT_EQ(AllLines(a + "\r\nb"), (Items{a, "b"}));
}

// Output replaces what the file held; every line, also of a large file, ends with CR LF.
TEST_F(ChannelFiles, OutputLinesEndWithCrLf) {
  const std::string path = Write("out.scf", "old content that must go");
  OutputChannel out;
  ASSERT_TRUE(out.Open(path));
  out.WriteLine("a");
  out.WriteLine("b\tc");
  out.WriteLine("");
  out.Close();
  EXPECT_FALSE(out.IsOpen());
  EXPECT_TRUE(out.Good());
  EXPECT_EQ(Slurp(path), "a\r\nb\tc\r\n\r\n");

  ASSERT_TRUE(out.Open(path));
  for (int i = 0; i < 30000; ++i) out.WriteLine(std::string(99, 'z'));
  out.Close();
  EXPECT_EQ(fs::file_size(path), 30000u * 101u);
}

TEST_F(ChannelFiles, ChannelsFlushAndCloseAll) {
  Channels channels;
  const std::string results = (dir_ / "results.scf").string();
  ASSERT_TRUE(channels.In(Channels::kData).Open(Write("data.fix", "x\r\n")));
  ASSERT_TRUE(channels.Out(Channels::kResults).Open(results));
  channels.Out(Channels::kResults).WriteLine("head");
  channels.FlushAll();
  EXPECT_EQ(Slurp(results), "head\r\n");
  channels.Out(Channels::kResults).WriteLine("line");
  channels.CloseAll();
  EXPECT_EQ(Slurp(results), "head\r\nline\r\n");
  EXPECT_FALSE(channels.In(Channels::kData).IsOpen());
  EXPECT_FALSE(channels.Out(Channels::kResults).IsOpen());
}

TEST_F(ChannelFiles, SameFileSeesOtherSpellingsAndLinks) {
  const std::string data = Write("data.fix", "x");
  const std::string other = Write("other.fix", "x");
  fs::create_directories(dir_ / "sub");
  const std::string spelled = (dir_ / "sub" / ".." / "data.fix").string();
  const fs::path link = dir_ / "link.fix";
  fs::create_symlink(data, link);
  EXPECT_TRUE(SameFile(data, data));
  EXPECT_TRUE(SameFile(data, spelled));
  EXPECT_TRUE(SameFile(link.string(), data));
  EXPECT_FALSE(SameFile(data, other));
  EXPECT_FALSE(SameFile(data, (dir_ / "missing.scf").string()));
  EXPECT_FALSE(SameFile((dir_ / "missing.scf").string(), (dir_ / "missing.scf").string()));
}

// File numbers use the full stop whatever the locale of the process.
TEST_F(ChannelFiles, FullStopReadsUnderACommaDecimalLocale) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"};
  const char* chosen = nullptr;
  for (const char* name : names) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  if (chosen == nullptr) GTEST_SKIP() << "no locale with comma decimals is installed";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");

  const Numbers numbers = AllNumbers("2.5 1e-1\r\n-0.75");
  const double lenient = LenientNumber("12.5");
  const auto strict = ParseStrictNumber("0.25");
  const std::string fixed = FormatFixed(2.5, 2);
  const std::string general = FormatGeneral(0.5);
  const std::string single = FormatGeneralSingle(350.5f);
  std::setlocale(LC_ALL, "C");

  EXPECT_EQ(numbers, (Numbers{2.5, 0.1, -0.75}));
  EXPECT_EQ(lenient, 12.5);
  EXPECT_EQ(strict, 0.25);
  EXPECT_EQ(fixed, "2.50");
  EXPECT_EQ(general, "0.5");
  EXPECT_EQ(single, "350.5");
}

}  // namespace
}  // namespace kolvane
