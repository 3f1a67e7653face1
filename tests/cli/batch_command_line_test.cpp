// The command line of kolvane-batch, one table: what each command line exits with, what it says
// on stderr and what the results file then holds. Status 2 is a wrong command line (the message,
// the hint to --help, no file touched), 1 a dataset that stopped the analysis, 0 a complete
// results file. No command line changes a data file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/version.h"
#include "batch_runner.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

struct Case {
  std::string line;  // kolvane-batch words; @name: a copy of tests/data/cli/name, OUT: the results
  int status;
  std::string err;      // a piece of stderr
  std::string results;  // a piece of the results file (OUT, else the data file's name + ".scf")
};

const std::string kNoMatrix =
    "There is no spillover matrix data available to for this dataset.  Please use the 'New "
    "Spillover Matrix' menu option to associate a matrix with this dataset.";
const std::string k31 =
    "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31";

// clang-format off
const Case kCases[] = {
    {"", 2, "", ""},
    {"analyse @three_colors.fix", 2, "", ""},
    {"fixed", 2, "", ""},
    {"fixed /nonexistent/run1.fix", 2, "/nonexistent/run1.fix", ""},
    {"fixed @three_colors.fix --solvent 2", 2, "--solvent", ""},
    {"fixed @three_colors.fix --blanks /nonexistent/b.blk", 2, "/nonexistent/b.blk", ""},
    {"fixed @three_colors.fix --controls /nonexistent/c.ctl", 2, "/nonexistent/c.ctl", ""},
    {"scan @three_pures.syn --blanks /nonexistent/b.slk", 2, "/nonexistent/b.slk", ""},
    {"fixed @three_colors.fix --format percent", 2, "percent", ""},
    {"fixed @three_colors.fix --colors 1,0", 2, "--colors: \"0\" is not a colour slot (1 to 30)", ""},
    {"fixed @three_colors.fix --colors 31", 2, "\"31\" is not a colour slot", ""},
    {"fixed @three_colors.fix --colors 1,Blue", 2, "\"Blue\"", ""},
    {"fixed @three_colors.fix --colors 1,,2", 2, "\"\"", ""},
    {"fixed @three_colors.fix --micros-per-ml 1000,many", 2,
     "--micros-per-ml: \"many\" is not a number of microspheres per ml", ""},
    {"fixed @three_colors.fix --micros-per-ml -5", 2, "\"-5\"", ""},
    {"scan @three_pures.syn --micros-per-ml 1e39", 2, "\"1e39\"", ""},
    {"fixed @three_colors.fix --micros-per-ml " + k31, 2, "--micros-per-ml: more than 30 values", ""},
    {"fixed @three_colors.fix --background on", 2, "--background on needs a blanks file", ""},
    {"scan @three_pures.syn --background on", 2, "--background on needs a blanks file", ""},
    {"fixed @three_colors.fix --control-correction on", 2,
     "--control-correction on needs a controls file", ""},
    {"scan @three_pures.syn --controls @three_colors.ctl", 2, "--controls", ""},
    {"scan @three_pures.syn --colors 1", 2, "--colors", ""},
    {"fixed @three_colors.fix --colors 1,4 -o OUT", 2,
     "--colors: slot 4 is not a colour of @three_colors.fix, which has 3 colours\n", ""},
    {"fixed @three_colors.fix --micros-per-ml 1,2,3,4 -o OUT", 2,
     "--micros-per-ml: 4 values given for the 3 colours of @three_colors.fix\n", ""},
    {"scan @three_pures.syn --micros-per-ml 1,2,3,4 -o OUT", 2,
     "--micros-per-ml: 4 values given for the 3 pures of @three_pures.syn\n", ""},
    // The data stop the analysis.
    {"fixed @no_color_line.fix -o OUT", 1, "no Color line", ""},
    {"fixed @no_pures.fix -o OUT", 1, kNoMatrix, ""},
    {"fixed @no_pures.fix --matrix @matrix_with_comma.spl -o OUT", 1,
     "The spillover matrix was not changed.", ""},
    {"fixed @pures_out_of_order.fix -o OUT", 1,
     "Problem computing spillover matrix. Pure samples are not present or in the wrong order.  "
     "Please check the data file.", ""},
    {"scan @three_colors.fix -o OUT", 1, "Date/Time", ""},
    {"fixed @three_colors.fix -o @three_colors.fix", 1, "", ""},
    // Complete runs; without -o the results go beside the data file.
    {"fixed @three_colors.fix", 0, "",
     "This file has been spillover corrected.  Background correction was not performed.\r\n"},
    {"fixed @three_colors.fix --blanks @three_colors.blk -o OUT", 0, "",
     "This file has been spillover and background corrected.\r\n"},
    {"fixed @three_colors.fix --blanks @three_colors.blk --background off -o OUT", 0, "",
     "This file has been spillover corrected.  Background correction was not performed.\r\n"},
    // Slot 2 left out; the pures' own results are the microspheres/ml entered for their slots.
    {"fixed @three_colors.fix --colors 3,1 --format microspheres --micros-per-ml 1500,1000,800 "
     "-o OUT", 0, "",
     "\tWavelengths not used.\r\n\tYellow-Green\r\n\r\n\r\nSpillover Matrix\tBlue-Green\tOrange"},
    {"fixed @three_colors.fix --colors 1,3 --format microspheres --micros-per-ml 1500,1000,800 "
     "-o OUT", 0, "", "\r\nP1\t1500.000\t"},
    {"fixed @tissue.fix", 0, "", "\tTissue readings are not corrected.\r\n"},
    {"fixed @tissue.fix --tissue use -o OUT", 0, "", "\r\nTissue\t1.0000\t0.1333\t"},
    // The stored tissue sample reads 0.6165 of itself at Blue, Blue 0.1034 of itself as tissue.
    {"fixed @tissue.fix --tissue stored -o OUT", 0, "",
     "\r\nTissue\t1.0000\t0.6165\t0.0000\r\nBlue\t0.1034\t1.0000\t"},
    {"fixed @no_pures.fix --matrix @three_colors.spl -o OUT", 0, "",
     "Spillover Matrix Read from File: @three_colors.spl\r\n"},
    {"scan @three_pures.syn --blanks @three_pures.slk --format microspheres "
     "--micros-per-ml 500,1000,2000 -o OUT", 0, "",
     "Pure Color\tMicrospheres/ml\r\n1\t500\r\n2\t1000\r\n3\t2000\r\n"},
    {"scan @three_pures.syn", 0, "", "\r\nS4\t"},
    {"fixed @three_colors.fix --micros-per-ml 0,0.5 -o OUT", 0, "", ""},  // none below zero
    {"--version", 0, "", ""},
    {"--help", 0, "", ""},
};
// clang-format on

