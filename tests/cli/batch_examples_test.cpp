// Every dataset under examples/ goes through kolvane-batch with its companion files (blanks,
// controls, a matrix file beside it with the same name), and every kolvane-batch command line
// the examples' READMEs show runs as written, so that neither can rot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(KOLVANE_SOURCE_DIR) / "examples";

TEST(Examples, EachDatasetRunsToACompleteResultsFile) {
  int found[2] = {0, 0};
  for (const char* kind : {"fixed", "scan"}) {
    const bool fixed = kind[0] == 'f';
    for (const auto& entry : fs::directory_iterator(kExamples / kind)) {
      const fs::path data = entry.path();
      if (data.extension() != (fixed ? ".fix" : ".syn")) continue;
      SCOPED_TRACE(data.string());
      ++found[fixed];
      TempDir dir;
      std::vector<std::string> args{kind, data.string(), "-o", dir.File("results.scf")};
      for (const auto& [option, extension] :
           fixed ? std::vector<std::pair<const char*, const char*>>{{"--blanks", ".blk"},
                                                                    {"--controls", ".ctl"},
                                                                    {"--matrix", ".spl"}}
                 : std::vector<std::pair<const char*, const char*>>{{"--blanks", ".slk"}}) {
        fs::path companion = data;
        if (fs::exists(companion.replace_extension(extension)))
          args.insert(args.end(), {option, companion.string()});
      }
      const std::string before = ReadWholeFile(data.string());
      const BatchRun run = RunBatch(args);
      EXPECT_EQ(run.status, 0) << run.err;
      const std::string results = ReadWholeFile(dir.File("results.scf"));
      EXPECT_EQ(results.rfind("This file has been spillover", 0), 0u) << results.substr(0, 200);
      EXPECT_NE(results.find("\r\nS"), std::string::npos) << "no sample line";
      EXPECT_EQ(ReadWholeFile(data.string()), before);
    }
  }
  EXPECT_GT(found[1], 0) << "no fixed-wavelength example under examples/fixed";
  EXPECT_GT(found[0], 0) << "no synchronous-scan example under examples/scan";
}

TEST(Examples, TheReadmesCommandLinesRunAsWritten) {
  int shown = 0;
  for (const char* folder : {"fixed", "scan"}) {
    // The kolvane-batch lines of the README; a trailing backslash continues a line.
    std::ifstream in(kExamples / folder / "README.md");
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
      // The results go to a temporary folder; the data files are named as a user in the
      // example's folder names them.
      TempDir dir;
      for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "-o") args[i + 1] = dir.File("results.scf");
      ++shown;
      const fs::path before = fs::current_path();
      fs::current_path(kExamples / folder);
      const BatchRun run = RunBatch(args);
      fs::current_path(before);
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_NE(ReadWholeFile(dir.File("results.scf")).find("\r\nS"), std::string::npos);
    }
  }
  EXPECT_GT(shown, 0) << "the examples' READMEs show no kolvane-batch command";
}

}  // namespace
}  // namespace kolvane
