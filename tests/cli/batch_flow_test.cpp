// kolvane-batch drives the window's own handlers: a user's clicks through the scripted host
// and the batch with the same choices write the same results file, byte for byte. And the
// exit statuses: 0 for a complete results file, 1 when the data stopped the analysis.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/matrix_file.h"
#include "app/tissue_dialogs.h"
#include "batch_runner.h"
#include "dispatch/commands.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

std::string Data(const std::string& name) {
  return std::string(KOLVANE_TEST_DATA) + "/cli/" + name;
}

const char* const kNoPures =
    "Pure colors missing in file.  Please use New Spillover option to input a spillover matrix.";
const char* const kNoMatrix =
    "There is no spillover matrix data available to for this dataset.  Please use the 'New "
    "Spillover Matrix' menu option to associate a matrix with this dataset.";

// A user's choices in the window between opening the dataset and pressing Analyze.
struct Choices {
  std::vector<int> untick;                          // colour boxes unticked
  std::vector<std::pair<int, const char*>> micros;  // microspheres/ml typed; the format chosen
  bool background_off = false, control_correction = false;
  std::string matrix = "";  // a matrix file read with New Spillover Matrix
  int tissue = 0;           // 0: Ok at once (excluded), 2: use tissue with the stored sample
};

void Choose(Program& p, ScriptedHost& host, const Choices& c) {
  for (int slot : c.untick) SetColorTick(p, slot, false);
  if (!c.micros.empty()) {
    p.form.OFResults_Radio[0].selected = false;
    p.form.OFResults_Radio[1].selected = true;
    OFResults_Radio_Click(p, 1);
  }
  for (const auto& [slot, text] : c.micros)
    (p.FixedDataLoaded ? SetMicrosPerMlFixText : SetMicrosPerMlText)(p, slot, text);
  p.form.BackSub.ticked = !c.background_off && p.form.BackSub.ticked;
  BackSub_Click(p);
  p.form.ControlCorr.ticked = c.control_correction;
  ControlCorr_Click(p);
  if (!c.matrix.empty()) {
    host.QueueFile(c.matrix);
    ASSERT_EQ(Spillover_Click(p), Flow::Continue);
  }
  host.on_tissue = [use = c.tissue != 0](TissueForm& f) {
    if (use) TissueOpt_Click(f, 0);
    TissueOk_Click(f);
  };
  host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseStored_Click(f); };
}

TEST(WindowAndBatch, SameChoicesWriteTheSameResultsFile) {
  struct Case {
    std::vector<std::string> dialogs;  // the open dialogs' answers; "" cancels
    Choices choices;
    std::vector<std::string> batch;      // the same choices on the command line
    std::string expected;                // a piece of the results
    const char* load_message = nullptr;  // shown at load
  };
  const std::string fix = Data("three_colors.fix"), blk = Data("three_colors.blk"),
                    ctl = Data("three_colors.ctl"), spl = Data("three_colors.spl"),
                    syn = Data("three_pures.syn"), slk = Data("three_pures.slk");
  // clang-format off
  const Case cases[] = {
      {{fix, blk, ctl}, {{2}, {{1, "1500"}, {3, "800"}}, false, true},
       {"fixed", fix, "--blanks", blk, "--controls", ctl, "--colors", "1,3", "--format", "microspheres",
        "--micros-per-ml", "1500,1000,800", "--control-correction", "on"},
       "\tWavelengths not used.\r\n\tYellow-Green\r\n"},
      {{Data("no_pures.fix"), "", ""}, {{}, {}, false, false, spl},
       {"fixed", Data("no_pures.fix"), "--matrix", spl},
       "Spillover Matrix Read from File: " + spl + "\r\n", kNoPures},
      // The stored sample: tissue reads 0.6165 of itself at Blue.
      {{Data("tissue.fix"), "", ""}, {{}, {}, false, false, "", 2},
       {"fixed", Data("tissue.fix"), "--tissue", "stored"}, "Tissue\t1.0000\t0.6165\t0.0000\r\n"},
      {{syn, slk}, {{}, {{1, "500"}, {3, "2000"}}, true},
       {"scan", syn, "--blanks", slk, "--background", "off", "--format", "microspheres",
        "--micros-per-ml", "500,1000,2000"}, "S4\t"}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.batch[1]);
    TempDir dir;
    const std::string window = dir.File("window.scf");
    {
      ScriptedHost host;
      Program p(host);
      Form_Load(p, 1920 * 15, 1080 * 15);
      for (const std::string& answer : c.dialogs) host.QueueFile(answer);
      host.QueueFile(window);
      if (c.load_message) host.ExpectMessage(c.load_message);
      ASSERT_EQ((c.batch[0] == "scan" ? OpenDataSS_Click : OpenData_Click)(p), Flow::Continue);
      Choose(p, host, c.choices);
      EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
      EXPECT_TRUE(p.RunCompleted);
    }
    std::vector<std::string> args = c.batch;
    args.insert(args.end(), {"-o", dir.File("batch.scf")});
    const BatchRun run = RunBatch(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, c.load_message ? std::string(c.load_message) + "\n" : "");
    EXPECT_EQ(run.out, "");
    const std::string written = ReadWholeFile(dir.File("batch.scf"));
    EXPECT_NE(written.find(c.expected), std::string::npos) << written;
    EXPECT_EQ(written, ReadWholeFile(window));
  }
}

