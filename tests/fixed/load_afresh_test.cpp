// A load starts afresh: whatever an earlier dataset left behind (its header values, delivery,
// wavelength lines, backgrounds, controls and their correction, tissue choice, matrix file,
// result format), the next dataset's results file equals the one a freshly started program
// writes for it.
#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class LoadAfresh : public FixedFixture {
 protected:
  // Dataset A: tissue column, automatic delivery, blanks and controls, four colours, a matrix
  // file, control correction, microspheres/ml and a colour left out.
  void DatasetA(bool run) {
    std::string data = Write(
        "a.fix",
        CrLf({"Dataset A", "Pures\t4", "Wavelengths\t4", "Amount of solvent\t9", "Delivery\tAuto",
              "ex sl\t1\t5\t5\t5\t5", "em sl\t1\t5\t5\t5\t5", "ex wl\t1\t380\t420\t480\t540",
              "em wl\t1\t400\t440\t500\t560", "Color Tube\tTissue\tBlue\tGreen\tRed",
              "P1\t0\t90\t9\t8\t7", "P2\t0\t5\t300\t20\t1", "P3\t0\t4\t30\t400\t40",
              "P4\t0\t3\t2\t50\t500", "S1\t0\t60\t70\t80\t90", "S7\t0\t61\t71\t81\t91"}));
    ASSERT_EQ(
        Flow::Continue,
        Load(data, Write("a.blk", kBlankHead + CrLf({"B1\t3\t4\t5\t6", "B3\t7\t8\t9\t10"})),
             Write("a.ctl", kBlankHead + CrLf({"C1\t10\t20\t30\t40", "C4\t20\t40\t60\t80"}))));
    ASSERT_EQ(Flow::Continue,
              ReadMatrix(CrLf({"100\t1\t1\t1", "1\t100\t1\t1", "1\t1\t100\t1", "1\t1\t1\t100"})));
    SetControlCorrection(true);
    Microspheres({"10", "20", "30", "40"});
    Untick(3);
    if (!run) return CloseIt_Click(p);
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    ASSERT_EQ(Flow::Continue, Analyze());
    host.on_tissue = nullptr;
  }
  // Dataset B: no delivery, wavelength or solvent lines; a blanks file without a record
  // numbered 1; a controls file whose correction stays unticked; pures of its own.
  std::string DatasetB() {
    std::string data =
        Write("b.fix", CrLf({"Dataset B", "Wavelengths\t2", "Color Tube\tBlue\tRed", "P1\t100\t10",
                             "P2\t20\t200", "S1\t120\t210", "S6\t130\t220"}));
    EXPECT_EQ(Flow::Continue, Load(data, Write("b.blk", kBlankHead + CrLf({"B5\t10\t10"})),
                                   Write("b.ctl", kBlankHead + CrLf({"C1\t5\t5", "C2\t10\t10"}))));
    EXPECT_FALSE(p.ControlCorrectionOn || p.form.ControlCorr.ticked || p.MatrixFromFile);
    EXPECT_EQ(Flow::Continue, Analyze());
    return Read(data + ".scf");
  }
};

TEST_F(LoadAfresh, SecondDatasetEqualsAFreshStart) {
  const std::string fresh = DatasetB();
  // The fresh start's file itself, from the layout: nothing subtracted until S6 (B5).
  EXPECT_NE(
      std::string::npos,
      fresh.find(CrLf({"Color\tBlue\tRed", "", "", "", "", "", "Spillover Matrix\tBlue\tRed",
                       "Blue\t1.0000\t0.1000", "Red\t0.1000\t1.0000", "", "Sample/Color\tBlue\tRed",
                       "BG (Pures)\t0.0000\t0.0000", "P1\t100.000\t0.000", "P2\t0.000\t200.000",
                       "S1\t100.000\t200.000", "S6\t100.000\t200.000"})))
      << fresh;
  for (bool run_a : {true, false}) {
    SCOPED_TRACE(run_a ? "after a run of A" : "after Close File of A");
    DatasetA(run_a);
    EXPECT_EQ(fresh, DatasetB());
  }
}

}  // namespace
}  // namespace kolvane
