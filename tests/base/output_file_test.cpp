// The results file is written beside its target and takes its name only when kept; write and
// read failures carry the system's reason; lines and items have a length limit.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
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
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kolvane_output_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Slurp(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::size_t Files() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  fs::path dir_;
};

TEST_F(OutputFile, TargetTakesTheLinesOnlyWhenKept) {
  enum End { Close, Hold, Keep, KeepThenDiscard, SignalWhileOpen };
  const struct {
    End end;
    const char* after;
  } cases[] = {
      {Close, "new\r\n"},
      {Hold, "old\r\n"},
      {Keep, "new\r\n"},
      {KeepThenDiscard, "old\r\n"},
      {SignalWhileOpen, "old\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.end);
    Put("r.scf", "old\r\n");
    OutputChannel out;
    ASSERT_TRUE(out.Open(Path("r.scf")));
    out.WriteLine("new");
    out.Flush();
    EXPECT_EQ("old\r\n", Slurp(Path("r.scf")));  // nothing reaches the target while open
    EXPECT_EQ(2u, Files());
    if (c.end != Close) out.Hold();
    if (c.end == Keep || c.end == KeepThenDiscard) out.Keep();
    if (c.end == KeepThenDiscard) out.Discard();
    if (c.end == SignalWhileOpen) RemovePartialFile();
    out.Close();
    EXPECT_TRUE(out.Good());
    EXPECT_EQ(c.after, Slurp(Path("r.scf")));
    EXPECT_EQ(1u, Files());
  }
}

TEST_F(OutputFile, ModesAndFilesThatMayNotBeWritten) {
  const mode_t mask = umask(022);
  OutputChannel out;
  ASSERT_TRUE(out.Open(Path("new.scf")));
  out.Keep();
  out.Close();
  struct stat st {};
  ASSERT_EQ(0, stat(Path("new.scf").c_str(), &st));
  EXPECT_EQ(0644u, st.st_mode & 0777);
  // A replaced file keeps its mode; one the user may not write is not replaced.
  chmod(Path("new.scf").c_str(), 0640);
  ASSERT_TRUE(out.Open(Path("new.scf")));
  out.Keep();
  out.Close();
  ASSERT_EQ(0, stat(Path("new.scf").c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 0777);
  if (geteuid() != 0) {
    chmod(Path("new.scf").c_str(), 0440);
    EXPECT_FALSE(out.Open(Path("new.scf")));
  }
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
  const std::size_t limit = std::size_t{1} << 20;
  const struct {
    const char* name;
    std::string text;
    ReadStatus (*read)(InputChannel&);
  } cases[] = {
      {"line", std::string(limit, 'x'),
       [](InputChannel& in) {
         std::string s;
         return in.ReadLine(s);
       }},
      {"item", std::string(limit, 'x'),
       [](InputChannel& in) {
         std::string s;
         return in.ReadItem(s);
       }},
      {"quoted item", "\"" + std::string(limit, 'x'),
       [](InputChannel& in) {
         std::string s;
         return in.ReadItem(s);
       }},
      {"number", std::string(limit, '1'),
       [](InputChannel& in) {
         double v = 0;
         return in.ReadNumber(v);
       }},
  };
  for (const auto& c : cases) {
    for (std::size_t extra : {0, 1}) {
      SCOPED_TRACE(std::string(c.name) + " +" + std::to_string(extra));
      Put("long.txt", c.text + std::string(extra, c.text.back()) + "\n2\n");
      InputChannel in;
      ASSERT_TRUE(in.Open(Path("long.txt")));
      EXPECT_EQ(extra == 0 ? ReadStatus::Ok : ReadStatus::End, c.read(in));
      EXPECT_EQ(extra == 0 ? "" : Path("long.txt") + " (a line longer than 1 MiB)", in.Failure());
      std::string next;
      EXPECT_EQ(extra == 0 ? ReadStatus::Ok : ReadStatus::End, in.ReadLine(next));
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
