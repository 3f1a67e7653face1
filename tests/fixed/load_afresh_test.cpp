// A load starts afresh: whatever an earlier dataset left behind (its header values, delivery,
// wavelength lines, backgrounds, controls and their correction, tissue choice, matrix file,
// result format), the next dataset's results file equals the one a freshly started program
// writes for it.
#include <gtest/gtest.h>

#include "app/color_panel.h"
#include "app/matrix_file.h"
#include "fixed_fixture.h"

namespace kolvane {
namespace {

class LoadAfresh : public FixedFixture {
 protected:
  // Dataset A: tissue column, automatic delivery, blanks and controls, four colours.
  void RunDatasetA(bool run) {
    std::string data = Write(
        "a.fix",
        CrLf({"Dataset A", "Pures\t4", "Wavelengths\t4", "Amount of solvent\t9", "Delivery\tAuto",
              "ex sl\t1\t5\t5\t5\t5", "em sl\t1\t5\t5\t5\t5", "ex wl\t1\t380\t420\t480\t540",
              "em wl\t1\t400\t440\t500\t560", "Color Tube\tTissue\tBlue\tGreen\tRed",
              "P1\t0\t90\t9\t8\t7", "P2\t0\t5\t300\t20\t1", "P3\t0\t4\t30\t400\t40",
              "P4\t0\t3\t2\t50\t500", "S1\t0\t60\t70\t80\t90", "S7\t0\t61\t71\t81\t91"}));
    std::string blanks = Write("a.blk", CrLf({"h", "h", "h", "B1\t3\t4\t5\t6", "B3\t7\t8\t9\t10"}));
    std::string controls =
        Write("a.ctl", CrLf({"h", "h", "h", "C1\t10\t20\t30\t40", "C4\t20\t40\t60\t80"}));
    ASSERT_EQ(Flow::Continue, Load(data, blanks, controls));
    host.QueueFile(
        Write("a.spl", CrLf({"100\t1\t1\t1", "1\t100\t1\t1", "1\t1\t100\t1", "1\t1\t1\t100"})));
    ASSERT_EQ(Flow::Continue, Spillover_Click(p));
    p.form.ControlCorr.ticked = true;
    ControlCorr_Click(p);
    Microspheres({"10", "20", "30", "40"});
    Untick(3);
    if (run) {
      host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
      ASSERT_EQ(Flow::Continue, Analyze());
      host.on_tissue = nullptr;
    } else {
      CloseIt_Click(p);
    }
  }
};

// Dataset B: no delivery, wavelength or solvent lines; a blanks file without a record numbered
// 1; a controls file whose correction stays unticked; pures of its own.
struct DatasetB {
  std::string data = CrLf({"Dataset B", "Wavelengths\t2", "Color Tube\tBlue\tRed", "P1\t100\t10",
                           "P2\t20\t200", "S1\t120\t210", "S6\t130\t220"});
  std::string blanks = CrLf({"h", "h", "h", "B5\t10\t10"});
  std::string controls = CrLf({"h", "h", "h", "C1\t5\t5", "C2\t10\t10"});
};

std::string FreshResultsOfB(const std::string& folder) {
  ScriptedHost fresh_host;
  Program fresh(fresh_host);
  Form_Load(fresh, 19200, 14400);
  DatasetB b;
  auto write = [&](const std::string& name, const std::string& text) {
    std::string path = folder + "/fresh_" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  };
  std::string data = write("b.fix", b.data);
  fresh_host.QueueFile(data);
  fresh_host.QueueFile(write("b.blk", b.blanks));
  fresh_host.QueueFile(write("b.ctl", b.controls));
  fresh_host.QueueFile(data + ".scf");
  EXPECT_EQ(Flow::Continue, OpenFixedDataFile(fresh));
  EXPECT_EQ(Flow::Continue, CheckFixedRunPreconditions(fresh));
  EXPECT_EQ(Flow::Continue, RunFixedAnalysis(fresh));
  fresh.channels.CloseAll();
  return ReadWholeFile(data + ".scf");
}

TEST_F(LoadAfresh, SecondDatasetEqualsAFreshStart) {
  for (bool run_a : {true, false}) {
    SCOPED_TRACE(run_a ? "after a run of A" : "after Close File of A");
    RunDatasetA(run_a);
    DatasetB b;
    std::string data = Write("b.fix", b.data);
    ASSERT_EQ(Flow::Continue, Load(data, Write("b.blk", b.blanks), Write("b.ctl", b.controls)));
    EXPECT_FALSE(p.ControlCorrectionOn);
    EXPECT_FALSE(p.form.ControlCorr.ticked);
    EXPECT_FALSE(p.MatrixFromFile);
    ASSERT_EQ(Flow::Continue, Analyze());
    std::string second = Read(data + ".scf");
    std::string fresh = FreshResultsOfB(dir.string());
    EXPECT_EQ(fresh, second);
    // The fresh start's file itself, from the layout: nothing subtracted until S6 (B5).
    EXPECT_NE(std::string::npos,
              fresh.find(CrLf(
                  {"Color\tBlue\tRed", "", "", "", "", "", "Spillover Matrix\tBlue\tRed",
                   "Blue\t1.0000\t0.1000", "Red\t0.1000\t1.0000", "", "Sample/Color\tBlue\tRed",
                   "BG (Pures)\t0.0000\t0.0000", "P1\t100.000\t0.000", "P2\t0.000\t200.000",
                   "S1\t100.000\t200.000", "S6\t100.000\t200.000"})))
        << fresh;
  }
}

}  // namespace
}  // namespace kolvane
