// The command line of kolvane-batch: what is a usage error (status 2, a message and the hint
// to --help, nothing written), and what --help and --version print.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/version.h"
#include "batch_runner.h"

namespace kolvane {
namespace {

TEST(UsageErrors, ExitTwoWithHintAndWriteNothing) {
  const std::string kHint = "Run with --help for more information.\n";
  const std::string k31 =
      "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,"
      "26,27,28,29,30,31";
  struct Case {
    std::vector<std::string> args;  // "DATA" stands for an existing data file
    const char* message;            // a part of the message, or nullptr when CLI11 words it
  };
  const Case cases[] = {
      {{}, nullptr},
      {{"analyse", "DATA"}, nullptr},
      {{"fixed"}, nullptr},
      {{"fixed", "/nonexistent/run1.fix"}, "/nonexistent/run1.fix"},
      {{"scan", "/nonexistent/run1.syn"}, "/nonexistent/run1.syn"},
      {{"fixed", "DATA", "DATA"}, nullptr},
      {{"fixed", "DATA", "--solvent", "2"}, nullptr},
      {{"fixed", "DATA", "--blanks", "/nonexistent/b.blk"}, "/nonexistent/b.blk"},
      {{"fixed", "DATA", "--controls", "/nonexistent/c.ctl"}, "/nonexistent/c.ctl"},
      {{"fixed", "DATA", "--matrix", "/nonexistent/m.spl"}, "/nonexistent/m.spl"},
      {{"scan", "DATA", "--blanks", "/nonexistent/b.slk"}, "/nonexistent/b.slk"},
      {{"fixed", "DATA", "--format", "percent"}, nullptr},
      {{"fixed", "DATA", "--colors", "1,0"}, "\"0\""},
      {{"fixed", "DATA", "--colors", "31"}, "\"31\""},
      {{"fixed", "DATA", "--colors", "1,Blue"}, "\"Blue\""},
      {{"fixed", "DATA", "--colors", "1.5"}, "\"1.5\""},
      {{"fixed", "DATA", "--colors", "1,,2"}, "\"\""},
      {{"fixed", "DATA", "--colors", "-2"}, "\"-2\""},
      {{"fixed", "DATA", "--micros-per-ml", "1000,many"}, "\"many\""},
      {{"scan", "DATA", "--micros-per-ml", "1000;2"}, "\"1000;2\""},
      {{"fixed", "DATA", "--micros-per-ml", "-5"}, "\"-5\""},
      {{"scan", "DATA", "--micros-per-ml", "1e39"}, "\"1e39\""},
      {{"fixed", "DATA", "--micros-per-ml", "1000,"}, "\"\""},
      {{"fixed", "DATA", "--micros-per-ml", k31}, "more than 30"},
      {{"fixed", "DATA", "--background", "maybe"}, nullptr},
      {{"fixed", "DATA", "--background", "on"}, "--background on needs a blanks file"},
      {{"scan", "DATA", "--background", "on"}, "--background on needs a blanks file"},
      {{"fixed", "DATA", "--control-correction", "on"},
       "--control-correction on needs a controls file"},
      {{"fixed", "DATA", "--tissue", "all"}, nullptr},
      {{"scan", "DATA", "--controls", "DATA"}, nullptr},
      {{"scan", "DATA", "--colors", "1"}, nullptr},
      {{"scan", "DATA", "--tissue", "use"}, nullptr},
      {{"scan", "DATA", "--matrix", "DATA"}, nullptr}};
  TempDir dir;
  const std::string data = dir.File("run1.fix");
  WriteWholeFile(data, "Color\tBlue\r\n");
  for (const Case& c : cases) {
    std::vector<std::string> args;
    std::string line;
    for (const auto& a : c.args) {
      args.push_back(a == "DATA" ? data : a);
      line += " " + a;
    }
    SCOPED_TRACE("kolvane-batch" + line);
    const BatchRun run = RunBatch(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.size() >= kHint.size() &&
                run.err.compare(run.err.size() - kHint.size(), kHint.size(), kHint) == 0)
        << run.err;
    EXPECT_TRUE(!c.message || run.err.find(c.message) != std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_FALSE(std::filesystem::exists(data + ".scf"));
    EXPECT_EQ(ReadWholeFile(data), "Color\tBlue\r\n");
  }
}

TEST(BatchHelp, ListsTheOptionsAndTheVersion) {
  const BatchRun run = RunBatch({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.err.empty()) << run.err;
  for (const char* word :
       {"fixed", "scan", "DATA.fix", "DATA.syn", "--blanks", "--controls", "--matrix", "-o",
        "--output", "--format", "intensity|microspheres", "--micros-per-ml", "--colors",
        "--background", "--control-correction", "--tissue", "exclude|use|stored", "--version"})
    EXPECT_NE(run.out.find(word), std::string::npos) << "--help does not mention " << word;

  const BatchRun fixed = RunBatch({"fixed", "--help"});
  const BatchRun scan = RunBatch({"scan", "--help"});
  EXPECT_EQ(fixed.status, 0);
  EXPECT_EQ(scan.status, 0);
  EXPECT_NE(fixed.out.find("--format"), std::string::npos);
  EXPECT_NE(scan.out.find("--micros-per-ml"), std::string::npos);
  for (const char* word : {"--controls", "--matrix", "--colors", "--tissue"}) {
    EXPECT_NE(fixed.out.find(word), std::string::npos) << word;
    EXPECT_EQ(scan.out.find(word), std::string::npos) << "scan --help offers " << word;
  }

  const BatchRun version = RunBatch({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("kolvane-batch ") + KOLVANE_VERSION_STRING + "\n");
}

}  // namespace
}  // namespace kolvane
