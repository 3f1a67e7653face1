// The kolvane-simulate command line: exit statuses and messages as the scripts see them.
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

TEST_F(SimulateCommand, WritesTheFilesOfEachKind) {
  std::string errors;
  EXPECT_EQ(Run("fixed --colors 3 --samples 4 --tissue -o " + Base("f"), errors), 0) << errors;
  for (const char* ext : {".fix", ".blk", ".ctl", ".spl", ".truth.tsv"}) {
    EXPECT_TRUE(std::filesystem::exists(Base("f") + ext)) << ext;
  }
  EXPECT_EQ(Run("scan --pures 2 --points 120 --records 3 --blanks -o " + Base("s"), errors), 0)
      << errors;
  for (const char* ext : {".syn", ".slk", ".truth.tsv"}) {
    EXPECT_TRUE(std::filesystem::exists(Base("s") + ext)) << ext;
  }
  EXPECT_EQ(errors, "");
}

TEST_F(SimulateCommand, RefusesSizesBeyondTheLimitsWithStatus2AndWritesNothing) {
  const std::string out = " -o " + Base("x");
  struct Case {
    std::string arguments;
    const char* message;
  };
  const Case cases[] = {
      {"fixed --samples 32768" + out, "kolvane-simulate: --samples must be 0 to 32767"},
      {"fixed --colors 31" + out, "kolvane-simulate: --colors must be 1 to 30"},
      {"scan --records 32768" + out, "kolvane-simulate: --records must be 0 to 32767"},
      {"scan --points 1001" + out, "kolvane-simulate: --points must be 1 to 1000"},
      {"fixed --colors many" + out, "--colors"},
      {"fixed", "--output is required"},
  };
  for (const Case& c : cases) {
    std::string errors;
    EXPECT_EQ(Run(c.arguments, errors), 2) << c.arguments;
    EXPECT_NE(errors.find(c.message), std::string::npos) << c.arguments << ": " << errors;
  }
  EXPECT_FALSE(std::filesystem::exists(Base("x") + ".fix"));
  EXPECT_FALSE(std::filesystem::exists(Base("x") + ".syn"));
}

TEST_F(SimulateCommand, AFolderThatCannotBeWrittenGivesStatus1) {
  std::string errors;
  std::string base = Base("missing") + "/x";
  EXPECT_EQ(Run("fixed --samples 2 -o " + base, errors), 1);
  EXPECT_EQ(errors, "kolvane-simulate: Can't create file: " + base + ".fix\n");
}

}  // namespace
}  // namespace kolvane::sim::test
