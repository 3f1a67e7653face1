// A study: many data files in one command. Every file's results must equal, byte for byte, what
// a single run of that file writes; the summary says how each file ended, in input order.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "batch_runner.h"
#include "cli/batch_summary.h"
#include "support/portable.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

// The results a single run of the file writes (the single path is checked on its own).
std::string SingleRun(const std::vector<std::string>& args, const TempDir& t) {
  std::vector<std::string> words = args;
  words.insert(words.end(), {"-o", t.File("single.scf")});
  const BatchRun run = RunBatch(words);
  EXPECT_EQ(run.status, 0) << run.err;
  return ReadWholeFile(t.File("single.scf"));
}

TEST(Study, FolderAndCompanionsFoundByNameAndStem) {
  TempDir t;
  fs::create_directories(t.path() / "in" / "sub");
  const auto in = [&](const std::string& name) { return t.File("in/" + name); };
  t.Copy(CliData("three_colors.fix"), "in/b.fix");
  t.Copy(CliData("three_colors.fix"), "in/a.fix");
  t.Copy(CliData("three_colors.blk"), "in/a.blk");  // a.ctl is missing
  t.Copy(CliData("three_colors.blk"), "in/b.blk");
  t.Copy(CliData("three_colors.ctl"), "in/b.ctl");
  t.Copy(CliData("three_colors.fix"), "in/sub/a.fix");  // folders are not searched below
  t.Copy(CliData("three_colors.fix"), "in/notes.txt");
  // Refused: two data files of one name for one results folder.
  const std::string out = t.File("out");
  const BatchRun same = RunBatch({"fixed", in("a.fix"), in("sub/a.fix"), "--out-dir", out});
  EXPECT_EQ(same.status, 2);
  EXPECT_TRUE(Holds(same.err, " would both write " + t.File("out/a.fix.scf"))) << same.err;
  EXPECT_FALSE(fs::exists(out));

  const BatchRun run = RunBatch({"fixed", t.File("in"), "--companions", "--control-correction",
                                 "on", "--summary", t.File("s.tsv")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Holds(run.err, in("a.fix") + ": no controls file " + in("a.ctl"))) << run.err;
  EXPECT_EQ(ReadWholeFile(in("a.fix.scf")),
            SingleRun({"fixed", in("a.fix"), "--blanks", in("a.blk")}, t));
  EXPECT_EQ(ReadWholeFile(in("b.fix.scf")),
            SingleRun({"fixed", in("b.fix"), "--blanks", in("b.blk"), "--controls", in("b.ctl"),
                       "--control-correction", "on"},
                      t));
  EXPECT_FALSE(fs::exists(in("sub/a.fix.scf")));
  EXPECT_FALSE(fs::exists(in("notes.txt.scf")));
  // three_colors.fix holds 8 sample records, none of them overloaded.
  EXPECT_EQ(ReadWholeFile(t.File("s.tsv")),
            "file\toutcome\trecords\tresult_lines\tol_cells\tmessage\n" + in("a.fix") +
                "\tcomplete\t8\t8\t0\t\n" + in("b.fix") + "\tcomplete\t8\t8\t0\t\n");
}

// One corrupt file among good ones, with one and two workers: the same results and summary.
TEST(Study, OneAndTwoWorkersAgreeAndABadFileCostsOnlyItself) {
  TempDir t;
  fs::create_directories(t.path() / "in");
  for (const char* name : {"g1.fix", "g2.fix", "g3.fix", "g4.fix"})
    t.Copy(CliData("three_colors.fix"), std::string("in/") + name);
  t.Copy(CliData("no_color_line.fix"), "in/bad.fix");
  const std::string expected = SingleRun({"fixed", CliData("three_colors.fix")}, t);

  std::string summary[2];
  for (int jobs : {1, 2}) {
    const std::string out = t.File("out" + std::to_string(jobs));
    const std::string tsv = t.File("s" + std::to_string(jobs) + ".tsv");
    const BatchRun run = RunBatch(
        {"fixed", t.File("in"), "-j", std::to_string(jobs), "--out-dir", out, "--summary", tsv});
    EXPECT_EQ(run.status, 1) << run.err;
    for (const char* name : {"g1", "g2", "g3", "g4"})
      EXPECT_EQ(ReadWholeFile(out + "/" + name + ".fix.scf"), expected) << name << " -j " << jobs;
    EXPECT_FALSE(TempFileIn(out));
    // One line per file as it finishes, then the table.
    EXPECT_TRUE(Holds(run.out, t.File("in/g3.fix") + ": complete, 8 records, 8 result lines"));
    EXPECT_TRUE(Holds(run.out, "5 files: 4 complete, 1 stopped\n")) << run.out;
    summary[jobs - 1] = ReadWholeFile(tsv);
  }
  EXPECT_EQ(summary[0], summary[1]);
  const std::string bad_line = t.File("in/bad.fix") + "\tstopped\t0\t0\t0\t";
  ASSERT_EQ(summary[0].find(bad_line), summary[0].find('\n') + 1) << summary[0];
  const std::string message = summary[0].substr(summary[0].find(bad_line) + bad_line.size());
  EXPECT_TRUE(Holds(message.substr(0, message.find('\n')), "no Color line")) << message;
}

// --skip-done leaves a file only when its record says it completed (or it has none, as results
// written before records); a stopped file's incomplete lines do not count.
TEST(Study, SkipDoneTrustsOnlyACompleteRecord) {
  TempDir t;
  fs::create_directories(t.path() / "in");
  const std::string a = t.Copy(CliData("three_colors.fix"), "in/a.fix");
  const std::string b = t.Copy(CliData("three_colors.fix"), "in/b.fix");
  const std::string c = t.Copy(CliData("three_colors.fix"), "in/c.fix");
  const std::string d = t.Copy(CliData("three_colors.fix"), "in/d.fix");  // no results yet
  const std::string expected = SingleRun({"fixed", b}, t);
  WriteWholeFile(a + ".scf", "DONE\r\n");  // no record: done
  WriteWholeFile(b + ".scf", "PARTIAL\r\n");
  WriteWholeFile(b + ".scf.json", "{\"outcome\": {\"end\": \"stopped\"}}\n");
  WriteWholeFile(c + ".scf", "BROKEN\r\n");
  WriteWholeFile(c + ".scf.json", "{\"outcome\": ");
  const BatchRun run = RunBatch({"fixed", t.File("in"), "--skip-done"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Holds(run.out, "4 files: 3 complete, 1 skipped\n")) << run.out;
  EXPECT_EQ(ReadWholeFile(a + ".scf"), "DONE\r\n");
  EXPECT_EQ(ReadWholeFile(b + ".scf"), expected);
  EXPECT_EQ(ReadWholeFile(d + ".scf"), expected);
  EXPECT_TRUE(Holds(ReadWholeFile(c + ".scf.json"), "\"complete\""));
}

// A large simulated scan file, three names for it: SIGTERM while the second is being written.
TEST(Study, SigtermLeavesOnlyCompleteResultsFiles) {
#ifdef _WIN32
  KOLVANE_SKIP_ON_WINDOWS("signals sent with kill (Ctrl-C reaches a console program otherwise)");
#else
  TempDir t;
  ASSERT_NE(SimulatedScan(t, 6000, 500), "");
  fs::create_hard_link(t.File("a.syn"), t.File("b.syn"));
  fs::create_hard_link(t.File("a.syn"), t.File("c.syn"));
  const std::string out = t.File("out");
  const pid_t pid = StartBatch({"scan", t.File("a.syn"), t.File("b.syn"), t.File("c.syn"), "-j",
                                "1", "--out-dir", out, "--summary", t.File("s.tsv")});
  const auto start = std::chrono::steady_clock::now();
  // a.syn is done once its results are in place (its record goes first); b.syn is under way once
  // its temporary results file is there.
  const auto b_under_way = [&] { return fs::exists(out + "/a.syn.scf") && TempFileIn(out); };
  while (!b_under_way() && std::chrono::steady_clock::now() - start < std::chrono::seconds(120))
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_FALSE(TempFileIn(out));
  EXPECT_EQ(ReadWholeFile(out + "/a.syn.scf"), SingleRun({"scan", t.File("a.syn")}, t));
  EXPECT_FALSE(fs::exists(out + "/b.syn.scf"));
  EXPECT_FALSE(fs::exists(out + "/b.syn.scf.json"));
  EXPECT_FALSE(fs::exists(out + "/c.syn.scf"));
  const std::string tsv = ReadWholeFile(t.File("s.tsv"));
  EXPECT_TRUE(Holds(tsv, t.File("a.syn") + "\tcomplete\t")) << tsv;
  EXPECT_TRUE(Holds(tsv, t.File("b.syn") + "\taborted\t")) << tsv;
  EXPECT_TRUE(Holds(tsv, t.File("c.syn") + "\tnot started\t0\t0\t0\t\n")) << tsv;
  // b's lines, when it wrote any, are beside its results name, with their record.
  const std::string incomplete = out + "/b.syn.incomplete.scf";
  EXPECT_EQ(fs::exists(incomplete), fs::exists(incomplete + ".json"));
  EXPECT_EQ(fs::exists(incomplete), Holds(tsv, "lines kept in " + incomplete + "\n")) << tsv;
#endif
}

}  // namespace
}  // namespace kolvane
