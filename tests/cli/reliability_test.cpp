// No failure passes as success and nothing a user had is lost: inputs through links and pipes,
// paths through linked folders, data files that change under a run.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>

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

// Inputs that are not plain files: an output that is an input through a link, and a pipe.
// (Full disks, failed loads and devices: tests/data/cli/command_lines.tsv.)
TEST(Reliability, LinkedAndPipedInputsAreRefusedAndNothingIsLost) {
  TempDir t;
  const std::string fix = t.Copy(Cli("three_colors.fix"), "d.fix");
  const std::string spl = t.Copy(Cli("three_colors.spl"), "m.spl");
  fs::create_symlink(spl, t.File("link.spl"));
  mkfifo(t.File("pipe.fix").c_str(), 0600);
  const std::string old = t.File("old.scf");
  WriteWholeFile(old, "OLD\r\n");
  const BatchRun linked = RunBatch({"fixed", fix, "--matrix", spl, "-o", t.File("link.spl")});
  EXPECT_TRUE(linked.status == 1 && Holds(linked.err, "which is being read")) << linked.err;
  const BatchRun piped = RunBatch({"fixed", t.File("pipe.fix"), "-o", old});
  EXPECT_EQ(1, piped.status);
  EXPECT_TRUE(Holds(piped.err, "The data file " + t.File("pipe.fix") + " is not a regular file."));
  EXPECT_EQ(ReadWholeFile(Cli("three_colors.spl")), ReadWholeFile(spl));
  EXPECT_EQ("OLD\r\n", ReadWholeFile(old));
  EXPECT_EQ(5, std::distance(fs::directory_iterator(t.path()), fs::directory_iterator()));
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

// A data file cut between the load and the run: the run says so, is not complete, leaves the
// results file alone and keeps the lines it wrote beside it.
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
    EXPECT_FALSE(p.ledger.Complete());
    ASSERT_FALSE(host.messages.empty());
    EXPECT_TRUE(Holds(host.messages.back(), c.said)) << host.messages.back();
    EXPECT_FALSE(fs::exists(data + ".scf"));
    EXPECT_EQ(ReadWholeFile(data + ".incomplete.scf").find("This file has been"), 0u);
  }
}

}  // namespace
}  // namespace kolvane
