// Only a completed run replaces a results file and its record. A run that stops (by its data,
// by --max-condition, by a stop signal at any yield) leaves the earlier pair byte for byte as
// it was; the lines it wrote, when it wrote a record line, are in RESULTS.incomplete.scf with a
// record of their own, and its record, its stderr line and the status line give one count.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <thread>

#include "app/status_line.h"
#include "batch_runner.h"
#include "cli/batch_commands.h"
#include "support/portable.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kData = KOLVANE_TEST_DATA;
const std::string kEarlier = "an earlier complete result\r\n";
const std::string kEarlierRecord = "{\"outcome\": {\"end\": \"complete\"}}\n";

// What a run left beside an earlier complete pair r.scf / r.scf.json.
struct Left {
  int status = -1;
  std::string err;
  RunLedger ledger;
};

// The earlier pair is as it was unless the run completed; the incomplete file exists exactly
// when the run wrote a record line, holds those lines and has a record that counts them.
void ExpectAsDecided(const TempDir& t, const Left& run, long lines_expected) {
  const std::string results = t.File("r.scf"), incomplete = t.File("r.incomplete.scf");
  EXPECT_FALSE(TempFileIn(t.path()));
  const RunLedger& l = run.ledger;
  // A stop during the load may come before the load counted the records.
  if (l.lines_written > 0 || run.status == 0) {
    EXPECT_EQ(l.lines_expected, lines_expected);
  }
  if (run.status == 0) {
    EXPECT_TRUE(l.Complete());
    EXPECT_EQ(RecordLines(ReadWholeFile(results)), lines_expected);
    EXPECT_EQ(json::parse(ReadWholeFile(results + ".json"))["outcome"]["end"], "complete");
    EXPECT_FALSE(fs::exists(incomplete));
    return;
  }
  EXPECT_EQ(ReadWholeFile(results), kEarlier);
  EXPECT_EQ(ReadWholeFile(results + ".json"), kEarlierRecord);
  EXPECT_EQ(fs::exists(incomplete), l.lines_written > 0);
  const std::string counted = "aborted: " + std::to_string(l.lines_written) + " of " +
                              std::to_string(lines_expected) + " records written";
  if (l.lines_written == 0) {
    EXPECT_NE(run.err.find("aborted: 0 of "), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(incomplete + ".json"));
    return;
  }
  EXPECT_EQ(RecordLines(ReadWholeFile(incomplete)), l.lines_written);
  EXPECT_NE(run.err.find(counted + " to " + incomplete + "\n"), std::string::npos) << run.err;
  const json r = json::parse(ReadWholeFile(incomplete + ".json"));
  EXPECT_EQ(r["results_file"], incomplete);
  EXPECT_EQ(r["outcome"]["end"], RunEndWord(l.end));
  EXPECT_EQ(r["outcome"]["lines_written"], l.lines_written);
  EXPECT_EQ(r["outcome"]["lines_expected"], lines_expected);
  EXPECT_EQ(r["counts"]["result_lines"], l.lines_written);
  // The status line the window would show for the same run.
  ScriptedHost host;
  Program p(host);
  p.ledger = l;
  const std::string status = RunOutcomeText(p);
  EXPECT_NE(status.find(std::to_string(l.lines_written) + " of " + std::to_string(lines_expected) +
                        " records written to " + incomplete),
            std::string::npos)
      << status;
}

// The earlier complete pair r.scf / r.scf.json, and no incomplete file beside it.
void PlantEarlierPair(const TempDir& t) {
  WriteWholeFile(t.File("r.scf"), kEarlier);
  WriteWholeFile(t.File("r.scf.json"), kEarlierRecord);
  fs::remove(t.File("r.incomplete.scf"));
  fs::remove(t.File("r.incomplete.scf.json"));
}

// A run's data (and blanks, subtracted) under tests/data; a scan when the data end in .syn.
struct Case {
  std::string data, blanks;
  long lines;                // the record lines the run would write (0: not known beforehand)
  double max_condition = 0;  // 0: none
};

// One run of the case in this process, its stop coming at the given yield (0: none).
Left RunWithStop(const TempDir& t, const Case& c, long stop_at_yield) {
  BatchOptions o;
  o.data = t.Copy(kData + "/" + c.data);
  if (!c.blanks.empty()) o.blanks = t.Copy(kData + "/" + c.blanks), o.background = true;
  if (c.max_condition > 0) o.max_condition = c.max_condition;
  o.results = t.File("r.scf");
  PlantEarlierPair(t);
  MemoryStream err;
  Left left;
  {
    BatchHost host(o, err.file, false);
    host.StopAtYield(stop_at_yield);
    const bool scan = c.data.substr(c.data.size() - 4) == ".syn";
    left.status = scan ? RunScanBatch(o, host) : RunFixedBatch(o, host);
    left.ledger = host.ledger();
  }
  left.err = err.Take();
  return left;
}

