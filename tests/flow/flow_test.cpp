// Blood flow end to end through kolvane-batch flow: the hand-worked golden case, the refusals
// as table rows, intensity results, and a simulated study against its true flows.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/truth_lines.h"
#include "sim/spread_support.h"
#include "support/table.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using spread::Folder;
using spread::Launch;
using spread::Outcome;
using spread::Read;

const std::string kGolden = KOLVANE_TEST_DATA "/flow/golden/";

// The rows of a table file, split at TABs.
std::vector<truth::Row> Cells(const std::string& text) {
  return truth::Lines(text, [](const std::string&) { return true; });
}

// Runs "kolvane-batch WORDS" inside `dir`.
Outcome InFolder(const fs::path& dir, const std::string& words) {
  return Launch(dir, "batch " + words);
}

// The written table against the hand-worked one: text cells equal, numbers to 7 digits.
void ExpectTable(const std::string& written, const std::string& expected) {
  ASSERT_EQ(written.find('\n'), written.find("\r\n") + 1) << "lines end in CR LF";
  const auto got = Cells(written), want = Cells(expected);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t r = 0; r < want.size(); ++r) {
    ASSERT_EQ(got[r].size(), want[r].size()) << "row " << r;
    for (std::size_t c = 0; c < want[r].size(); ++c) {
      char* end = nullptr;
      const double w = std::strtod(want[r][c].c_str(), &end);
      if (r == 0 || want[r][c].empty() || *end != '\0') {
        EXPECT_EQ(got[r][c], want[r][c]) << "row " << r << " column " << want[0][c];
      } else {
        EXPECT_NEAR(std::stod(got[r][c]), w, 5e-7 * std::fabs(w))
            << "row " << r << " column " << want[0][c];
      }
    }
  }
}

fs::path GoldenFolder(const Folder& f) {
  for (const char* name : {"results.scf", "results.scf.json", "sheet.csv"})
    fs::copy_file(kGolden + name, f.path / name);
  return f.path;
}

// The golden case's record beside F.tsv (the references' counts and agreement, what was
// withheld) and its report (names escaped, nothing fetched from elsewhere).
void ExpectGoldenRecordAndReport(const fs::path& dir) {
  const auto record = nlohmann::json::parse(Read((dir / "F.tsv.json").string()));
  EXPECT_EQ(record["outcome"], "flows withheld");
  const auto& refs = record["flow"]["references"];
  ASSERT_EQ(refs.size(), 4u);  // A Blue, A Red, B Blue, B Red
  EXPECT_NEAR(refs[0]["cardiac_output_ml_min"].get<double>(), 16.0, 1e-12);
  EXPECT_NEAR(refs[2]["difference_pct"].get<double>(), 18.181818, 1e-5);
  EXPECT_EQ(refs[3]["spheres"], nlohmann::json::parse("[300.0, 900.0]"));
  EXPECT_FALSE(refs[3]["written"].get<bool>());
  EXPECT_EQ(record["inputs"][0]["sha256"].get<std::string>().size(), 64u);
  const std::string html = Read((dir / "R.html").string());
  EXPECT_NE(html.find("heart &lt;LV&amp;RV&gt;"), std::string::npos);
  EXPECT_EQ(html.find("<LV"), std::string::npos);
  EXPECT_NE(html.find("<svg"), std::string::npos);
  for (const char* outside : {" src=", "<link", "href="})
    EXPECT_EQ(html.find(outside), std::string::npos) << "self-contained";
}

// Each folder of tests/data/flow holding `args`: its files copied to a fresh folder, the
// command run there, each line of `expected.err` in standard error, the tables against the
// hand-worked ones (every number among them: none is NaN or infinite).
TEST(BloodFlow, HandWorkedCases) {
  for (const std::string name : {"golden", "scan"}) {
    SCOPED_TRACE(name);
    const fs::path data = fs::path(KOLVANE_TEST_DATA "/flow") / name;
    Folder f("flow_case_" + name);
    for (const auto& file : fs::directory_iterator(data))
      fs::copy_file(file.path(), f.path / file.path().filename());
    std::string args = Read((data / "args").string());
    args.erase(args.find_last_not_of("\r\n") + 1);
    const Outcome run = InFolder(f.path, args);
    EXPECT_EQ(run.status, std::stoi(Read((data / "expected.status").string()))) << run.err;
    std::istringstream said(Read((data / "expected.err").string()));
    for (std::string line; std::getline(said, line);)
      EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
    ExpectTable(Read((f.path / "F.tsv").string()), Read((data / "expected_flow.tsv").string()));
    ExpectTable(Read((f.path / "O.tsv").string()), Read((data / "expected_organs.tsv").string()));
    if (name == "golden") ExpectGoldenRecordAndReport(f.path);
  }
}

