// The window's results table after real runs: every cell equals the file the run wrote, split
// here on its own, and the colour cells equal the simulator's ground truth; the record viewer
// fits a scan record again to the same numbers as the run's line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../app/window_fixtures.h"
#include "app/tissue_choices.h"
#include "dispatch/commands.h"
#include "dispatch/results_commands.h"

namespace kolvane {
namespace {

using testing_window::FileText;
using testing_window::TempPath;
using Lines = std::vector<std::vector<std::string>>;

const std::string kExamples = KOLVANE_SOURCE_DIR "/examples/";
const std::string kData = KOLVANE_TEST_DATA "/dispatch/";

// The TAB-separated cells of every line of a text file.
Lines Cells(const std::string& path) {
  std::istringstream in(FileText(path));
  Lines lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells(1);
    for (char c : line) {
      if (c == '\t') {
        cells.emplace_back();
      } else {
        cells.back().push_back(c);
      }
    }
    lines.push_back(cells);
  }
  return lines;
}

// The record lines of a truth file by record name.
std::map<std::string, std::vector<std::string>> Truth(const std::string& path) {
  std::map<std::string, std::vector<std::string>> out;
  for (const auto& cells : Cells(path))
    if (!cells[0].empty() && cells[0][0] != '#' && cells[0] != "Record") out[cells[0]] = cells;
  return out;
}

struct Analysed {
  ScriptedHost host;
  Program p{host};
  std::string results;
  Analysed(bool scan, const std::vector<std::string>& files, const std::string& name) {
    Form_Load(p, 1920 * 15, 1080 * 15);
    host.allow_any_message = true;
    host.on_tissue = [](TissueForm& f) {
      TissueOpt_Click(f, 0);
      TissueOk_Click(f);
    };
    host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); };
    results = TempPath(name);
    for (const std::string& f : files) host.QueueFile(f);
    host.QueueFile(results);
    scan ? OpenDataSS_Click(p) : OpenData_Click(p);
    EXPECT_TRUE(p.form.CloseIt.enabled);
    if (!p.ScanDataLoaded) {
      p.form.ControlCorr.ticked = p.form.ControlCorr.visible;
      ControlCorr_Click(p);
    }
    RunAnalysis_Click(p);
    EXPECT_TRUE(p.ledger.Complete());
  }
};

// Every cell of the table against the file's lines from its heading on.
void ExpectCellsAsInFile(const Program& p, const std::string& path) {
  const ResultsTable& t = p.results;
  ASSERT_FALSE(t.empty());
  const Lines file = Cells(path);
  std::size_t head = 0;
  while (head < file.size() && file[head][0] != "Sample/Color" && file[head][0] != "Sample/Wl")
    ++head;
  ASSERT_LT(head, file.size());
  // One row per record line, and the pures' background line when the background is removed.
  ASSERT_EQ(t.rows(), p.ledger.lines_written + (!t.scan() && p.BackgroundOn ? 1 : 0));
  ASSERT_EQ(file.size(), head + 1 + static_cast<std::size_t>(t.rows()));
  ASSERT_EQ(static_cast<std::size_t>(t.columns()), file[head].size());
  for (int r = 0; r < t.rows(); ++r) {
    const auto& line = file[head + 1 + static_cast<std::size_t>(r)];
    for (int c = 0; c < t.columns(); ++c) {
      const std::string expected = static_cast<std::size_t>(c) < line.size() ? line[c] : "";
      ASSERT_EQ(t.text(r, c), expected) << "row " << r << " column " << c;
      if (t.cell(r, c).numeric) {
        EXPECT_EQ(t.cell(r, c).value, std::stod(expected));
      }
    }
  }
}

// The colour cells of the record rows equal the truth file's.
void ExpectTruth(const ResultsTable& t, const std::string& truth_path, int colors) {
  const auto truth = Truth(truth_path);
  int compared = 0;
  for (int r = 0; r < t.rows(); ++r) {
    auto it = truth.find(std::string(t.text(r, 0)));
    if (it == truth.end()) continue;
    ++compared;
    for (int c = 1; c <= colors; ++c)
      EXPECT_EQ(t.text(r, c), it->second[static_cast<std::size_t>(c)]) << t.text(r, 0) << " " << c;
  }
  EXPECT_EQ(compared, static_cast<int>(truth.size()));
}

