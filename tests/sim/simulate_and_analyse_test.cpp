// kolvane-simulate writes a dataset with its ground truth; kolvane-batch analyses it with the
// choices the truth file describes (blanks and controls read, background subtraction and
// control correction on, the tissue column used), and the results' record lines must give the
// truth back. And the simulator's refusals of a command line it cannot serve.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/truth_lines.h"

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
      (std::string(KOLVANE_BINARY_DIR) + "/" + program + " " + words + " >/dev/null 2>" + err_file)
          .c_str());
  err = Read(err_file);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Folder {  // a fresh folder of its own, removed afterwards
  fs::path path = fs::temp_directory_path() / ("kolvane-sim-" + std::to_string(getpid()));
  Folder() { fs::remove_all(path), fs::create_directories(path); }
  ~Folder() { fs::remove_all(path); }
};

struct Case {
  const char* name;
  std::string simulate;  // kolvane-simulate words; -o is added
  std::string analyse;   // kolvane-batch words; @ stands for the dataset's path without extension
  double tolerance;      // see below
};

// Tolerances. Noiseless data (0): the simulator redraws any record whose true value lies near a
// rounding half, so the results equal the truth to the last decimal. With noise s on every
// reading a result is a combination of a few readings (less the median of three blanks, times
// the control ratio) through the inverse of a matrix with a unit diagonal and small
// off-diagonal entries, so it strays by a few s; 12 s (fixed) and 15 s (scan, where the fit
// also sees the noise of the pure spectra) leave no room for a false alarm yet catch an error
// in background, control ratio or matrix, which moves results by tens. Microspheres/ml: the
// expected value is worked from truth values rounded to 0.0005 on some hundreds, which moves it
// by under 0.002 per 1000 microspheres/ml; the fixed path writes 3 decimals (0.005 allowed), the
// scan path whole numbers (0.52 allowed).
// clang-format off
const Case kCases[] = {
    {"FixedTissueThirteenColours", "fixed --colors 13 --tissue --samples 80 --drift 0.1 --seed 11",
     "fixed @.fix --blanks @.blk --controls @.ctl --control-correction on --tissue use", 0},
    {"FixedThirtyColours", "fixed --colors 30 --samples 40 --seed 12",
     "fixed @.fix --blanks @.blk --controls @.ctl --control-correction on", 0},
    {"FixedMatrixFileAutoDelivery",
     "fixed --colors 6 --tissue --auto-delivery --no-pures --drift 0.3 --samples 45 --seed 13",
     "fixed @.fix --matrix @.spl --blanks @.blk --controls @.ctl --control-correction on --tissue use", 0},
    {"FixedOneColourNoDrift", "fixed --colors 1 --samples 25 --drift 0 --seed 14",
     "fixed @.fix --blanks @.blk --controls @.ctl --control-correction on", 0},
    {"FixedNoise", "fixed --colors 6 --samples 50 --noise 0.5 --seed 15",
     "fixed @.fix --blanks @.blk --controls @.ctl --control-correction on", 6.0},
    {"FixedMicrospheres", "fixed --colors 5 --samples 30 --seed 16",
     "fixed @.fix --blanks @.blk --controls @.ctl --control-correction on --format microspheres "
     "--micros-per-ml 500,1500,2500,800,1200", 0.005},
    {"ScanBlanksThirteenPures", "scan --pures 13 --points 350 --records 30 --blanks --seed 3",
     "scan @.syn --blanks @.slk", 0},
    {"ScanNoBlanksAbove350", "scan --pures 3 --points 100 --records 10 --lower 360 --interval 1.5",
     "scan @.syn", 0},
    {"ScanFrom300HalfSteps",
     "scan --pures 4 --points 500 --records 15 --lower 300 --interval 0.5 --blanks --seed 5",
     "scan @.syn --blanks @.slk", 0},
    {"ScanThirtyPures", "scan --pures 30 --points 700 --records 12 --blanks --seed 6",
     "scan @.syn --blanks @.slk", 0},
    {"ScanNoise", "scan --pures 5 --points 250 --records 30 --blanks --noise 1 --seed 7",
     "scan @.syn --blanks @.slk", 15.0},
    {"ScanMicrospheres", "scan --pures 4 --points 250 --records 20 --blanks --seed 8",
     "scan @.syn --blanks @.slk --format microspheres --micros-per-ml 500,2000,1000,750", 0.52},
};
// clang-format on

