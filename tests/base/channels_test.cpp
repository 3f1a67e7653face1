// Reading and writing the numbered text files: items, lines, characters and numbers with every
// kind of line end, files that end early, and results lines ended by CR LF. The results file is
// written beside its target and takes its name only when kept; write and read failures carry
// the system's reason; lines and items have a length limit.
#include "base/channels.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/numbers.h"
#include "support/portable.h"
#include "support/table.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

fs::path Dir() {
  const fs::path dir = fs::temp_directory_path() / ("kolvane-base-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  return dir;
}
struct RemoveDir : ::testing::Environment {
  void TearDown() override { fs::remove_all(Dir()); }
};
const auto* const kRemoveDir = ::testing::AddGlobalTestEnvironment(new RemoveDir);

std::string Write(const std::string& name, const std::string& bytes) {
  std::ofstream(Dir() / name, std::ios::binary) << bytes;
  return (Dir() / name).string();
}
std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Everything one reader gives until the end ('i' items, 'l' lines, 'n' numbers as doubles);
// at the end it leaves the empty value.
std::vector<double> numbers;
Items All(char what, const std::string& bytes) {
  InputChannel in;
  EXPECT_TRUE(in.Open(Write("in.txt", bytes)));
  Items items;
  std::string text = "junk";
  double value = 99;
  numbers.clear();
  while (what == 'n' ? in.ReadNumber(value) == ReadStatus::Ok
                     : (what == 'i' ? in.ReadItem(text) : in.ReadLine(text)) == ReadStatus::Ok) {
    items.push_back(text);
    numbers.push_back(value);
  }
  EXPECT_TRUE(text.empty() || what == 'n');
  EXPECT_EQ(value, what == 'n' ? 0.0 : 99.0);
  return items;
}

// The cases of tests/data/base/reads.tsv, and those of the read blocks of 256 KiB: items, numbers
// and a CR LF pair cut by the first block's end.
TEST(Channels, ItemsLinesAndNumbersWithEveryKindOfLineEnd) {
  const std::string x(262139, 'x'), a(262143, 'a'), blanks(262141, ' ');
  std::vector<TableRow> cases = ReadTable("base/reads.tsv");
  cases.push_back({"i", x + ",\"abc,def\",1234567.5\r\n", x, "abc,def", "1234567.5"});
  cases.push_back({"l", a + "\r\nb", a, "b"});
  cases.push_back({"n", blanks + "123456.25 7", "123456.25", "7"});
  cases.push_back({"n", blanks + "1.5e2", "150"});
  for (const auto& c : cases) {
    const char what = c[0][0];
    const Items read = All(what, c[1]), expected(c.begin() + 2, c.end());
    const std::string shown = what + (" \"" + c[1].substr(0, 30) + '"');
    if (what != 'n') {
      EXPECT_EQ(read, expected) << shown;
    }
    ASSERT_EQ(numbers.size(), expected.size()) << shown;
    for (std::size_t i = 0; i < numbers.size() && what == 'n'; ++i)
      EXPECT_EQ(numbers[i], std::stod(expected[i])) << shown << " number " << i;
  }
}

// A scan record: a label read character by character (line ends included), then numbers;
// reading past the end gives End and empty results, and Rewind starts after the byte order mark.
TEST(Channels, CharactersNumbersEndAndRewind) {
  InputChannel in;
  EXPECT_FALSE(in.Open((Dir() / "missing.txt").string()));
  EXPECT_FALSE(in.Open(Dir().string()));
  ASSERT_TRUE(in.Open(Write("scan.syn", "\xEF\xBB\xBFP3 10 20\r\n30\r\nS1\r\n2 1.5,2.5,3.5\r\n")));
  auto read = [&](int numbers) {
    std::string text;
    char c;
    while (in.ReadChar(c) == ReadStatus::Ok && c != ' ') text.push_back(c);
    double value = 0;
    for (int k = 0; k < numbers && in.ReadNumber(value) == ReadStatus::Ok; ++k)
      text += "|" + FormatGeneral(value);
    return text;
  };
  EXPECT_EQ(read(3), "P3|10|20|30");
  EXPECT_EQ(read(3), "S1\r\n2|1.5|2.5|3.5");
  EXPECT_TRUE(in.AtEnd());
  std::string item = "junk", line = "junk";
  double value = 99;
  char c = 'j';
  const ReadStatus ends[] = {in.ReadItem(item), in.ReadLine(line), in.ReadNumber(value),
                             in.ReadChar(c)};
  EXPECT_EQ(std::count(ends, ends + 4, ReadStatus::End), 4);
  EXPECT_EQ(item + line + c + FormatGeneral(value), std::string(1, '\0') + "0");
  in.Rewind();
  EXPECT_EQ(in.ReadItem(item) == ReadStatus::Ok ? item : "", "P3 10 20");
  in.Rewind();
  EXPECT_EQ(read(1), "P3|10");
  in.Close();  // a closed channel behaves as an empty file
  EXPECT_TRUE(!in.IsOpen() && in.AtEnd() && in.ReadItem(item) == ReadStatus::End);
}

// The numbered channels flush and close together; the same file is seen under other spellings
// and links.
TEST(Channels, CloseAllAndSameFile) {
  const std::string path = Write("out.scf", "a\r\n");
  Channels channels;
  ASSERT_TRUE(channels.In(Channels::kData).Open(Write("data.fix", "x\r\n")));
  ASSERT_TRUE(channels.Out(Channels::kResults).Open(path));
  channels.Out(Channels::kResults).WriteLine("head");
  channels.Out(Channels::kResults).WriteLine("line");
  channels.CloseAll();  // flushes what is pending
  EXPECT_EQ(Slurp(path), "head\r\nline\r\n");
  EXPECT_FALSE(channels.In(Channels::kData).IsOpen() || channels.Out(Channels::kResults).IsOpen());

  const std::string data = Write("data.fix", "x"), other = Write("other.fix", "x");
  const std::string missing = (Dir() / "missing.scf").string(), link = (Dir() / "link").string();
  fs::create_directories(Dir() / "sub");
  fs::remove(link);
  // (A symbolic link needs a privilege on Windows: a second name there.)
  kOnWindows ? fs::create_hard_link(data, link) : fs::create_symlink(data, link);
  EXPECT_TRUE(SameFile(data, (Dir() / "sub" / ".." / "data.fix").string()));
  EXPECT_TRUE(SameFile(link, data));
  EXPECT_FALSE(SameFile(data, other) || SameFile(data, missing) || SameFile(missing, missing));
}

// File numbers use the full stop whatever the locale of the process.
TEST(Channels, FullStopReadsUnderACommaDecimalLocale) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_ALL, "de_DE.utf8") == nullptr)
    GTEST_SKIP() << "no locale with comma decimals is installed";
  All('n', "2.5 1e-1\r\n-0.75");
  const std::string texts =
      FormatFixed(*ParseStrictNumber("0.25"), 2) + FormatGeneral(0.5) + FormatGeneralSingle(350.5f);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(numbers, (std::vector<double>{2.5, 0.1, -0.75}));
  EXPECT_EQ(texts, "0.250.5350.5");
}

