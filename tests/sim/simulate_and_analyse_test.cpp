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
#include "support/portable.h"
#include "support/table.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs a program of the build folder; its exit status, and its stderr in `err`.
int Exec(const std::string& program, const std::string& words, const fs::path& folder,
         std::string& err) {
  const std::string err_file = (folder / "stderr.txt").string();
  const int status = std::system(
      (BuiltProgram(program) + " " + words + " >" + kNullDevice + " 2>" + err_file).c_str());
  err = Read(err_file);
  // The C library ends the lines of a console program's stderr with CR LF on Windows.
  if (kOnWindows) err.erase(std::remove(err.begin(), err.end(), '\r'), err.end());
  return ExitStatus(status);
}

struct Folder {  // a fresh folder of its own, removed afterwards
  fs::path path = fs::temp_directory_path() / ("kolvane-sim-" + std::to_string(ProcessId()));
  Folder() { fs::remove_all(path), fs::create_directories(path); }
  ~Folder() { fs::remove_all(path); }
};

// The rows of tests/data/cli/simulate.tsv of one kind.
std::vector<TableRow> Rows(const std::string& kind) {
  return ReadTable("cli/simulate.tsv", kind);
}

class SimulateAndAnalyse : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SimulateAndAnalyse, ResultsGiveBackTheTruth) {
  const std::string &simulate = GetParam()[2], &words = GetParam()[3];
  Folder dir;
  const std::string base = (dir.path / "d").string();
  std::string err, analyse = words;
  for (auto at = analyse.find('@'); at != std::string::npos; at = analyse.find('@'))
    analyse.replace(at, 1, base);
  truth::Expect expect{std::stod(GetParam()[1]), {}, words[0] == 's' ? 2.0 : 1.0};  // solvent
  const auto list = analyse.find("--micros-per-ml ");
  std::istringstream micros(list == std::string::npos ? "" : analyse.substr(list + 16));
  for (std::string v; std::getline(micros, v, ',');) expect.micros.push_back(std::stod(v));
  ASSERT_EQ(Exec("kolvane-simulate", simulate + " -o " + base, dir.path, err), 0) << err;
  ASSERT_EQ(Exec("kolvane-batch", analyse + " -o " + base + ".scf", dir.path, err), 0) << err;
  truth::Compare(Read(base + ".scf"), Read(base + ".truth.tsv"), expect);
}

INSTANTIATE_TEST_SUITE_P(Datasets, SimulateAndAnalyse, testing::ValuesIn(Rows("analyse")),
                         [](const auto& info) { return info.param[0]; });

TEST(Simulate, SameSeedSameFiles) {
  Folder dir;  // the companions name the data file: the same name in two folders
  std::string err, a = (dir.path / "a").string(), b = (dir.path / "b").string();
  for (const std::string& folder : {a, b}) {
    fs::create_directory(folder);
    Exec("kolvane-simulate", "fixed --colors 4 --samples 20 --noise 1 --seed 9 -o " + folder + "/d",
         dir.path, err);
  }
  for (const char* ext : {".fix", ".blk", ".ctl", ".spl", ".truth.tsv"})
    EXPECT_EQ(Read(a + "/d" + ext), Read(b + "/d" + ext)) << ext;
}

TEST(Simulate, RefusalsGiveTheirStatusAndMessageAndWriteNothing) {
  Folder dir;
  std::string err;
  for (auto row : Rows("refuse")) {
    for (std::string* text : {&row[0], &row[2]})
      for (auto at = text->find('@'); at != std::string::npos; at = text->find('@'))
        text->replace(at, 1, dir.path.string());
    EXPECT_EQ(Exec("kolvane-simulate", row[0], dir.path, err), std::stoi(row[1])) << row[0];
    EXPECT_NE(err.find(row[2]), std::string::npos) << row[0] << ": " << err;
  }
  EXPECT_GT(Rows("refuse").size(), 15u);
  for (const auto& entry : fs::directory_iterator(dir.path))
    EXPECT_EQ(entry.path().filename(), "stderr.txt");
}

}  // namespace
}  // namespace kolvane
