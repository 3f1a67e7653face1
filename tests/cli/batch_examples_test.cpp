// Every kolvane-batch command line the examples' READMEs show runs as written, in the example's
// folder; where the README says the results equal the dataset's truth file, they do.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"
#include "truth_lines.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

TEST(Examples, TheReadmesCommandLinesRunAsWrittenAndGiveTheTruth) {
  int shown = 0, against_truth = 0;
  for (const char* kind : {"fixed", "scan"}) {
    const fs::path folder = fs::path(KOLVANE_SOURCE_DIR) / "examples" / kind;
    // The kolvane-batch lines of the README; a trailing backslash continues a line.
    std::ifstream in(folder / "README.md");
    std::string line, command;
    while (std::getline(in, line)) {
      const auto start = line.find_first_not_of(' ');
      if (command.empty() &&
          (start == std::string::npos || line.compare(start, 14, "kolvane-batch ") != 0))
        continue;
      command += line;
      if (command.back() == '\\') {
        command.pop_back();
        continue;
      }
      SCOPED_TRACE(command);
      std::istringstream words(command);
      command.clear();
      std::vector<std::string> args;
      for (std::string w; words >> w;) args.push_back(w);
      args.erase(args.begin());
      TempDir dir;  // the results go here instead of where the README puts them
      // The installed examples' folder may not be writable: every command writes elsewhere.
      const auto o = std::find(args.begin(), args.end(), "-o");
      EXPECT_TRUE(o != args.end() && o + 1 != args.end() && (o + 1)->rfind("/tmp/", 0) == 0);
      for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "-o") args[i + 1] = dir.File("results.scf");
      ++shown;
      const fs::path before = fs::current_path();
      fs::current_path(folder);
      const BatchRun run = RunBatch(args);
      fs::current_path(before);
      EXPECT_EQ(run.status, 0) << run.err;
      const fs::path truth = (folder / args[1]).replace_extension(".truth.tsv");
      if (!fs::exists(truth)) continue;
      ++against_truth;
      truth::Compare(ReadWholeFile(dir.File("results.scf")), ReadWholeFile(truth.string()), {});
    }
  }
  EXPECT_GT(against_truth, 0) << "no README command has a truth file to compare with";
  EXPECT_GT(shown, against_truth);
}

}  // namespace
}  // namespace kolvane
