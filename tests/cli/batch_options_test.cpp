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

const char* const kHint = "Run with --help for more information.\n";

struct UsageCase {
  const char* name;
  std::vector<std::string> args;  // "DATA" stands for an existing data file
  const char* message;            // a part of the message, or nullptr when CLI11 words it
};

class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitTwoWithHintAndWriteNothing) {
  TempDir dir;
  const std::string data = dir.File("run1.fix");
  WriteWholeFile(data, "Color\tBlue\r\n");
  std::vector<std::string> args;
  for (const auto& a : GetParam().args) args.push_back(a == "DATA" ? data : a);

  const BatchRun run = RunBatch(args);

  EXPECT_EQ(run.status, 2);
  ASSERT_GE(run.err.size(), std::string(kHint).size()) << run.err;
  EXPECT_EQ(run.err.substr(run.err.size() - std::string(kHint).size()), kHint) << run.err;
  if (GetParam().message != nullptr) {
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  }
  EXPECT_TRUE(run.out.empty()) << run.out;
  EXPECT_FALSE(std::filesystem::exists(data + ".scf"));
  EXPECT_EQ(ReadWholeFile(data), "Color\tBlue\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    testing::Values(
        UsageCase{"NoSubcommand", {}, nullptr},
        UsageCase{"UnknownSubcommand", {"analyse", "DATA"}, nullptr},
        UsageCase{"NoDataFile", {"fixed"}, nullptr},
        UsageCase{"MissingDataFile", {"fixed", "/nonexistent/run1.fix"}, "/nonexistent/run1.fix"},
        UsageCase{"MissingScanFile", {"scan", "/nonexistent/run1.syn"}, "/nonexistent/run1.syn"},
        UsageCase{"SecondDataFile", {"fixed", "DATA", "DATA"}, nullptr},
        UsageCase{"UnknownOption", {"fixed", "DATA", "--solvent", "2"}, nullptr},
        UsageCase{"MissingBlanks",
                  {"fixed", "DATA", "--blanks", "/nonexistent/b.blk"},
                  "/nonexistent/b.blk"},
        UsageCase{"MissingControls",
                  {"fixed", "DATA", "--controls", "/nonexistent/c.ctl"},
                  "/nonexistent/c.ctl"},
        UsageCase{"MissingMatrix",
                  {"fixed", "DATA", "--matrix", "/nonexistent/m.spl"},
                  "/nonexistent/m.spl"},
        UsageCase{"MissingScanBlanks",
                  {"scan", "DATA", "--blanks", "/nonexistent/b.slk"},
                  "/nonexistent/b.slk"},
        UsageCase{"FormatUnknown", {"fixed", "DATA", "--format", "percent"}, nullptr},
        UsageCase{"ColorsZero", {"fixed", "DATA", "--colors", "1,0"}, "\"0\""},
        UsageCase{"ColorsAbove30", {"fixed", "DATA", "--colors", "31"}, "\"31\""},
        UsageCase{"ColorsWord", {"fixed", "DATA", "--colors", "1,Blue"}, "\"Blue\""},
        UsageCase{"ColorsFraction", {"fixed", "DATA", "--colors", "1.5"}, "\"1.5\""},
        UsageCase{"ColorsEmptyEntry", {"fixed", "DATA", "--colors", "1,,2"}, "\"\""},
        UsageCase{"ColorsNegative", {"fixed", "DATA", "--colors", "-2"}, "\"-2\""},
        UsageCase{"MicrosWord", {"fixed", "DATA", "--micros-per-ml", "1000,many"}, "\"many\""},
        UsageCase{
            "MicrosOtherSeparator", {"scan", "DATA", "--micros-per-ml", "1000;2"}, "\"1000;2\""},
        UsageCase{"MicrosNegative", {"fixed", "DATA", "--micros-per-ml", "-5"}, "\"-5\""},
        UsageCase{"MicrosBeyondSingle", {"scan", "DATA", "--micros-per-ml", "1e39"}, "\"1e39\""},
        UsageCase{"MicrosEmptyEntry", {"fixed", "DATA", "--micros-per-ml", "1000,"}, "\"\""},
        UsageCase{"MicrosMoreThanSlots",
                  {"fixed", "DATA", "--micros-per-ml",
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,"
                   "29,30,31"},
                  "more than 30"},
        UsageCase{"BackgroundWord", {"fixed", "DATA", "--background", "maybe"}, nullptr},
        UsageCase{"BackgroundWithoutBlanks",
                  {"fixed", "DATA", "--background", "on"},
                  "--background on needs a blanks file"},
        UsageCase{"ScanBackgroundWithoutBlanks",
                  {"scan", "DATA", "--background", "on"},
                  "--background on needs a blanks file"},
        UsageCase{"ControlCorrectionWithoutControls",
                  {"fixed", "DATA", "--control-correction", "on"},
                  "--control-correction on needs a controls file"},
        UsageCase{"TissueUnknown", {"fixed", "DATA", "--tissue", "all"}, nullptr},
        UsageCase{"ScanHasNoControls", {"scan", "DATA", "--controls", "DATA"}, nullptr},
        UsageCase{"ScanHasNoColors", {"scan", "DATA", "--colors", "1"}, nullptr},
        UsageCase{"ScanHasNoTissue", {"scan", "DATA", "--tissue", "use"}, nullptr},
        UsageCase{"ScanHasNoMatrix", {"scan", "DATA", "--matrix", "DATA"}, nullptr}),
    [](const testing::TestParamInfo<UsageCase>& info) { return std::string(info.param.name); });

TEST(BatchHelp, ListsEveryOptionOfBothSubcommands) {
  const BatchRun run = RunBatch({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.err.empty()) << run.err;
  for (const char* word :
       {"fixed", "scan", "DATA.fix", "DATA.syn", "--blanks", "--controls", "--matrix", "-o",
        "--output", "--format", "intensity|microspheres", "--micros-per-ml", "--colors",
        "--background", "--control-correction", "--tissue", "exclude|use|stored", "--version"})
    EXPECT_NE(run.out.find(word), std::string::npos) << "--help does not mention " << word;
}

TEST(BatchHelp, SubcommandHelpListsItsOwnOptions) {
  const BatchRun fixed = RunBatch({"fixed", "--help"});
  EXPECT_EQ(fixed.status, 0);
  for (const char* word : {"--controls", "--matrix", "--colors", "--tissue", "--format"})
    EXPECT_NE(fixed.out.find(word), std::string::npos) << word;

  const BatchRun scan = RunBatch({"scan", "--help"});
  EXPECT_EQ(scan.status, 0);
  EXPECT_NE(scan.out.find("--micros-per-ml"), std::string::npos);
  for (const char* word : {"--controls", "--matrix", "--colors", "--tissue"})
    EXPECT_EQ(scan.out.find(word), std::string::npos) << "scan --help offers " << word;
}

TEST(BatchHelp, VersionNamesTheProgramsVersion) {
  const BatchRun run = RunBatch({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string("kolvane-batch ") + KOLVANE_VERSION_STRING + "\n");
}

}  // namespace
}  // namespace kolvane
