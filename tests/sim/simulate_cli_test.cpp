// The kolvane-simulate command line: the files of each kind, reproducible from the seed, and
// exit statuses and messages as the scripts see them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "sim_files.h"

namespace kolvane::sim::test {
namespace {

const std::string kSimulate = std::string(KOLVANE_BINARY_DIR) + "/kolvane-simulate";

class SimulateCommand : public SimFolder {
 protected:
  void SetUp() override {
    SimFolder::SetUp();
    if (!std::filesystem::exists(kSimulate)) GTEST_SKIP() << kSimulate << " is not built";
  }
  // Runs the simulator with `arguments`; returns its exit status, stderr in `errors`.
  int Run(const std::string& arguments, std::string& errors) {
    std::string err = (dir_ / "stderr.txt").string();
    int status = std::system((kSimulate + " " + arguments + " >/dev/null 2>" + err).c_str());
    errors = ReadAll(err);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(SimulateCommand, SameSeedWritesTheSameFilesAndAnotherSeedOthers) {
  struct Case {
    std::string arguments;
    std::vector<std::string> extensions;
  } cases[] = {
      {"fixed --colors 6 --samples 30 --noise 1.5 --tissue",
       {".fix", ".blk", ".ctl", ".spl", ".truth.tsv"}},
      {"scan --pures 4 --points 200 --records 6 --blanks --tissue --noise 2",
       {".syn", ".slk", ".truth.tsv"}},
  };
  // The companions name the data file, so every run writes the same name in a folder of its own.
  for (const char* folder : {"a", "b", "c"}) std::filesystem::create_directory(Base(folder));
  for (const Case& c : cases) {
    std::string errors;
    for (const auto& [seed, folder] : {std::pair{"7", "a"}, {"7", "b"}, {"8", "c"}}) {
      EXPECT_EQ(Run(c.arguments + " --seed " + seed + " -o " + Base(folder) + "/d", errors), 0)
          << c.arguments << ": " << errors;
    }
    for (const std::string& e : c.extensions) {
      EXPECT_FALSE(ReadAll(Base("a/d") + e).empty()) << e;
      EXPECT_EQ(ReadAll(Base("a/d") + e), ReadAll(Base("b/d") + e)) << e;
    }
    EXPECT_NE(ReadAll(Base("a/d") + c.extensions[0]), ReadAll(Base("c/d") + c.extensions[0]));
  }
}

TEST_F(SimulateCommand, RefusalsGiveTheirStatusAndWriteNothing) {
  const std::string out = " -o " + Base("x");
  const std::string missing = Base("missing") + "/x";
  struct Case {
    std::string arguments;
    int status;
    std::string message;
  } cases[] = {
      {"fixed --samples 32768" + out, 2, "kolvane-simulate: --samples must be 0 to 32767"},
      {"fixed --colors 31" + out, 2, "kolvane-simulate: --colors must be 1 to 30"},
      {"scan --records 32768" + out, 2, "kolvane-simulate: --records must be 0 to 32767"},
      {"scan --points 1001" + out, 2, "kolvane-simulate: --points must be 1 to 1000"},
      {"fixed --colors many" + out, 2, "--colors"},
      {"fixed", 2, "--output is required"},
      {"fixed --samples 2 -o " + missing, 1,
       "kolvane-simulate: Can't create file: " + missing + ".fix\n"},
  };
  for (const Case& c : cases) {
    std::string errors;
    EXPECT_EQ(Run(c.arguments, errors), c.status) << c.arguments;
    EXPECT_NE(errors.find(c.message), std::string::npos) << c.arguments << ": " << errors;
  }
  EXPECT_FALSE(std::filesystem::exists(Base("x") + ".fix"));
  EXPECT_FALSE(std::filesystem::exists(Base("x") + ".syn"));
}

}  // namespace
}  // namespace kolvane::sim::test
