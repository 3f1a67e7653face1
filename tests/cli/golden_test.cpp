// Golden datasets: every folder under tests/data/fixed/ and tests/data/scan/ that holds an `args`
// file is one case. `args` is one line of kolvane-batch words (the subcommand first; a word that
// names a file of the case folder stands for that file); the results go to a temporary file and
// must equal `expected.scf` byte for byte. Optional: `expected.status` (the exit status, default
// 0) and `expected.err` (lines that must each appear in standard error).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "batch_runner.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> CaseFolders() {
  std::vector<std::string> cases;
  for (const char* area : {"fixed", "scan"}) {
    const fs::path root = fs::path(KOLVANE_TEST_DATA) / area;
    for (const auto& entry : fs::directory_iterator(root))
      if (fs::exists(entry.path() / "args"))
        cases.push_back(fs::relative(entry.path(), KOLVANE_TEST_DATA).string());
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, ResultsEqualExpectedFile) {
  const fs::path folder = fs::path(KOLVANE_TEST_DATA) / GetParam();
  TempDir tmp;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != "args" && name.rfind("expected.", 0) != 0) tmp.Copy(entry.path().string());
  }
  std::istringstream line(ReadWholeFile((folder / "args").string()));
  std::vector<std::string> args;
  for (std::string word; line >> word;)
    args.push_back(fs::exists(tmp.path() / word) ? tmp.File(word) : word);
  const std::string results = tmp.File("results.scf");
  args.insert(args.end(), {"-o", results});

  const BatchRun run = RunBatch(args);
  const fs::path status_file = folder / "expected.status";
  const int status = fs::exists(status_file) ? std::stoi(ReadWholeFile(status_file.string())) : 0;
  EXPECT_EQ(run.status, status) << run.err;
  if (fs::exists(folder / "expected.err")) {
    std::istringstream want(ReadWholeFile((folder / "expected.err").string()));
    for (std::string text; std::getline(want, text);)
      EXPECT_NE(run.err.find(text), std::string::npos) << "missing: " << text << "\n" << run.err;
  }
  // A run that did not complete never writes the results file: the lines it wrote (when it
  // wrote a record line) are in the incomplete file beside it.
  const std::string kept = status == 0 ? results : tmp.File("results.incomplete.scf");
  EXPECT_TRUE(status == 0 || !fs::exists(results));
  if (fs::exists(folder / "expected.scf")) {
    EXPECT_EQ(ReadWholeFile((folder / "expected.scf").string()), ReadWholeFile(kept));
  } else if (status != 0) {
    EXPECT_FALSE(fs::exists(kept)) << "no record line written: no file";
  }
}

INSTANTIATE_TEST_SUITE_P(Datasets, Golden, testing::ValuesIn(CaseFolders()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Golden);

}  // namespace
}  // namespace kolvane
