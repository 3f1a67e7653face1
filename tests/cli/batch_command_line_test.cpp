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
#include "support/portable.h"
#include "support/table.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(KOLVANE_TEST_DATA) + "/cli/";

TEST(BatchCommandLine, StatusMessagesAndResults) {
  const std::string kHint = "Run with --help for more information.\n";
  const std::string kEarlier = "an earlier result\r\n";
  int rows = 0;
  for (TableRow row : ReadTable("cli/command_lines.tsv")) {
    ASSERT_EQ(row.size(), 4u) << row[0];
    const std::string status = row[0], line = row[1];
    std::string err = row[2], results = row[3];
    SCOPED_TRACE("kolvane-batch " + line);
    // Windows has no /dev/ and reserves the name NUL for a device.
    if (kOnWindows &&
        (line.find("/dev/") != std::string::npos || line.find("nul.fix") != std::string::npos))
      continue;
    ++rows;
    if (const auto at = results.find("VERSION"); at != std::string::npos)
      results.replace(at, 7, KOLVANE_VERSION_STRING);
    TempDir dir;
    const std::string out = dir.File("out.scf");
    WriteWholeFile(out, kEarlier);
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> data;  // copy, original
    std::istringstream words(line);
    for (std::string w; words >> w;) {
      if (w[0] == '@') {  // a copy under the file's own name
        const std::string copy = dir.File(fs::path(w.substr(1)).filename().string());
        if (!fs::exists(copy))
          data.emplace_back(dir.Copy(kData + w.substr(1)), kData + w.substr(1));
        for (std::string* text : {&err, &results})
          for (auto at = text->find(w); at != std::string::npos; at = text->find(w))
            text->replace(at, w.size(), copy);
        w = copy;
      }
      args.push_back(w == "OUT" ? out : w == "DIR" ? dir.path().string() : w);
    }
    const BatchRun run = RunBatch(args);
    EXPECT_EQ(run.status, std::stoi(status)) << run.err;
    // A piece after "!" must not be there.
    const bool absent = !err.empty() && err[0] == '!';
    EXPECT_EQ(run.err.find(err.substr(absent ? 1 : 0)) == std::string::npos, absent) << run.err;
    if (status == "2") {
      EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), kHint.size())), kHint);
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(ReadWholeFile(out), kEarlier);
    } else {
      EXPECT_EQ(run.err.find("--help"), std::string::npos) << run.err;
    }
    for (const auto& [copy, original] : data) {
      EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(original));
      EXPECT_TRUE(status != "2" || !fs::exists(copy + ".scf"));
    }
    // A complete run leaves a record, a refused one neither record nor temporary file.
    const bool to_out = line.find("OUT") != std::string::npos;
    EXPECT_TRUE(status != "0" || !to_out || fs::exists(out + ".json"));
    const bool record_is_input = std::any_of(
        data.begin(), data.end(), [&](const auto& d) { return d.first == out + ".json"; });
    EXPECT_TRUE(results != kEarlier || record_is_input || !fs::exists(out + ".json"));
    EXPECT_TRUE(results != kEarlier || !fs::exists(dir.File("out.incomplete.scf")));
    for (const auto& e : fs::directory_iterator(dir.path()))
      EXPECT_EQ(e.path().string().find(".kolvane-"), std::string::npos) << e.path();
    const std::string written = to_out         ? ReadWholeFile(out)
                                : data.empty() ? run.out
                                               : ReadWholeFile(data[0].first + ".scf");
    EXPECT_NE(written.find(results), std::string::npos) << written;
  }
  EXPECT_GT(rows, 40);
}

}  // namespace
}  // namespace kolvane
