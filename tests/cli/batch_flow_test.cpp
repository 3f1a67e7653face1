// kolvane-batch drives the window's own handlers: a user's clicks through the scripted host
// and the batch with the same choices write the same results file, byte for byte. And the
// exit statuses: 0 for a complete results file, 1 when the data stopped the analysis.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

void StartWindow(Program& p) {
  Form_Load(p, 1920 * 15, 1080 * 15);
}

void ChooseMicrospheres(Program& p) {
  p.form.OFResults_Radio[0].selected = false;
  p.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(p, 1);
}

TEST(WindowAndBatch, FixedWithBlanksControlsAColourLeftOutAndMicrospheres) {
  TempDir dir;
  const std::string window = dir.File("window.scf");
  {
    ScriptedHost host;
    Program p(host);
    StartWindow(p);
    host.QueueFile(Data("three_colors.fix"));
    host.QueueFile(Data("three_colors.blk"));
    host.QueueFile(Data("three_colors.ctl"));
    host.QueueFile(window);
    ASSERT_EQ(OpenData_Click(p), Flow::Continue);
    SetColorTick(p, 2, false);
    ChooseMicrospheres(p);
    SetMicrosPerMlFixText(p, 1, "1500");
    SetMicrosPerMlFixText(p, 3, "800");
    p.form.ControlCorr.ticked = true;
    ControlCorr_Click(p);
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
    EXPECT_TRUE(p.RunCompleted);
  }
  const std::string batch = dir.File("batch.scf");
  const BatchRun run =
      RunBatch({"fixed", Data("three_colors.fix"), "--blanks", Data("three_colors.blk"),
                "--controls", Data("three_colors.ctl"), "-o", batch, "--colors", "1,3", "--format",
                "microspheres", "--micros-per-ml", "1500,1000,800", "--control-correction", "on"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "");
  const std::string written = ReadWholeFile(batch);
  EXPECT_NE(written.find("\tWavelengths not used.\r\n\tYellow-Green\r\n"), std::string::npos)
      << written;
  EXPECT_EQ(written, ReadWholeFile(window));
}

TEST(WindowAndBatch, FixedWithBackgroundTurnedOff) {
  TempDir dir;
  const std::string window = dir.File("window.scf");
  {
    ScriptedHost host;
    Program p(host);
    StartWindow(p);
    host.QueueFile(Data("three_colors.fix"));
    host.QueueFile(Data("three_colors.blk"));
    host.QueueFile("");
    host.QueueFile(window);
    ASSERT_EQ(OpenData_Click(p), Flow::Continue);
    p.form.BackSub.ticked = false;
    BackSub_Click(p);
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
  }
  const std::string batch = dir.File("batch.scf");
  const BatchRun run = RunBatch({"fixed", Data("three_colors.fix"), "--blanks",
                                 Data("three_colors.blk"), "-o", batch, "--background", "off"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string written = ReadWholeFile(batch);
  EXPECT_EQ(written.rfind("This file has been spillover corrected.  Background correction was "
                          "not performed.\r\n",
                          0),
            0u)
      << written;
  EXPECT_EQ(written, ReadWholeFile(window));
}

TEST(WindowAndBatch, FixedWithAMatrixFile) {
  TempDir dir;
  const std::string window = dir.File("window.scf");
  {
    ScriptedHost host;
    Program p(host);
    StartWindow(p);
    host.QueueFile(Data("no_pures.fix"));
    host.QueueFile("");
    host.QueueFile("");
    host.QueueFile(window);
    host.ExpectMessage(kNoPures);
    ASSERT_EQ(OpenData_Click(p), Flow::Continue);
    host.QueueFile(Data("three_colors.spl"));
    ASSERT_EQ(Spillover_Click(p), Flow::Continue);
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
  }
  const std::string batch = dir.File("batch.scf");
  const BatchRun run =
      RunBatch({"fixed", Data("no_pures.fix"), "--matrix", Data("three_colors.spl"), "-o", batch});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, std::string(kNoPures) + "\n");
  const std::string written = ReadWholeFile(batch);
  EXPECT_NE(written.find("Spillover Matrix Read from File: " + Data("three_colors.spl") + "\r\n"),
            std::string::npos)
      << written;
  EXPECT_EQ(written, ReadWholeFile(window));
}

TEST(WindowAndBatch, FixedWithTheStoredTissueSample) {
  TempDir dir;
  const std::string window = dir.File("window.scf");
  {
    ScriptedHost host;
    Program p(host);
    StartWindow(p);
    host.QueueFile(Data("tissue.fix"));
    host.QueueFile("");
    host.QueueFile("");
    host.QueueFile(window);
    ASSERT_EQ(OpenData_Click(p), Flow::Continue);
    host.on_tissue = [](TissueForm& f) {
      TissueOpt_Click(f, 0);
      TissueOk_Click(f);
    };
    host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseStored_Click(f); };
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
  }
  const std::string batch = dir.File("batch.scf");
  const BatchRun run = RunBatch({"fixed", Data("tissue.fix"), "-o", batch, "--tissue", "stored"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string written = ReadWholeFile(batch);
  // The stored sample: tissue reads 0.6165 of itself at Blue.
  EXPECT_NE(written.find("Tissue\t1.0000\t0.6165\t0.0000\r\n"), std::string::npos) << written;
  EXPECT_EQ(written, ReadWholeFile(window));
}

TEST(WindowAndBatch, FixedTissueExcludedByDefault) {
  TempDir dir;
  const std::string window = dir.File("window.scf");
  {
    ScriptedHost host;
    Program p(host);
    StartWindow(p);
    host.QueueFile(Data("tissue.fix"));
    host.QueueFile("");
    host.QueueFile("");
    host.QueueFile(window);
    ASSERT_EQ(OpenData_Click(p), Flow::Continue);
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
  }
  const std::string batch = dir.File("batch.scf");
  const BatchRun run = RunBatch({"fixed", Data("tissue.fix"), "-o", batch});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string written = ReadWholeFile(batch);
  EXPECT_NE(written.find("\tTissue readings are not corrected.\r\n"), std::string::npos) << written;
  EXPECT_EQ(written, ReadWholeFile(window));
}

TEST(WindowAndBatch, ScanWithBlanksAndMicrospheres) {
  TempDir dir;
  const std::string window = dir.File("window.scf");
  {
    ScriptedHost host;
    Program p(host);
    StartWindow(p);
    host.QueueFile(Data("three_pures.syn"));
    host.QueueFile(Data("three_pures.slk"));
    host.QueueFile(window);
    ASSERT_EQ(OpenDataSS_Click(p), Flow::Continue);
    ChooseMicrospheres(p);
    SetMicrosPerMlText(p, 1, "500");
    SetMicrosPerMlText(p, 3, "2000");
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
    EXPECT_TRUE(p.RunCompleted);
  }
  const std::string batch = dir.File("batch.scf");
  const BatchRun run =
      RunBatch({"scan", Data("three_pures.syn"), "--blanks", Data("three_pures.slk"), "-o", batch,
                "--format", "microspheres", "--micros-per-ml", "500,1000,2000"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string written = ReadWholeFile(batch);
  EXPECT_NE(written.find("S4\t"), std::string::npos) << written;
  EXPECT_EQ(written, ReadWholeFile(window));
}

TEST(WindowAndBatch, ScanWithoutBackgroundSubtraction) {
  TempDir dir;
  const std::string window = dir.File("window.scf");
  {
    ScriptedHost host;
    Program p(host);
    StartWindow(p);
    host.QueueFile(Data("three_pures.syn"));
    host.QueueFile(Data("three_pures.slk"));
    host.QueueFile(window);
    ASSERT_EQ(OpenDataSS_Click(p), Flow::Continue);
    p.form.BackSub.ticked = false;
    BackSub_Click(p);
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
  }
  const std::string batch = dir.File("batch.scf");
  const BatchRun run = RunBatch({"scan", Data("three_pures.syn"), "--blanks",
                                 Data("three_pures.slk"), "-o", batch, "--background", "off"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadWholeFile(batch), ReadWholeFile(window));
}

// --- exit statuses ----------------------------------------------------------------------

TEST(BatchExit, CompleteRunsWriteBesideTheDataFileByDefault) {
  TempDir dir;
  const std::string fix = dir.Copy(Data("three_colors.fix"));
  const std::string syn = dir.Copy(Data("three_pures.syn"));
  const std::string fix_bytes = ReadWholeFile(fix);
  const std::string syn_bytes = ReadWholeFile(syn);

  BatchRun run = RunBatch({"fixed", fix});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadWholeFile(fix + ".scf").find("S5\t"), std::string::npos);
  run = RunBatch({"scan", syn});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadWholeFile(syn + ".scf").find("S4\t"), std::string::npos);

  EXPECT_EQ(ReadWholeFile(fix), fix_bytes);
  EXPECT_EQ(ReadWholeFile(syn), syn_bytes);
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

struct StopCase {
  const char* name;
  std::vector<std::string> args;  // "OUT" stands for a results file in a temporary folder
  const char* message;            // a line the program wrote to stderr
};

class BatchStops : public testing::TestWithParam<StopCase> {};

TEST_P(BatchStops, ExitOneWithTheProgramsMessage) {
  TempDir dir;
  std::vector<std::string> args;
  for (const auto& a : GetParam().args)
    args.push_back(a == "OUT" ? dir.File("out.scf") : a[0] == '@' ? Data(a.substr(1)) : a);
  const BatchRun run = RunBatch(args);
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("--help"), std::string::npos) << "not a usage error: " << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    DataStopsTheAnalysis, BatchStops,
    testing::Values(
        StopCase{"LoadRefused", {"fixed", "@no_color_line.fix", "-o", "OUT"}, "no Color line"},
        StopCase{"NoPuresAndNoMatrix", {"fixed", "@no_pures.fix", "-o", "OUT"}, kNoMatrix},
        StopCase{"MatrixFileRefused",
                 {"fixed", "@no_pures.fix", "--matrix", "@matrix_with_comma.spl", "-o", "OUT"},
                 "The spillover matrix was not changed."},
        // The pure check ends the program; the batch exits once the core has unwound.
        StopCase{"ProgramEnds",
                 {"fixed", "@pures_out_of_order.fix", "-o", "OUT"},
                 "Problem computing spillover matrix. Pure samples are not present or in the "
                 "wrong order.  Please check the data file."},
        StopCase{"ScanWithoutDateTime", {"scan", "@three_colors.fix", "-o", "OUT"}, "Date/Time"}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST(BatchExit, AResultsFileThatIsTheDataFileIsRefused) {
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

  BatchRun run = RunBatch({"fixed", Data("three_colors.fix"), "-o", out, "--colors", "1,4"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "--colors: slot 4 is not a colour of " + Data("three_colors.fix") +
                         ", which has 3 colours\nRun with --help for more information.\n");
  run = RunBatch({"fixed", Data("three_colors.fix"), "-o", out, "--micros-per-ml", "1,2,3,4"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "--micros-per-ml: 4 values given for the 3 colours of " +
                         Data("three_colors.fix") + "\nRun with --help for more information.\n");
  run = RunBatch({"scan", Data("three_pures.syn"), "-o", out, "--micros-per-ml", "1,2,3,4"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "--micros-per-ml: 4 values given for the 3 pures of " +
                         Data("three_pures.syn") + "\nRun with --help for more information.\n");

  EXPECT_EQ(ReadWholeFile(out), "an earlier result\r\n");
}

}  // namespace
}  // namespace kolvane