TEST(ResultsView, FixedExampleTableEqualsItsFileAndTheTruth) {
  Analysed run(false,
               {kExamples + "fixed/tissue_blanks_controls.fix",
                kExamples + "fixed/tissue_blanks_controls.blk",
                kExamples + "fixed/tissue_blanks_controls.ctl"},
               "results_fixed.scf");
  ExpectCellsAsInFile(run.p, run.results);
  ExpectTruth(run.p.results, kExamples + "fixed/tissue_blanks_controls.truth.tsv", 8);
  EXPECT_EQ(run.p.results.text(0, 0), "BG (Pures)");
}

TEST(ResultsView, ThirtyColourTableEqualsItsFileAndTheTruth) {
  Analysed run(
      false,
      {kData + "thirty_colours.fix", kData + "thirty_colours.blk", kData + "thirty_colours.ctl"},
      "results_thirty.scf");
  ASSERT_EQ(run.p.results.columns(), 31);
  ExpectCellsAsInFile(run.p, run.results);
  ExpectTruth(run.p.results, kData + "thirty_colours.truth.tsv", 30);
}

TEST(ResultsView, ScanExampleTableAndEveryRecordFittedAgain) {
  Analysed run(true, {kExamples + "scan/small.syn", kExamples + "scan/small.slk"},
               "results_scan.scf");
  Program& p = run.p;
  ExpectCellsAsInFile(p, run.results);
  ExpectTruth(p.results, kExamples + "scan/small.truth.tsv", 6);
  const ResultsTable& t = p.results;
  ASSERT_EQ(t.column(7).heading, "SS");
  // Each record read back and fitted again gives the run's SS and R^2, and its fitted curve
  // meets the pures' results at their peaks when the other pures are far.
  for (int r = 0; r < t.rows(); ++r) {
    ResultsRow_Click(p, r);
    const RecordFit& fit = t.fit;
    ASSERT_TRUE(fit.problem.empty()) << fit.problem;
    EXPECT_EQ(fit.name, t.text(r, 0));
    EXPECT_EQ(fit.nm.size(), 200u);
    EXPECT_EQ(fit.nm.front(), 350.0);
    EXPECT_EQ(fit.nm.back(), 549.0);
    EXPECT_EQ(fit.point_nm.size(), 30u);
    char cell[64];
    std::snprintf(cell, sizeof cell, "%.2f", fit.ss);
    EXPECT_EQ(t.text(r, 7), cell) << t.text(r, 0);
    std::snprintf(cell, sizeof cell, "%.3f", fit.r2);
    EXPECT_EQ(t.text(r, 8), fit.r2_defined ? cell : "") << t.text(r, 0);
    // The 350 nm reading, as written, is the spectrum's first point.
    std::snprintf(cell, sizeof cell, "%.2f", fit.reading.front());
    EXPECT_EQ(t.text(r, 9), cell) << t.text(r, 0);
  }
}

TEST(ResultsView, ARecordOfAChangedDataFileIsNotShownAsIfItWereThere) {
  const std::string copy = TempPath("results_changed.syn");
  std::ofstream(copy, std::ios::binary) << FileText(kExamples + "scan/small.syn");
  Analysed run(true, {copy, kExamples + "scan/small.slk"}, "results_changed.scf");
  std::ofstream(copy, std::ios::binary) << "Pures 6\n";
  ResultsRow_Click(run.p, 3);
  EXPECT_EQ(run.p.results.fit.problem, "The data file " + copy + " changed since the run: record " +
                                           std::string(run.p.results.text(3, 0)) +
                                           " cannot be read back.");
  std::remove(copy.c_str());
  ResultsRow_Click(run.p, 3);
  EXPECT_EQ(run.p.results.fit.problem, "Can't open file: " + copy);
}

TEST(ResultsView, ALoadOrANewRunForgetsTheTable) {
  Analysed run(true, {kExamples + "scan/small.syn", kExamples + "scan/small.slk"},
               "results_forget.scf");
  ASSERT_FALSE(run.p.results.empty());
  ResultsFilter_Click(run.p, ResultsFilter::Flagged);
  EXPECT_EQ(run.p.results.filter, ResultsFilter::Flagged);
  run.host.QueueFile(kExamples + "scan/small.syn");
  run.host.QueueFile("");  // no blanks
  run.host.QueueFile("");  // the results dialog cancelled: the load stops
  OpenDataSS_Click(run.p);
  EXPECT_TRUE(run.p.results.empty());
  EXPECT_EQ(run.p.results.filter, ResultsFilter::All);
}

}  // namespace
}  // namespace kolvane
