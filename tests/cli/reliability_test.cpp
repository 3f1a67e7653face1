// No failure passes as success and nothing a user had is lost: inputs through links and pipes,
// paths through linked folders, data files that change under a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/main_form_ops.h"
#include "batch_runner.h"
#include "dispatch/commands.h"
#include "support/portable.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

TEST(Reliability, PathsAreResolvedAsTheSystemDoes) {
  KOLVANE_SKIP_ON_WINDOWS("symbolic links need a privilege there");
  TempDir t;
  fs::create_directories(t.path() / "real" / "sub");
  fs::create_symlink(t.path() / "real" / "sub", t.path() / "lk");
  t.Copy(CliData("three_colors.fix"), "real/d.fix");
  // lk/.. is real, not the folder that holds lk.
  const BatchRun run = RunBatch({"fixed", t.File("lk/../d.fix"), "-o", t.File("lk/../r.scf")});
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_TRUE(fs::exists(t.path() / "real" / "r.scf"));
  EXPECT_FALSE(fs::exists(t.path() / "r.scf"));
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
    const std::string data = t.Copy(CliData(c.file));
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

// Files a user names that are not what they seem: a results name that is a link to an input
// (refused) or to another file (its target is written, the link stays), a data file or companion
// that is a named pipe with no writer (refused at once, not waited for, nothing written), a scan
// label without an end (1 MiB at most, as a line), a data file name as long as a folder allows
// (the temporary name is short), and a name with a TAB and a line end (escaped in the study's
// lines). (Full disks, failed loads and devices: tests/data/cli/command_lines.tsv.)
TEST(Reliability, NamesThatAreNotWhatTheySeem) {
#ifdef _WIN32
  KOLVANE_SKIP_ON_WINDOWS(
      "symbolic links, named pipes (mkfifo) and TAB or line ends in file names");
#else
  TempDir t;
  const std::string fix = t.Copy(CliData("three_colors.fix"), "d.fix");
  const std::string spl = t.Copy(CliData("three_colors.spl"), "m.spl");
  fs::create_symlink(spl, t.File("link.spl"));
  const BatchRun onto_input = RunBatch({"fixed", fix, "--matrix", spl, "-o", t.File("link.spl")});
  EXPECT_TRUE(onto_input.status == 1 && Holds(onto_input.err, "which is being read"))
      << onto_input.err;
  EXPECT_EQ(ReadWholeFile(CliData("three_colors.spl")), ReadWholeFile(spl));

  const std::string pipe = t.File("pipe.fix"), old = t.File("old.scf");
  mkfifo(pipe.c_str(), 0600);
  WriteWholeFile(old, "OLD\r\n");
  const std::vector<std::vector<std::string> > piped = {
      {"fixed", pipe},
      {"fixed", fix, "--blanks", pipe},
      {"fixed", fix, "--controls", pipe},
      {"fixed", fix, "--matrix", pipe},
      {"scan", CliData("three_pures.syn"), "--blanks", pipe}};
  for (std::vector<std::string> words : piped) {
    SCOPED_TRACE(words[0] + " " + words[2]);
    words.insert(words.end(), {"-o", old});
    const BatchRun run = RunBatch(words);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Holds(run.err, pipe + " is not a regular file.")) << run.err;
  }
  EXPECT_EQ(ReadWholeFile(old), "OLD\r\n");
  // d.fix, m.spl, link.spl, pipe.fix and old.scf: nothing else was written.
  EXPECT_EQ(5, std::distance(fs::directory_iterator(t.path()), fs::directory_iterator()));

  fs::create_directories(t.path() / "real");
  WriteWholeFile(t.File("real/r.scf"), "OLD\r\n");
  fs::create_symlink(t.File("real/r.scf"), t.File("link.scf"));
  const BatchRun linked = RunBatch({"fixed", fix, "-o", t.File("link.scf")});
  EXPECT_EQ(linked.status, 0) << linked.err;
  EXPECT_TRUE(fs::is_symlink(t.File("link.scf")));
  EXPECT_TRUE(Holds(ReadWholeFile(t.File("real/r.scf")), "\r\nS1\t"));

  std::istringstream syn(ReadWholeFile(CliData("three_pures.syn")));
  std::string header, line;
  for (int i = 0; i < 9 && std::getline(syn, line); ++i) header += line + "\n";
  WriteWholeFile(t.File("label.syn"), header + "S" + std::string((1u << 20) + 10, 'x') + " 1\r\n");
  const BatchRun label = RunBatch({"scan", t.File("label.syn"), "-o", t.File("l.scf")});
  EXPECT_EQ(label.status, 1);
  EXPECT_TRUE(Holds(label.err, "(a line longer than 1 MiB)")) << label.err.substr(0, 300);

  // 246 bytes, ".scf" and ".json": 255, the longest name a folder takes.
  const std::string long_name = t.Copy(CliData("three_colors.fix"), std::string(246, 'n'));
  const BatchRun longer = RunBatch({"fixed", long_name});
  EXPECT_EQ(longer.status, 0) << longer.err;
  EXPECT_TRUE(fs::exists(long_name + ".scf"));

  fs::create_directories(t.path() / "odd");
  t.Copy(CliData("three_colors.fix"), "odd/a\tb.fix");
  t.Copy(CliData("three_colors.fix"), "odd/c\nd.fix");
  const BatchRun odd = RunBatch({"fixed", t.File("odd"), "--summary", t.File("s.tsv")});
  EXPECT_EQ(odd.status, 0) << odd.err;
  EXPECT_TRUE(Holds(odd.out, t.File("odd/a\\tb.fix") + ": complete")) << odd.out;
  EXPECT_TRUE(Holds(odd.out, t.File("odd/c\\nd.fix") + ": complete")) << odd.out;
  const std::string tsv = ReadWholeFile(t.File("s.tsv"));
  EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\n'), 3) << tsv;
  EXPECT_EQ(std::count(tsv.begin(), tsv.end(), '\t'), 3 * 5) << tsv;
#endif
}

// A closed standard output (kolvane-batch ... | head -1) stops nothing: every file is analysed
// and the summary written.
TEST(Reliability, AClosedOutputStopsNothing) {
  KOLVANE_SKIP_ON_WINDOWS("a POSIX shell pipe closed by head");
  TempDir t;
  fs::create_directories(t.path() / "in");
  for (const char* name : {"a.fix", "b.fix", "c.fix"})
    t.Copy(CliData("three_colors.fix"), std::string("in/") + name);
  const std::string command = std::string(KOLVANE_BINARY_DIR) + "/kolvane-batch fixed " +
                              t.File("in") + " -j 1 --summary " + t.File("s.tsv") +
                              " 2>/dev/null | head -c 1 >/dev/null; echo ${PIPESTATUS[0]} > " +
                              t.File("status");
  ASSERT_EQ(std::system(("bash -c '" + command + "'").c_str()), 0);
  EXPECT_NE(ReadWholeFile(t.File("status")), "141\n");
  EXPECT_TRUE(fs::exists(t.File("in/c.fix.scf")));
  EXPECT_TRUE(Holds(ReadWholeFile(t.File("s.tsv")), t.File("in/c.fix") + "\tcomplete"));
}

}  // namespace
}  // namespace kolvane
