// kolvane-simulate writes a dataset with its ground truth; kolvane-batch analyses it with the
// choices the truth file describes (blanks and controls read, background subtraction and control
// correction on, the tissue column used), and the results' record lines give the truth back.
// And the simulator's refusals of a command line it cannot serve.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/truth_lines.h"
#include "sim/spread_support.h"
#include "support/portable.h"
#include "support/table.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

using spread::Folder;
using spread::Launch;
using spread::Outcome;
using spread::Read;

class SimulateAndAnalyse : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SimulateAndAnalyse, ResultsGiveBackTheTruth) {
  const std::string &simulate = GetParam()[2], &words = GetParam()[3];
  const Folder dir("kolvane-sim-");
  const std::string base = (dir.path / "d").string();
  std::string analyse = words;
  for (auto at = analyse.find('@'); at != std::string::npos; at = analyse.find('@'))
    analyse.replace(at, 1, base);
  truth::Expect expect{std::stod(GetParam()[1]), {}, words[0] == 's' ? 2.0 : 1.0};  // solvent
  const auto list = analyse.find("--micros-per-ml ");
  std::istringstream micros(list == std::string::npos ? "" : analyse.substr(list + 16));
  for (std::string v; std::getline(micros, v, ',');) expect.micros.push_back(std::stod(v));
  Outcome run = Launch(dir.path, "simulate " + simulate + " -o " + base);
  ASSERT_EQ(run.status, 0) << run.err;
  run = Launch(dir.path, "batch " + analyse + " -o " + base + ".scf");
  ASSERT_EQ(run.status, 0) << run.err;
  truth::Compare(Read(base + ".scf"), Read(base + ".truth.tsv"), expect);
}

INSTANTIATE_TEST_SUITE_P(Datasets, SimulateAndAnalyse,
                         testing::ValuesIn(ReadTable("cli/simulate.tsv", "analyse")),
                         [](const auto& info) { return info.param[0]; });

TEST(Simulate, SameSeedSameFiles) {
  const Folder dir("kolvane-sim-");  // the companions name the data file: one name, two folders
  const std::string a = (dir.path / "a").string(), b = (dir.path / "b").string();
  for (const std::string& folder : {a, b}) {
    fs::create_directory(folder);
    Launch(dir.path,
           "simulate fixed --colors 4 --samples 20 --noise 1 --seed 9 -o " + folder + "/d");
  }
  for (const char* ext : {".fix", ".blk", ".ctl", ".spl", ".truth.tsv"})
    EXPECT_EQ(Read(a + "/d" + ext), Read(b + "/d" + ext)) << ext;
}

TEST(Simulate, RefusalsGiveTheirStatusAndMessageAndWriteNothing) {
  const Folder dir("kolvane-sim-");
  const std::vector<TableRow> rows = ReadTable("cli/simulate.tsv", "refuse");
  for (auto row : rows) {
    for (std::string* text : {&row[0], &row[2]})
      for (auto at = text->find('@'); at != std::string::npos; at = text->find('@'))
        text->replace(at, 1, dir.path.string());
    const Outcome run = Launch(dir.path, "simulate " + row[0]);
    EXPECT_EQ(run.status, std::stoi(row[1])) << row[0];
    EXPECT_NE(run.err.find(row[2]), std::string::npos) << row[0] << ": " << run.err;
  }
  EXPECT_GT(rows.size(), 15u);
  for (const auto& entry : fs::directory_iterator(dir.path))
    EXPECT_EQ(entry.path().filename(), "stderr.txt");
}

}  // namespace
}  // namespace kolvane
