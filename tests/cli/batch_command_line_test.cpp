// The command line of kolvane-batch, one table
// (tests/data/cli/command_lines.tsv): what each command line exits with, what
// it says on stderr and what the results file then holds. Status 2 is a wrong
// command line (the message, the hint to --help, no file touched), 1 a dataset
// that stopped the analysis, 0 a complete results file. No command line changes
// a data file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/version.h"
#include "batch_runner.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(KOLVANE_TEST_DATA) + "/cli/";

std::string Unescape(std::string text) {
  for (const auto& [escape, c] : {std::pair{"\\t", "\t"}, {"\\r", "\r"}, {"\\n", "\n"}})
    for (auto at = text.find(escape); at != std::string::npos; at = text.find(escape, at + 1))
      text.replace(at, 2, c);
  return text;
}

TEST(BatchCommandLine, StatusMessagesAndResults) {
  const std::string kHint = "Run with --help for more information.\n";
  std::istringstream table(ReadWholeFile(kData + "command_lines.tsv"));
  int rows = 0;
  for (std::string row; std::getline(table, row);) {
    if (row.empty() || row[0] == '#') continue;
    std::istringstream cells(row);
    std::string status, line, err, results;
    for (std::string* cell : {&status, &line, &err}) std::getline(cells, *cell, '\t');
    std::getline(cells, results);
    SCOPED_TRACE("kolvane-batch " + line);
    ++rows;
    err = Unescape(err);
    results = Unescape(results);
    if (const auto at = results.find("VERSION"); at != std::string::npos)
      results.replace(at, 7, KOLVANE_VERSION_STRING);
    TempDir dir;
    const std::string out = dir.File("out.scf");
    WriteWholeFile(out, "an earlier result\r\n");
    std::vector<std::string> args, data;
    std::istringstream words(line);
    for (std::string w; words >> w;) {
      if (w[0] == '@') {
        const std::string copy = dir.File(w.substr(1));
        if (!fs::exists(copy)) dir.Copy(kData + w.substr(1));
        data.push_back(copy);
        for (std::string* text : {&err, &results})
          for (auto at = text->find(w); at != std::string::npos; at = text->find(w))
            text->replace(at, w.size(), copy);
        w = copy;
      }
      args.push_back(w == "OUT" ? out : w);
    }
    const BatchRun run = RunBatch(args);
    EXPECT_EQ(run.status, std::stoi(status)) << run.err;
    EXPECT_NE(run.err.find(err), std::string::npos) << run.err;
    if (status == "2") {
      EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), kHint.size())), kHint);
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(ReadWholeFile(out), "an earlier result\r\n");
    } else {
      EXPECT_EQ(run.err.find("--help"), std::string::npos) << run.err;
    }
    for (const std::string& file : data) {
      EXPECT_EQ(ReadWholeFile(file), ReadWholeFile(kData + fs::path(file).filename().string()));
      EXPECT_TRUE(status != "2" || !fs::exists(file + ".scf"));
    }
    const bool to_out = line.find("OUT") != std::string::npos;
    const std::string written =
        data.empty() ? run.out : ReadWholeFile(to_out ? out : data[0] + ".scf");
    EXPECT_NE(written.find(results), std::string::npos) << written;
  }
  EXPECT_GT(rows, 40);
}

}  // namespace
}  // namespace kolvane