// Stops by the data and by the command line: never a change to the earlier pair.
TEST(Stops, TheDataOrTheLimitStopsAndTheEarlierResultsStay) {
  const Case cases[] = {
      // P1, P2 written, S1 beyond a double: 2 of 6 lines.
      {"fixed/stopped_record_too_large_S1/d.fix", "", 6},
      {"fixed/stopped_pure_without_own_signal/d.fix", "", 0},
      {"scan/refused_pure_zero_at_peak/r.syn", "", 0},
      // Both pures and three samples; the blank gives no line.
      {"scan/blank_subtraction/blanks.syn", "scan/blank_subtraction/blanks.slk", 5, 1.0001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data);
    TempDir t;
    const Left run = RunWithStop(t, c, 0);
    EXPECT_EQ(run.status, 1) << run.err;
    if (c.lines > 0) {
      EXPECT_EQ(run.ledger.lines_expected, c.lines);
    }
    ExpectAsDecided(t, run, run.ledger.lines_expected);
  }
}

// A stop at every yield of a fixed run and of a scan with a blank record, in turn: before the
// run, during it, after its last line. Whatever the moment, the disk holds either the complete
// pair or the earlier pair and the incomplete file as decided, and every count agrees.
TEST(Stops, AStopAtEachYieldLeavesTheFilesAsDecided) {
  const Case cases[] = {
      {"cli/three_colors.fix", "", 8},
      {"scan/blank_subtraction/blanks.syn", "scan/blank_subtraction/blanks.slk", 5},
  };
  for (const Case& c : cases) {
    TempDir t;
    int aborted_with_lines = 0, complete = 0;
    for (long yield = 1; yield < 400 && complete < 2; ++yield) {
      SCOPED_TRACE(c.data + " stopped at yield " + std::to_string(yield));
      const Left run = RunWithStop(t, c, yield);
      complete += run.status == 0;
      aborted_with_lines += run.status == 1 && run.ledger.lines_written > 0;
      ExpectAsDecided(t, run, c.lines);
    }
    EXPECT_EQ(complete, 2) << "a stop after the last line leaves a complete run";
    EXPECT_GT(aborted_with_lines, 0);
  }
}

// Real signals at random moments (seeded, so a failure can be repeated): one Ctrl-C, or two.
// The process ends with status 0 and a complete pair, or 1 with the earlier pair untouched and
// the incomplete file as its record says; a second signal may end it at once (its lines go).
TEST(Stops, RandomSignalsNeverLoseTheEarlierResults) {
  TempDir t;
  const std::string data = SimulatedScan(t, 1500, 350);
  ASSERT_NE(data, "");
  const std::string results = t.File("r.scf"), incomplete = t.File("r.incomplete.scf");
  std::mt19937 random(7);
  int stopped = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int trial = 0; trial < 60; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    PlantEarlierPair(t);
    const int delay_us = std::uniform_int_distribution<int>(0, 150000)(random);
    const bool twice = random() % 4 == 0;
    const pid_t pid = StartBatch({"scan", data, "-o", results});
    std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
    kill(pid, SIGINT);
    if (twice) kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_FALSE(TempFileIn(t.path()));
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
      EXPECT_EQ(json::parse(ReadWholeFile(results + ".json"))["outcome"]["end"], "complete");
      continue;
    }
    ++stopped;
    EXPECT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) == 1);
    EXPECT_EQ(ReadWholeFile(results), kEarlier);
    EXPECT_EQ(ReadWholeFile(results + ".json"), kEarlierRecord);
    if (!fs::exists(incomplete)) continue;
    const std::string lines = ReadWholeFile(incomplete);
    if (!fs::exists(incomplete + ".json")) {
      // Only a second signal may end the run between its lines and their record.
      EXPECT_TRUE(twice);
      continue;
    }
    const json r = json::parse(ReadWholeFile(incomplete + ".json"));
    EXPECT_EQ(r["outcome"]["end"], "aborted");
    EXPECT_EQ(r["outcome"]["lines_written"], RecordLines(lines));
  }
  EXPECT_GT(stopped, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
}  // namespace kolvane