// Output replaces what the file held and ends every line with CR LF.
TEST(OutputFile, TargetTakesTheLinesOnlyWhenKept) {
  enum End { Close, Hold, Keep, KeepThenDiscard, SignalWhileOpen };
  const char* const old = "old content that must go\r\n";
  const char* const lines = "new\tline\r\n\r\n";
  const std::pair<End, const char*> cases[] = {
      {Close, lines}, {Hold, old}, {Keep, lines}, {KeepThenDiscard, old}, {SignalWhileOpen, old}};
  const fs::path dir = Dir() / "kept";
  auto files = [&] { return std::distance(fs::directory_iterator(dir), {}); };
  for (const auto& [end, after] : cases) {
    SCOPED_TRACE(end);
    fs::remove_all(dir), fs::create_directories(dir);
    const std::string path = Write("kept/r.scf", old);
    OutputChannel out;
    EXPECT_FALSE(out.Open((dir / "no-such-folder" / "r.scf").string()));
    ASSERT_TRUE(out.Open(path));
    out.WriteLine("new\tline");
    out.WriteLine("");
    out.Flush();
    EXPECT_EQ(old, Slurp(path));  // nothing reaches the target while open
    EXPECT_EQ(2, files());
    if (end != Close) out.Hold();
    if (end == Keep || end == KeepThenDiscard) out.Keep();
    if (end == KeepThenDiscard) out.Discard();
    if (end == SignalWhileOpen) RemovePartialFile();
    out.Close();
    EXPECT_TRUE(out.Good());
    EXPECT_EQ(after, Slurp(path));
    EXPECT_EQ(1, files());
  }
}