class SimulateAndAnalyse : public testing::TestWithParam<Case> {};

TEST_P(SimulateAndAnalyse, ResultsGiveBackTheTruth) {
  const Case& c = GetParam();
  Folder dir;
  const std::string base = (dir.path / "d").string();
  std::string err, analyse = c.analyse;
  for (auto at = analyse.find('@'); at != std::string::npos; at = analyse.find('@'))
    analyse.replace(at, 1, base);
  truth::Expect expect{c.tolerance, {}, c.analyse[0] == 's' ? 2.0 : 1.0};  // the scan's solvent
  const auto list = analyse.find("--micros-per-ml ");
  std::istringstream micros(list == std::string::npos ? "" : analyse.substr(list + 16));
  for (std::string v; std::getline(micros, v, ',');) expect.micros.push_back(std::stod(v));
  ASSERT_EQ(Exec("kolvane-simulate", c.simulate + " -o " + base, dir.path, err), 0) << err;
  ASSERT_EQ(Exec("kolvane-batch", analyse + " -o " + base + ".scf", dir.path, err), 0) << err;
  truth::Compare(Read(base + ".scf"), Read(base + ".truth.tsv"), expect);
}

INSTANTIATE_TEST_SUITE_P(Datasets, SimulateAndAnalyse, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

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
  const std::string out = " -o " + (dir.path / "x").string();
  const std::string missing = (dir.path / "missing" / "x").string();
  // clang-format off
  const std::pair<std::string, std::string> usage[] = {
      {"fixed --colors 0", "--colors must be 1 to 30"},
      {"fixed --colors 31", "--colors must be 1 to 30"},
      {"fixed --samples 32768", "--samples must be 0 to 32767"},
      {"fixed --samples -1", "--samples must be 0 to 32767"},
      {"fixed --noise -0.1", "--noise must be 0 or more"},
      {"fixed --drift 0.6", "--drift must be between 0 and 0.5"},
      {"fixed --drift -0.1", "--drift must be between 0 and 0.5"},
      {"fixed --colors 1 --tissue", "--tissue needs at least 2 colours"},
      {"scan --pures 0", "--pures must be 1 to 30"},
      {"scan --pures 31 --points 1000", "--pures must be 1 to 30"},
      {"scan --points 0", "--points must be 1 to 1000"},
      {"scan --points 1001", "--points must be 1 to 1000"},
      {"scan --records 32768 --pures 1 --points 100", "--records must be 0 to 32767"},
      {"scan --records 32754 --blanks", "The data file would hold 32768 records"},
      {"scan --records 32755", "The data file would hold 32768 records"},
      {"scan --interval 0", "--interval must be above 0"},
      {"scan --lower -5", "--lower must be"},
      {"scan --points 300",
       "The scan from 350 to 649 nm does not hold the band of Dark Red (640 nm"},
      {"scan --pures 1 --points 10 --lower 355 --interval 10",
       "With --interval 10 the peak of Blue falls on 385 nm, more than 3 nm from 380 nm"},
  };
  // clang-format on
  std::string err;
  for (const auto& [words, message] : usage) {
    EXPECT_EQ(Exec("kolvane-simulate", words + out, dir.path, err), 2) << words;
    EXPECT_NE(err.find("kolvane-simulate: " + message), std::string::npos) << words << ": " << err;
  }
  for (const auto& [words, message] :
       {std::pair{"fixed", "--output is required"}, {"fixed --colors many -o x", "--colors"}}) {
    EXPECT_EQ(Exec("kolvane-simulate", words, dir.path, err), 2) << words;
    EXPECT_NE(err.find(message), std::string::npos) << err;
  }
  EXPECT_EQ(Exec("kolvane-simulate", "fixed --samples 2 -o " + missing, dir.path, err), 1);
  EXPECT_EQ(err, "kolvane-simulate: Can't create file: " + missing + ".fix\n");
  for (const auto& entry : fs::directory_iterator(dir.path))
    EXPECT_EQ(entry.path().filename(), "stderr.txt");
}

}  // namespace
}  // namespace kolvane
