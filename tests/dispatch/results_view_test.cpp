// The window's results table after real runs: every cell equals the file the run wrote, split
// here on its own, and the colour cells equal the simulator's ground truth; the record viewer
// fits a scan record again to the same numbers as the run's line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "dispatch/results_commands.h"
#include "dispatch_fixtures.h"

namespace kolvane {
namespace {

using testing_window::FileText;
using testing_window::kScanFiles;
using testing_window::TabLines;
using testing_window::TempPath;

// A window that loaded `files` (the last the results file) using the tissue pure, ticked the
// control correction where there is one, and ran to completion.
struct Analysed : testing_window::Window {
  std::string results;
  Analysed(bool scan, const std::vector<std::string>& files, const std::string& name)
      : results(TempPath(name)) {
    host.allow_any_message = true;
    UseTissue();
    Open(scan, files, results);
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
  const auto file = TabLines(FileText(path));
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
  std::map<std::string, std::vector<std::string>> truth;  // the record lines by record name
  for (const auto& cells : TabLines(FileText(truth_path)))
    if (!cells[0].empty() && cells[0][0] != '#' && cells[0] != "Record") truth[cells[0]] = cells;
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

// Each table against its file and the simulator's truth: the fixed example (the pures'
// background its first row), thirty colours, and the scan example.
TEST(ResultsView, TablesEqualTheirFilesAndTheTruth) {
  const std::string data = KOLVANE_TEST_DATA "/dispatch/thirty_colours";
  const struct {
    bool scan;
    std::vector<std::string> files;
    std::string truth;
    int colors;
    const char* first_row;
  } cases[] = {
      {false, testing_window::kFixedFiles, testing_window::kFixedStem + ".truth.tsv", 8,
       "BG (Pures)"},
      {false, {data + ".fix", data + ".blk", data + ".ctl"}, data + ".truth.tsv", 30, nullptr},
      {true, kScanFiles, testing_window::kScanStem + ".truth.tsv", 6, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.truth);
    Analysed run(c.scan, c.files, "results_view.scf");
    ExpectCellsAsInFile(run.p, run.results);
    EXPECT_TRUE(c.scan || run.p.results.columns() == c.colors + 1);
    ExpectTruth(run.p.results, c.truth, c.colors);
    if (c.first_row) {
      EXPECT_EQ(run.p.results.text(0, 0), c.first_row);
    }
  }
}

TEST(ResultsView, EveryScanRecordFittedAgain) {
  Analysed run(true, kScanFiles, "results_scan.scf");
  Program& p = run.p;
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

// A record of a data file changed or removed since the run is not shown as if it were there;
// a load forgets the table and its filter.
TEST(ResultsView, AChangedDataFileOrALoadAfterTheRun) {
  const std::string copy = TempPath("results_changed.syn");
  std::ofstream(copy, std::ios::binary) << FileText(kScanFiles[0]);
  Analysed run(true, {copy, kScanFiles[1]}, "results_changed.scf");
  // Another file, and the same file cut short within the record (its label there, its
  // readings not all).
  const long long at =
      run.p.scan.RecordPlaces[static_cast<std::size_t>(run.p.results.RecordIndex(3))].record;
  for (const std::string& text :
       {std::string("Pures 6\n"), FileText(kScanFiles[0]).substr(0, at + 40)}) {
    std::ofstream(copy, std::ios::binary) << text;
    ResultsRow_Click(run.p, 3);
    EXPECT_EQ(run.p.results.fit.problem,
              "The data file " + copy + " changed since the run: record " +
                  std::string(run.p.results.text(3, 0)) + " cannot be read back.");
  }
  std::remove(copy.c_str());
  ResultsRow_Click(run.p, 3);
  EXPECT_EQ(run.p.results.fit.problem, "Can't open file: " + copy);
  ResultsFilter_Click(run.p, ResultsFilter::Flagged);
  EXPECT_EQ(run.p.results.filter, ResultsFilter::Flagged);
  // The results dialog cancelled: the load stops.
  run.Open(true, {kScanFiles[0], "", ""});
  EXPECT_TRUE(run.p.results.empty());
  EXPECT_EQ(run.p.results.filter, ResultsFilter::All);
}

}  // namespace
}  // namespace kolvane
