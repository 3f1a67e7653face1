// No failure passes as success and nothing a user had is lost: full disks, results files that
// are inputs, loads that fail, devices and pipes as inputs, paths through linked folders, data
// files that change under a run, and the table of bad inputs under tests/data/bad.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "batch_runner.h"
#include "dispatch/commands.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

std::string Cli(const std::string& name) {
  return std::string(KOLVANE_TEST_DATA) + "/cli/" + name;
}

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Nothing but the expected files: no temporary results file stays behind.
std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Reliability, FailuresReportedAndEarlierFilesKept) {
  TempDir t;
  const std::string fix = t.Copy(Cli("three_colors.fix"), "d.fix");
  const std::string spl = t.Copy(Cli("three_colors.spl"), "m.spl");
  const std::string matrix = ReadWholeFile(spl);
  fs::create_symlink(spl, t.File("link.spl"));
  const std::string old = t.File("old.scf");
  WriteWholeFile(old, "OLD\r\n");
  const std::string bad = t.File("bad.fix");
  WriteWholeFile(bad, "Plate\r\nWavelengths\t1\r\n");
  mkfifo(t.File("pipe.fix").c_str(), 0600);
  struct Case {
    std::vector<std::string> args;
    std::string message;  // stderr must hold it
  } cases[] = {
      {{"fixed", fix, "-o", "/dev/full"},
       "The results file could not be written: /dev/full (No space left on device)\n"
       "aborted: 8 of 8 records written\n"},
      {{"fixed", fix, "--matrix", spl, "-o", spl}, "The results file " + spl + " is the file"},
      {{"fixed", fix, "--matrix", spl, "-o", t.File("link.spl")}, "which is being read"},
      {{"fixed", bad, "-o", old}, "The file was not loaded."},
      {{"fixed", fix, "--blanks", "/dev/zero", "-o", old},
       "The file could not be read: /dev/zero (a line longer than 1 MiB)  The file was not "
       "loaded.\n"},
      {{"fixed", fix, "--matrix", "/dev/zero", "-o", old},
       "The spillover matrix file could not be read: /dev/zero (a line longer than 1 MiB)."},
      {{"fixed", t.File("pipe.fix"), "-o", old},
       "The data file " + t.File("pipe.fix") + " is not a regular file."},
      {{"scan", "/dev/zero", "-o", old}, "The data file /dev/zero is not a regular file."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args.back());
    const BatchRun run = RunBatch(c.args);
    EXPECT_EQ(1, run.status);
    EXPECT_TRUE(Holds(run.err, c.message)) << run.err;
    EXPECT_EQ(matrix, ReadWholeFile(spl));
    EXPECT_EQ("OLD\r\n", ReadWholeFile(old));
  }
  EXPECT_EQ(
      (std::vector<std::string>{"bad.fix", "d.fix", "link.spl", "m.spl", "old.scf", "pipe.fix"}),
      Names(t.path()));
}

TEST(Reliability, PathsAreResolvedAsTheSystemDoes) {
  TempDir t;
  fs::create_directories(t.path() / "real" / "sub");
  fs::create_symlink(t.path() / "real" / "sub", t.path() / "lk");
  t.Copy(Cli("three_colors.fix"), "real/d.fix");
  // lk/.. is real, not the folder that holds lk.
  const BatchRun run = RunBatch({"fixed", t.File("lk/../d.fix"), "-o", t.File("lk/../r.scf")});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_TRUE(fs::exists(t.path() / "real" / "r.scf"));
  EXPECT_FALSE(fs::exists(t.path() / "r.scf"));
}

TEST(Reliability, NoPuresWithAMatrixFileGivesNoAdviceToChooseOne) {
  TempDir t;
  const BatchRun run = RunBatch(
      {"fixed", Cli("no_pures.fix"), "--matrix", Cli("three_colors.spl"), "-o", t.File("r.scf")});
  EXPECT_FALSE(Holds(run.err, "New Spillover")) << run.err;
}

// A data file cut between the load and the run: the run says so, is not complete, and keeps
// the lines it wrote.
TEST(Reliability, DataFileCutAfterTheLoad) {
  struct Case {
    const char* file;
    int kept_lines;  // of the file, a whole number of records
    std::string said;
  } cases[] = {
      // Header of 10 lines, then P1..P3, S1, S2 of the 8 records.
      {"three_colors.fix", 10 + 5,
       "changed since it was loaded: it ended after 5 of its 8 records."},
      // Header of 9 lines, then records of 18 lines: P1, P2, P3, S1 of the 7.
      {"three_pures.syn", 9 + 4 * 18,
       "changed since it was loaded: it ended after 4 of its 7 records."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir t;
    const std::string data = t.Copy(Cli(c.file));
    ScriptedHost host;
    host.allow_any_message = true;
    Program p(host);
    Form_Load(p, 19200, 14400);
    host.QueueFile(data);
    host.QueueFile("");
    if (Holds(c.file, ".fix")) host.QueueFile("");
    host.QueueFile(data + ".scf");
    const bool fixed = Holds(c.file, ".fix");
    ASSERT_EQ(Flow::Continue, fixed ? OpenData_Click(p) : OpenDataSS_Click(p));
    std::istringstream all(ReadWholeFile(data));
    std::string kept, line;
    for (int i = 0; i < c.kept_lines && std::getline(all, line); ++i) kept += line + "\n";
    WriteWholeFile(data, kept);
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    EXPECT_EQ(Flow::Stop, RunAnalysis_Click(p));
    EXPECT_FALSE(p.RunCompleted);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_TRUE(Holds(host.messages.back(), c.said)) << host.messages.back();
    EXPECT_TRUE(fs::exists(data + ".scf"));
  }
}

std::string Unescape(std::string s) {
  for (std::size_t at; (at = s.find("\\t")) != std::string::npos;) s.replace(at, 2, "\t");
  return s;
}

TEST(Reliability, BadInputTable) {
  const std::string dir = std::string(KOLVANE_TEST_DATA) + "/bad/";
  std::ifstream table(dir + "cases.tsv");
  std::string row;
  int rows = 0;
  while (std::getline(table, row)) {
    if (row.empty() || row[0] == '#') continue;
    std::vector<std::string> f;
    std::istringstream fields(row);
    for (std::string x; std::getline(fields, x, '\t');) f.push_back(x);
    ASSERT_EQ(5u, f.size()) << row;
    SCOPED_TRACE(f[1]);
    ++rows;
    TempDir t;
    const std::string results = t.File("r.scf");
    const BatchRun run = RunBatch({f[0], dir + f[1], "-o", results});
    EXPECT_EQ(std::stoi(f[2]), run.status) << run.err;
    EXPECT_TRUE(f[3] == "-" || Holds(run.err, f[3])) << run.err;
    EXPECT_TRUE(f[4] == "-" || Holds(ReadWholeFile(results), "\r\n" + Unescape(f[4]) + "\r\n"));
    // A complete run leaves its results file and its record; a stopped load leaves nothing.
    const std::vector<std::string> left = {"r.scf", "r.scf.json"};
    EXPECT_EQ(run.status == 0 ? left : std::vector<std::string>{}, Names(t.path()));
  }
  EXPECT_GE(rows, 7);
}

}  // namespace
}  // namespace kolvane