// --- exit statuses ----------------------------------------------------------------------

TEST(BatchExit, CompleteRunsWriteBesideTheDataFileByDefault) {
  TempDir dir;
  for (const auto& [subcommand, name, last] :
       {std::tuple{"fixed", "three_colors.fix", "S5\t"},
        {"scan", "three_pures.syn", "S4\t"},
        // Tissue is excluded unless --tissue says otherwise.
        {"fixed", "tissue.fix", "\tTissue readings are not corrected.\r\n"}}) {
    const std::string data = dir.Copy(Data(name));
    const std::string bytes = ReadWholeFile(data);
    const BatchRun run = RunBatch({subcommand, data});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadWholeFile(data + ".scf").find(last), std::string::npos) << name;
    EXPECT_EQ(ReadWholeFile(data), bytes);
  }
}

TEST(BatchExit, RelativePathsAreTakenFromTheWorkingFolder) {
  TempDir dir;
  dir.Copy(Data("no_pures.fix"));
  dir.Copy(Data("three_colors.spl"));
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const BatchRun run =
      RunBatch({"fixed", "no_pures.fix", "--matrix", "three_colors.spl", "-o", "out.scf"});
  std::filesystem::current_path(before);
  EXPECT_EQ(run.status, 0) << run.err;
  // The results name the matrix file by its full path, as the window's dialog gives it.
  EXPECT_NE(ReadWholeFile(dir.File("out.scf"))
                .find("Spillover Matrix Read from File: " + dir.File("three_colors.spl") + "\r\n"),
            std::string::npos);
}

TEST(BatchExit, ExitOneWithTheProgramsMessageWhenTheDataStopsTheAnalysis) {
  struct Case {
    std::vector<std::string> args;  // "@name": a test data file; the results go to a temp folder
    const char* message;            // a line the program wrote to stderr
  };
  const Case cases[] = {
      {{"fixed", "@no_color_line.fix"}, "no Color line"},
      {{"fixed", "@no_pures.fix"}, kNoMatrix},
      {{"fixed", "@no_pures.fix", "--matrix", "@matrix_with_comma.spl"},
       "The spillover matrix was not changed."},
      // The pure check ends the program; the batch exits once the core has unwound.
      {{"fixed", "@pures_out_of_order.fix"},
       "Problem computing spillover matrix. Pure samples are not present or in the wrong order.  "
       "Please check the data file."},
      {{"scan", "@three_colors.fix"}, "Date/Time"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    TempDir dir;
    std::vector<std::string> args;
    for (const auto& a : c.args) args.push_back(a[0] == '@' ? Data(a.substr(1)) : a);
    args.insert(args.end(), {"-o", dir.File("out.scf")});
    const BatchRun run = RunBatch(args);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("--help"), std::string::npos) << "not a usage error: " << run.err;
  }

  // A results file that is the data file is refused and the data file is left as it was.
  TempDir dir;
  const std::string fix = dir.Copy(Data("three_colors.fix"));
  const std::string bytes = ReadWholeFile(fix);
  const BatchRun run = RunBatch({"fixed", fix, "-o", fix});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(ReadWholeFile(fix), bytes);
}

TEST(BatchExit, SlotsTheFileDoesNotHaveAreUsageErrorsThatTouchNoFile) {
  TempDir dir;
  const std::string out = dir.File("out.scf");
  WriteWholeFile(out, "an earlier result\r\n");
  const std::string hint = "\nRun with --help for more information.\n";
  const std::string fix = Data("three_colors.fix"), syn = Data("three_pures.syn");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"fixed", fix, "--colors", "1,4"},
       "--colors: slot 4 is not a colour of " + fix + ", which has 3 colours"},
      {{"fixed", fix, "--micros-per-ml", "1,2,3,4"},
       "--micros-per-ml: 4 values given for the 3 colours of " + fix},
      {{"scan", syn, "--micros-per-ml", "1,2,3,4"},
       "--micros-per-ml: 4 values given for the 3 pures of " + syn}};
  for (const auto& [args, message] : cases) {
    std::vector<std::string> with_out = args;
    with_out.insert(with_out.end(), {"-o", out});
    const BatchRun run = RunBatch(with_out);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, message + hint);
  }
  EXPECT_EQ(ReadWholeFile(out), "an earlier result\r\n");
}

}  // namespace
}  // namespace kolvane
