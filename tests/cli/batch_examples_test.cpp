// Every dataset under examples/ goes through kolvane-batch with its companion files (the
// files beside it with the same name: blanks, controls, a matrix file), and every command line
// the examples' READMEs show runs as written, so that neither the examples, nor the options,
// nor what the READMEs tell a new user can rot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "batch_runner.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

struct Example {
  std::string subcommand;
  fs::path data;
};

std::vector<Example> Examples() {
  std::vector<Example> found;
  const fs::path root = fs::path(KOLVANE_SOURCE_DIR) / "examples";
  for (const auto& [folder, subcommand, extension] :
       {std::tuple{"fixed", "fixed", ".fix"}, std::tuple{"scan", "scan", ".syn"}}) {
    if (!fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::directory_iterator(root / folder))
      if (entry.path().extension() == extension) found.push_back({subcommand, entry.path()});
  }
  return found;
}

// The companion given to an option when it exists beside the data file.
void AddCompanion(std::vector<std::string>& args, const fs::path& data, const char* option,
                  const char* extension) {
  fs::path companion = data;
  companion.replace_extension(extension);
  if (fs::exists(companion)) {
    args.push_back(option);
    args.push_back(companion.string());
  }
}

TEST(Examples, EachDatasetRunsToACompleteResultsFile) {
  const std::vector<Example> examples = Examples();
  bool fixed = false, scan = false;
  for (const Example& e : examples) (e.subcommand == "fixed" ? fixed : scan) = true;
  EXPECT_TRUE(fixed) << "no fixed-wavelength example under examples/fixed";
  EXPECT_TRUE(scan) << "no synchronous-scan example under examples/scan";

  for (const Example& e : examples) {
    SCOPED_TRACE(e.data.string());
    TempDir dir;
    const std::string out = dir.File("results.scf");
    std::vector<std::string> args{e.subcommand, e.data.string(), "-o", out};
    if (e.subcommand == "fixed") {
      AddCompanion(args, e.data, "--blanks", ".blk");
      AddCompanion(args, e.data, "--controls", ".ctl");
      AddCompanion(args, e.data, "--matrix", ".spl");
    } else {
      AddCompanion(args, e.data, "--blanks", ".slk");
    }
    const std::string before = ReadWholeFile(e.data.string());

    const BatchRun run = RunBatch(args);

    EXPECT_EQ(run.status, 0) << run.err;
    const std::string results = ReadWholeFile(out);
    EXPECT_EQ(results.rfind("This file has been spillover", 0), 0u) << results.substr(0, 200);
    EXPECT_NE(results.find("\r\nS"), std::string::npos) << "no sample line";
    EXPECT_EQ(ReadWholeFile(e.data.string()), before);
  }
}

// The kolvane-batch command lines of a README (a trailing backslash continues a line), split
// into words without the program's name.
std::vector<std::vector<std::string>> ReadmeCommands(const fs::path& readme) {
  std::vector<std::vector<std::string>> commands;
  std::ifstream in(readme);
  std::string line, command;
  while (std::getline(in, line)) {
    const auto start = line.find_first_not_of(' ');
    if (command.empty() &&
        (start == std::string::npos || line.compare(start, 14, "kolvane-batch ") != 0))
      continue;
    command += line;
    if (!command.empty() && command.back() == '\\') {
      command.pop_back();
      continue;
    }
    std::istringstream words(command);
    std::vector<std::string> args;
    for (std::string w; words >> w;) args.push_back(w);
    commands.push_back({args.begin() + 1, args.end()});
    command.clear();
  }
  return commands;
}

TEST(Examples, TheReadmesCommandLinesRunAsWritten) {
  const fs::path root = fs::path(KOLVANE_SOURCE_DIR) / "examples";
  int shown = 0;
  for (const char* folder : {"fixed", "scan"}) {
    const fs::path readme = root / folder / "README.md";
    if (!fs::exists(readme)) continue;
    for (std::vector<std::string> args : ReadmeCommands(readme)) {
      ++shown;
      std::string line;
      for (const auto& a : args) line += " " + a;
      SCOPED_TRACE("kolvane-batch" + line);
      // The results go to a temporary folder wherever the README puts them; the data files
      // are named as a user in the example's folder names them.
      TempDir dir;
      for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "-o") args[i + 1] = dir.File("results.scf");
      const fs::path before = fs::current_path();
      fs::current_path(root / folder);
      const BatchRun run = RunBatch(args);
      fs::current_path(before);

      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_NE(ReadWholeFile(dir.File("results.scf")).find("\r\nS"), std::string::npos);
    }
  }
  RecordProperty("commands", shown);
  EXPECT_GT(shown, 0) << "the examples' READMEs show no kolvane-batch command";
}

}  // namespace
}  // namespace kolvane