TEST(BatchCommandLine, StatusMessagesAndResults) {
  const std::string kHint = "Run with --help for more information.\n";
  for (const Case& c : kCases) {
    SCOPED_TRACE("kolvane-batch " + c.line);
    TempDir dir;
    const std::string out = dir.File("out.scf");
    WriteWholeFile(out, "an earlier result\r\n");
    std::vector<std::string> args, data;
    std::string err = c.err, results = c.results;
    std::istringstream words(c.line);
    for (std::string w; words >> w;) {
      if (w[0] == '@') {
        const std::string copy = dir.File(w.substr(1));
        if (!fs::exists(copy)) dir.Copy(std::string(KOLVANE_TEST_DATA) + "/cli/" + w.substr(1));
        data.push_back(copy);
        for (std::string* text : {&err, &results})
          for (auto at = text->find(w); at != std::string::npos; at = text->find(w))
            text->replace(at, w.size(), copy);
        w = copy;
      }
      args.push_back(w == "OUT" ? out : w);
    }
    const BatchRun run = RunBatch(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(err), std::string::npos) << run.err;
    if (c.status == 2) {
      EXPECT_TRUE(run.err.size() >= kHint.size() &&
                  run.err.compare(run.err.size() - kHint.size(), kHint.size(), kHint) == 0)
          << run.err;
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(ReadWholeFile(out), "an earlier result\r\n");
    } else {
      EXPECT_EQ(run.err.find("--help"), std::string::npos) << run.err;
    }
    for (const std::string& file : data) {
      EXPECT_EQ(ReadWholeFile(file), ReadWholeFile(std::string(KOLVANE_TEST_DATA) + "/cli/" +
                                                   fs::path(file).filename().string()));
      if (c.status == 2) {
        EXPECT_FALSE(fs::exists(file + ".scf"));
      }
    }
    if (!results.empty()) {
      const bool to_out = c.line.find("OUT") != std::string::npos;
      const std::string written = ReadWholeFile(to_out ? out : data[0] + ".scf");
      EXPECT_NE(written.find(results), std::string::npos) << written;
    }
  }
}

TEST(BatchCommandLine, HelpListsEveryOptionAndVersionNamesTheRelease) {
  const BatchRun help = RunBatch({"--help"}), fixed = RunBatch({"fixed", "--help"}),
                 scan = RunBatch({"scan", "--help"});
  for (const char* word :
       {"fixed", "scan", "DATA.fix", "DATA.syn", "--blanks", "--controls", "--matrix", "-o",
        "--output", "--format", "intensity|microspheres", "--micros-per-ml", "--colors",
        "--background", "--control-correction", "--tissue", "exclude|use|stored", "--version"})
    EXPECT_NE(help.out.find(word), std::string::npos) << "--help does not mention " << word;
  for (const char* word : {"--controls", "--matrix", "--colors", "--tissue"}) {
    EXPECT_NE(fixed.out.find(word), std::string::npos) << word;
    EXPECT_EQ(scan.out.find(word), std::string::npos) << "scan --help offers " << word;
  }
  EXPECT_NE(scan.out.find("--micros-per-ml"), std::string::npos);
  EXPECT_EQ(RunBatch({"--version"}).out,
            std::string("kolvane-batch ") + KOLVANE_VERSION_STRING + "\n");
}

}  // namespace
}  // namespace kolvane