TEST(OutputFile, ModesAndFilesThatMayNotBeWritten) {
#ifdef _WIN32
  KOLVANE_SKIP_ON_WINDOWS("file modes and the file mode mask");
#else
  const mode_t mask = umask(022);
  const std::string path = (Dir() / "mode.scf").string();
  fs::remove(path);
  OutputChannel out;
  struct stat st {};
  // A new file takes the usual mode, a replaced one keeps its own.
  for (const mode_t mode : {0644, 0640}) {
    chmod(path.c_str(), mode);
    ASSERT_TRUE(out.Open(path));
    out.Keep();
    out.Close();
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(mode, st.st_mode & 0777);
  }
  chmod(path.c_str(), 0440);  // one the user may not write is not replaced
  EXPECT_EQ(geteuid() == 0, out.Open(path));
  out.Close();
  umask(mask);
#endif
}

TEST(OutputFile, FailuresCarryThePathAndTheSystemsReason) {
  KOLVANE_SKIP_ON_WINDOWS("/dev/full and /proc/self/mem");
  OutputChannel out;
  ASSERT_TRUE(out.Open("/dev/full"));
  out.Keep();
  out.WriteLine("x");
  out.Close();
  EXPECT_FALSE(out.Good());
  EXPECT_EQ("/dev/full (No space left on device)", out.Failure());

  InputChannel in;
  std::string line;
  ASSERT_TRUE(in.Open("/proc/self/mem"));  // its first page is not mapped: reading fails
  EXPECT_EQ(ReadStatus::End, in.ReadLine(line));
  EXPECT_EQ("/proc/self/mem (Input/output error)", in.Failure());
  in.Close();
  EXPECT_TRUE(in.Failed());  // still known after the close, until the next Open
}

TEST(InputFile, LinesAndItemsUpToOneMebibyte) {
  const std::string mib(std::size_t{1} << 20, 'x');
  const std::pair<std::string, int> cases[] = {// 0 line, 1 item, 2 number
                                               {mib, 0},
                                               {mib, 1},
                                               {"\"" + mib, 1},
                                               {std::string(mib.size(), '1'), 2}};
  for (const auto& [text, kind] : cases) {
    for (const bool longer : {false, true}) {
      SCOPED_TRACE(text.substr(0, 1) + std::to_string(kind) + (longer ? " too long" : ""));
      const std::string path =
          Write("long.txt", text + (longer ? text.substr(1, 1) : "") + "\n2\n");
      InputChannel in;
      ASSERT_TRUE(in.Open(path));
      std::string s;
      double v = 0;
      const ReadStatus read = kind == 0   ? in.ReadLine(s)
                              : kind == 1 ? in.ReadItem(s)
                                          : in.ReadNumber(v);
      EXPECT_EQ(longer ? ReadStatus::End : ReadStatus::Ok, read);
      EXPECT_EQ(longer ? path + " (a line longer than 1 MiB)" : "", in.Failure());
      EXPECT_EQ(longer ? ReadStatus::End : ReadStatus::Ok, in.ReadLine(s));
    }
  }
}

}  // namespace
}  // namespace kolvane