// Intensity levels: the unit cancels, so animal A's flows are those of the golden case; sphere
// counts, errors and their checks are not known, said once.
TEST(BloodFlow, IntensityResultsGiveTheSameFlowsWithoutSphereChecks) {
  Folder f("flow_intensity");
  const fs::path dir = GoldenFolder(f);
  fs::remove(dir / "results.scf.json");
  const Outcome run = InFolder(dir, "flow results.scf --samples sheet.csv -o F.tsv");
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string note = "sphere counts are not known";
  ASSERT_NE(run.err.find(note), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(note, run.err.find(note) + 1), std::string::npos) << "said once";
  const auto got = Cells(Read((dir / "F.tsv").string()));
  const auto want = Cells(Read(kGolden + "expected_flow.tsv"));
  ASSERT_EQ(got.size(), want.size() + 1);  // B's Red is written
  for (std::size_t r = 1; r < 7; ++r) {
    EXPECT_NEAR(std::stod(got[r][6]), std::stod(want[r][6]),
                1e-6 * std::fabs(std::stod(want[r][6])));
    EXPECT_EQ(got[r][7] + got[r][8], "") << "no spheres, no error";
    EXPECT_EQ(got[r][9].find("LOW_SPHERES"), std::string::npos);
  }
}

TEST(BloodFlow, RefusalsWriteNothingAndExit2) {
  for (const TableRow& row : ReadTable("flow/refusals.tsv")) {
    SCOPED_TRACE(row[0]);
    Folder f("flow_refusal");
    const fs::path dir = GoldenFolder(f);
    fs::copy_file(dir / "results.scf", dir / "copy.scf");
    fs::copy_file(dir / "results.scf.json", dir / "copy.scf.json");
    fs::copy_file(dir / "results.scf", dir / "plain.scf");
    std::ofstream(dir / "study.txt") << "Instrument\tnone\r\nS1\t1\r\n";
    std::ofstream(dir / "twice.scf") << "Sample/Color\tBlue\tRed\r\nS1\t1\t1\r\nS1\t2\t2\r\n";
    const std::string sheet = row[2] == "golden" ? Read(kGolden + "sheet.csv") : row[2] + "\n";
    std::ofstream(dir / "s.csv", std::ios::binary) << sheet;
    std::string words = "flow results.scf --samples s.csv " + row[1];
    if (row[1].find("-o ") == std::string::npos) words += " -o F.tsv";
    const Outcome run = InFolder(dir, words);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(row[3]), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir / "F.tsv"));
    EXPECT_EQ(Read((dir / "s.csv").string()), sheet);
  }
}

// The simulator's study measured by the fixed-wavelength run in microspheres/ml: about 95 % of
// the pieces' flows lie within their stated 95 % error of the true flow.
TEST(BloodFlow, SimulatedStudyAgreesWithTheTruth) {
  Folder f("flow_sim");
  ASSERT_EQ(Launch(f.path, "simulate flow --animals 8 --seed 11 -o s").status, 0);
  ASSERT_EQ(InFolder(f.path,
                     "fixed s.fix --blanks s.blk --controls s.ctl --control-correction on "
                     "--format microspheres --micros-per-ml 200000,200000,200000 -o s.scf")
                .status,
            0);
  const Outcome run = InFolder(f.path, "flow s.scf --samples s.sheet.tsv -o F.tsv --summary O.tsv");
  ASSERT_EQ(run.status, 0) << run.err;

  std::map<std::string, std::vector<std::string>> truth;  // kind animal sample colour -> row
  for (const auto& row : Cells(Read((f.path / "s.flows.tsv").string())))
    if (row.size() >= 8 && row[0][0] != '#') truth[row[1] + " " + row[2] + " " + row[5]] = row;
  int within = 0, pieces = 0;
  for (const auto& row : Cells(Read((f.path / "F.tsv").string()))) {
    if (row[0] == "animal") continue;
    const auto& t = truth.at(row[0] + " " + row[1] + " " + row[4]);
    EXPECT_NEAR(std::stod(row[7]), std::stod(t[8]), 0.5) << "spheres of " << row[1];
    const double off = std::fabs(std::stod(row[5]) / std::stod(t[6]) - 1) * 100;
    within += off <= std::stod(row[8]);
    ++pieces;
  }
  int lo = 0, hi = 0;
  spread::BinomialRange(pieces, 0.95, lo, hi);
  EXPECT_EQ(pieces, 8 * 12 * 3);
  EXPECT_GE(within, lo);
  EXPECT_LE(within, hi);
  // Cardiac output: the injectate holds 2000 spheres and the references about 6000, an error of
  // about 5 %; every animal's lies within four times that.
  for (const auto& row : Cells(Read((f.path / "O.tsv").string()))) {
    if (row[0] == "animal") continue;
    const double co = std::stod(truth.at(row[0] + "  " + row[2])[6]);
    EXPECT_NEAR(std::stod(row[12]) / co, 1.0, 0.2) << row[0] << " " << row[2];
  }
}

}  // namespace
}  // namespace kolvane
