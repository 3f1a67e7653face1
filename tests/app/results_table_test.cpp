// The results table read back from results files: headings, kinds of rows, marked cells,
// filters, sorting and the copied text. Expected values are read off the golden files by hand.
#include "app/results_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace kolvane {
namespace {

const std::string kData = KOLVANE_TEST_DATA;

ResultsTable Loaded(const std::string& path) {
  ResultsTable t;
  std::string problem;
  EXPECT_TRUE(t.Load(path, problem)) << problem;
  return t;
}

std::vector<std::string> Column(const ResultsTable& t, int c) {
  std::vector<std::string> out;
  for (int r = 0; r < t.rows(); ++r) out.emplace_back(t.text(r, c));
  return out;
}

std::vector<std::string> Headings(const ResultsTable& t) {
  std::vector<std::string> out;
  for (int c = 0; c < t.columns(); ++c) out.push_back(t.column(c).heading);
  return out;
}

TEST(ResultsTable, ScanRunWithMicrospheresAndFlags) {
  ResultsTable t = Loaded(kData + "/scan/two_pures_microspheres/expected.scf");
  EXPECT_TRUE(t.scan());
  EXPECT_EQ(Headings(t),
            (std::vector<std::string>{"Sample/Wl", "Yellow-Green 492 nm", "Yellow 510 nm", "SS",
                                      "R^2", "Max. Tissue", "Hi-Lo Flag"}));
  EXPECT_EQ(t.column(1).kind, ResultsColumnKind::Color);
  EXPECT_EQ(t.column(3).kind, ResultsColumnKind::Figure);
  EXPECT_EQ(t.column(6).kind, ResultsColumnKind::Flag);
  ASSERT_EQ(t.rows(), 5);
  EXPECT_EQ(Column(t, 0), (std::vector<std::string>{"P1", "P2", "S1", "S2", "S3"}));
  EXPECT_EQ(Column(t, 1), (std::vector<std::string>{"2500", "0", "7500", "2500", "0"}));
  // S3's R^2 is undefined and its cell empty; only S2 and S3 carry the flag.
  EXPECT_EQ(Column(t, 4), (std::vector<std::string>{"1.000", "1.000", "1.000", "1.000", ""}));
  EXPECT_EQ(Column(t, 6), (std::vector<std::string>{"", "", "", "***", "***"}));
  EXPECT_FALSE(t.cell(4, 4).numeric);
  EXPECT_TRUE(t.cell(3, 6).marked);
  EXPECT_FALSE(t.cell(3, 5).marked);
  EXPECT_DOUBLE_EQ(t.cell(2, 5).value, 12.5);
  EXPECT_EQ(t.kind(0), ResultsRowKind::Pure);
  EXPECT_EQ(t.kind(2), ResultsRowKind::Sample);
  EXPECT_EQ(t.RecordIndex(3), 3);

  std::vector<int> pures, samples, flagged;
  for (int r = 0; r < t.rows(); ++r) {
    if (t.Passes(r, ResultsFilter::Pures)) pures.push_back(r);
    if (t.Passes(r, ResultsFilter::Samples)) samples.push_back(r);
    if (t.Passes(r, ResultsFilter::Flagged)) flagged.push_back(r);
    EXPECT_TRUE(t.Passes(r, ResultsFilter::All));
  }
  EXPECT_EQ(pures, (std::vector<int>{0, 1}));
  EXPECT_EQ(samples, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(flagged, (std::vector<int>{3, 4}));
}

TEST(ResultsTable, FixedRunsWithTissueBackgroundAndOverload) {
  ResultsTable tissue = Loaded(kData + "/fixed/tissue_excluded/expected.scf");
  EXPECT_FALSE(tissue.scan());
  EXPECT_EQ(Headings(tissue),
            (std::vector<std::string>{"Sample/Color", "Tissue", "Blue", "Green"}));
  EXPECT_EQ(Column(tissue, 1)[3], "77.0000");
  EXPECT_EQ(tissue.RecordIndex(0), -1);

  ResultsTable bg = Loaded(kData + "/fixed/later_blanks_take_over/expected.scf");
  EXPECT_EQ(bg.kind(0), ResultsRowKind::Background);
  EXPECT_EQ(bg.text(0, 0), "BG (Pures)");
  EXPECT_EQ(bg.text(0, 1), "10.0000");
  EXPECT_EQ(bg.kind(1), ResultsRowKind::Pure);
  EXPECT_FALSE(bg.Passes(0, ResultsFilter::Pures));
  EXPECT_FALSE(bg.Passes(0, ResultsFilter::Samples));

  ResultsTable ol = Loaded(kData + "/fixed/pure_reading_999/expected.scf");
  ASSERT_EQ(ol.rows(), 3);
  for (int r = 0; r < 3; ++r) {
    EXPECT_TRUE(ol.cell(r, 1).marked && ol.cell(r, 2).marked);
    EXPECT_TRUE(ol.Passes(r, ResultsFilter::Flagged));
  }
}

TEST(ResultsTable, SortsNumbersByValueThenTextsAndKeepsFileOrderForTies) {
  ResultsTable t = Loaded(kData + "/fixed/colour_left_out/expected.scf");
  // Blue: 200.000 7.600 0.000 103.800 0.000 -> rows 2 and 4 tie at 0, 2 first.
  std::vector<int> rows{0, 1, 2, 3, 4};
  std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return t.Less(a, b, 1); });
  EXPECT_EQ(rows, (std::vector<int>{2, 4, 1, 3, 0}));
  // Text cells ("OL", empty) follow every number; names sort as text.
  ResultsTable s = Loaded(kData + "/scan/two_pures_microspheres/expected.scf");
  EXPECT_TRUE(s.Less(3, 4, 4));   // 1.000 before the empty cell
  EXPECT_FALSE(s.Less(4, 0, 4));  // and never after it
  EXPECT_TRUE(s.Less(1, 2, 0));   // "P2" < "S1"
}

TEST(ResultsTable, SelectionIsTabTextWithHeadings) {
  ResultsTable t = Loaded(kData + "/fixed/colour_left_out/expected.scf");
  EXPECT_EQ(t.SelectionText({3, 0}, {0, 2}), "Sample/Color\tRed\nS1\t215.000\nP1\t0.000\n");
  EXPECT_EQ(t.SelectionText({1}, {1}), "Blue\n7.600\n");
  EXPECT_EQ(t.SelectionText({1}, {}), "");
}

TEST(ResultsTable, RefusesFilesWithoutResults) {
  ResultsTable t;
  std::string problem;
  EXPECT_FALSE(t.Load(kData + "/no/such/file.scf", problem));
  EXPECT_NE(problem.find("/no/such/file.scf"), std::string::npos);
  const std::string fix = kData + "/fixed/colour_left_out/d.fix";
  EXPECT_FALSE(t.Load(fix, problem));
  EXPECT_EQ(problem, "The results file " + fix + " holds no result lines.");
  EXPECT_TRUE(t.empty());
  EXPECT_EQ(t.rows(), 0);
}

}  // namespace
}  // namespace kolvane
