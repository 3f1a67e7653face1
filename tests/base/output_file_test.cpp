// The results file is written beside its target and takes its name only when kept; write and
// read failures carry the system's reason; lines and items have a length limit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/channels.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

class OutputFile : public ::testing::Test {
 protected:
  void SetUp() override { fs::remove_all(dir_), fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Slurp(const std::string& name) const {
    std::stringstream s;
    s << std::ifstream(Path(name), std::ios::binary).rdbuf();
    return s.str();
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::size_t Files() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  const fs::path dir_ = fs::temp_directory_path() / ("kolvane_output_" + std::to_string(getpid()));
};

TEST_F(OutputFile, TargetTakesTheLinesOnlyWhenKept) {
  enum End { Close, Hold, Keep, KeepThenDiscard, SignalWhileOpen };
  const std::pair<End, const char*> cases[] = {{Close, "new\r\n"},
                                               {Hold, "old\r\n"},
                                               {Keep, "new\r\n"},
                                               {KeepThenDiscard, "old\r\n"},
                                               {SignalWhileOpen, "old\r\n"}};
  for (const auto& [end, after] : cases) {
    SCOPED_TRACE(end);
    Put("r.scf", "old\r\n");
    OutputChannel out;
    ASSERT_TRUE(out.Open(Path("r.scf")));
    out.WriteLine("new");
    out.Flush();
    EXPECT_EQ("old\r\n", Slurp("r.scf"));  // nothing reaches the target while open
    EXPECT_EQ(2u, Files());
    if (end != Close) out.Hold();
    if (end == Keep || end == KeepThenDiscard) out.Keep();
    if (end == KeepThenDiscard) out.Discard();
    if (end == SignalWhileOpen) RemovePartialFile();
    out.Close();
    EXPECT_TRUE(out.Good());
    EXPECT_EQ(after, Slurp("r.scf"));
    EXPECT_EQ(1u, Files());
  }
}

TEST_F(OutputFile, ModesAndFilesThatMayNotBeWritten) {
  const mode_t mask = umask(022);
  OutputChannel out;
  struct stat st {};
  // A new file takes the usual mode, a replaced one keeps its own.
  for (const mode_t mode : {0644, 0640}) {
    chmod(Path("new.scf").c_str(), mode);
    ASSERT_TRUE(out.Open(Path("new.scf")));
    out.Keep();
    out.Close();
    ASSERT_EQ(0, stat(Path("new.scf").c_str(), &st));
    EXPECT_EQ(mode, st.st_mode & 0777);
  }
  chmod(Path("new.scf").c_str(), 0440);  // one the user may not write is not replaced
  EXPECT_EQ(geteuid() == 0, out.Open(Path("new.scf")));
  out.Close();
  EXPECT_FALSE(out.Open(Path("no/such/folder.scf")));
  umask(mask);
}

TEST_F(OutputFile, FailuresCarryThePathAndTheSystemsReason) {
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

TEST_F(OutputFile, LinesAndItemsUpToOneMebibyte) {
  const std::string mib(std::size_t{1} << 20, 'x');
  const std::pair<std::string, int> cases[] = {// 0 line, 1 item, 2 number
                                               {mib, 0},
                                               {mib, 1},
                                               {"\"" + mib, 1},
                                               {std::string(mib.size(), '1'), 2}};
  for (const auto& [text, kind] : cases) {
    for (const bool longer : {false, true}) {
      SCOPED_TRACE(text.substr(0, 1) + std::to_string(kind) + (longer ? " too long" : ""));
      Put("long.txt", text + (longer ? text.substr(1, 1) : "") + "\n2\n");
      InputChannel in;
      ASSERT_TRUE(in.Open(Path("long.txt")));
      std::string s;
      double v = 0;
      const ReadStatus read = kind == 0   ? in.ReadLine(s)
                              : kind == 1 ? in.ReadItem(s)
                                          : in.ReadNumber(v);
      EXPECT_EQ(longer ? ReadStatus::End : ReadStatus::Ok, read);
      EXPECT_EQ(longer ? Path("long.txt") + " (a line longer than 1 MiB)" : "", in.Failure());
      EXPECT_EQ(longer ? ReadStatus::End : ReadStatus::Ok, in.ReadLine(s));
    }
  }
}

TEST_F(OutputFile, AnUnclosedQuoteEndsWithItsLine) {
  Put("q.txt", "\"a,b\r\nc\",d\n\"e\"f,g\r\"h");
  InputChannel in;
  ASSERT_TRUE(in.Open(Path("q.txt")));
  std::vector<std::string> items;
  for (std::string item; in.ReadItem(item) == ReadStatus::Ok;) items.push_back(item);
  EXPECT_EQ((std::vector<std::string>{"a,b", "c\"", "d", "e", "g", "h"}), items);
}

}  // namespace
}  // namespace kolvane
