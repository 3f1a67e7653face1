// Whole runs the golden datasets cannot hold: a matrix read from a file (its path is written
// into the results), the two ways of solving, and a second dataset after a first.
#include <gtest/gtest.h>

#include <regex>

#include "app/run_report.h"
#include "fixed_fixture.h"

namespace kolvane {
namespace {

using Runs = FixedFixture;

// Blue and Green spill 0.1 into each other, Red 0.2 into Blue: S1 was made from x = (100, 50,
// 10) as (100 + 5 + 2, 10 + 50, 10). With Green left out x(Blue) = b - 0.2 r = 105. A matrix
// file replaces the pures' matrix; intensity levels are never scaled by the entries.
TEST_F(Runs, MatrixFromAFile) {
  const std::string no_pures =
      CrLf({"Wavelengths\t3", "Color Tube\tBlue\tGreen\tRed", "S1\t107\t60\t10"});
  struct Case {
    std::string data;
    int format, left_out;
    std::string tail;
  } cases[] = {
      {no_pures, 0, 0,
       CrLf({"Color\tBlue\tGreen\tRed", "", "", "", "", "",
             "Spillover Matrix Read from File: " + Path("m.spl"),
             "Spillover Matrix\tBlue\tGreen\tRed", "Blue\t1.0000\t0.1000\t0.0000",
             "Green\t0.1000\t1.0000\t0.0000", "Red\t0.2000\t0.0000\t1.0000", "",
             "Sample/Color\tBlue\tGreen\tRed", "S1\t100.000\t50.000\t10.000"})},
      {no_pures, 1, 0, CrLf({"S1\t200.000\t150.000\t5.000"})},
      {no_pures, 0, 2,
       CrLf({"Red\t0.2000\t1.0000", "", "Sample/Color\tBlue\tRed", "S1\t105.000\t10.000"})},
      {kTwoColors + CrLf({"P1\t100\t50", "P2\t50\t100", "S1\t30\t20", "S2\t1\t1"}), 0, 3,
       CrLf({"P1\t100.000\t50.000", "P2\t50.000\t100.000", "S1\t30.000\t20.000",
             "S2\t1.000\t1.000"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    if (c.data == no_pures) host.ExpectMessage(kNoPuresMessage);
    ASSERT_EQ(Flow::Continue, Load(Write("d.fix", c.data)));
    ASSERT_EQ(Flow::Continue,
              ReadMatrix(c.left_out == 3 ? CrLf({"100\t0", "0\t100"})
                                         : CrLf({"100\t10\t0", "10\t100\t0", "20\t0\t100"})));
    Microspheres({"2", "3", "0.5"});
    OFResults_Radio_Click(p, c.format);
    if (c.left_out == 2) Untick(2);
    ASSERT_EQ(Flow::Continue, Analyze());
    EXPECT_EQ(c.tail, Tail(Path("d.fix.scf"), c.tail.size()));
    EXPECT_EQ(0.5, p.MicrosPerMlValues[3]);  // the run keeps its factors to itself
  }
}

// The report's per-colour row after a run: the colour's name escaped, the detection limit three
// times the spread, and no spread at all (not 0) from fewer than three initial blanks. Blue's
// blanks 1, 2, 4 spread by 1.4826 (median deviation 1); Red's are all 0.
TEST_F(Runs, ReportRowOfAColour) {
  for (int blanks : {2, 3}) {
    SCOPED_TRACE(blanks);
    const std::string data = Write("r.fix", CrLf({"Wavelengths\t2", "Color Tube\tB<l&ue\tRed"}) +
                                                kTwoPures + CrLf({"S1\t50\t9"}));
    const std::string rows[] = {"B1\t1\t0\r\n", "B1\t2\t0\r\n", "B1\t4\t0\r\n"};
    ASSERT_EQ(Flow::Continue, Load(data, Write("r.blk", kBlankHead + rows[0] + rows[1] +
                                                            (blanks == 3 ? rows[2] : ""))));
    ASSERT_EQ(Flow::Continue, CheckFixedRunPreconditions(p));
    ASSERT_EQ(Flow::Continue, RunFixedAnalysis(p));
    const std::string html = RunReportHtml(p, {});
    EXPECT_EQ(html.find("B<l"), std::string::npos);
    std::smatch row;
    ASSERT_TRUE(std::regex_search(
        html, row,
        std::regex("<tr><td>B&lt;l&amp;ue</td><td>[^<]*</td><td>([^<]*)</td><td>([^<]*)</td>")));
    if (blanks == 2) {
      EXPECT_EQ(row[1].str() + "|" + row[2].str(), "fewer than 3 blanks|-");
    } else {
      const double spread = std::stod(row[1]), limit = std::stod(row[2]);
      EXPECT_GT(spread, 1.4);
      EXPECT_NEAR(limit, 3 * spread, 2e-3 * limit) << row[0];
    }
    p.channels.CloseAll();
    CloseIt_Click(p);
  }
}

// A load starts afresh: whatever dataset A left behind (header values, delivery, wavelength
// lines, backgrounds, controls and their correction, tissue, matrix file, format, colours left
// out), dataset B's results file equals a fresh start's: nothing subtracted until S6 (B5);
// [[1, 0.1], [0.1, 1]] solves (120, 210) to (100, 200).
TEST_F(Runs, SecondDatasetEqualsAFreshStart) {
  const std::string fresh =
      CrLf({"This file has been spillover and background corrected.", "Dataset B", "Wavelengths\t2",
            "Color\tBlue\tRed", "", "", "", "", "", "Spillover Matrix\tBlue\tRed",
            "Blue\t1.0000\t0.1000", "Red\t0.1000\t1.0000", "", "Sample/Color\tBlue\tRed",
            "BG (Pures)\t0.0000\t0.0000", "P1\t100.000\t0.000", "P2\t0.000\t200.000",
            "S1\t100.000\t200.000", "S6\t100.000\t200.000"});
  for (int a : {0, 1, 2}) {  // B alone, after a run of A, after A was loaded and closed
    SCOPED_TRACE(a);
    if (a > 0) {
      ASSERT_EQ(
          Flow::Continue,
          Load(Write("a.fix",
                     CrLf({"Dataset A", "Pures\t4", "Wavelengths\t4", "Amount of solvent\t9",
                           "Delivery\tAuto", "ex sl\t1\t5\t5\t5\t5", "em sl\t1\t5\t5\t5\t5",
                           "ex wl\t1\t380\t420\t480\t540", "em wl\t1\t400\t440\t500\t560",
                           "Color Tube\tTissue\tBlue\tGreen\tRed", "P1\t0\t90\t9\t8\t7",
                           "P2\t0\t5\t300\t20\t1", "P3\t0\t4\t30\t400\t40", "P4\t0\t3\t2\t50\t500",
                           "S1\t0\t60\t70\t80\t90", "S7\t0\t61\t71\t81\t91"})),
               Write("a.blk", kBlankHead + CrLf({"B1\t3\t4\t5\t6", "B3\t7\t8\t9\t10"})),
               Write("a.ctl", kBlankHead + CrLf({"C1\t10\t20\t30\t40", "C4\t20\t40\t60\t80"}))));
      ASSERT_EQ(Flow::Continue,
                ReadMatrix(CrLf({"100\t1\t1\t1", "1\t100\t1\t1", "1\t1\t100\t1", "1\t1\t1\t100"})));
      SetControlCorrection(true);
      Microspheres({"10", "20", "30", "40"});
      Untick(3);
      host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
      if (a == 1) {
        ASSERT_EQ(Flow::Continue, Analyze());
      }
      CloseIt_Click(p);
    }
    std::string data =
        Write("b.fix", CrLf({"Dataset B", "Wavelengths\t2", "Color Tube\tBlue\tRed", "P1\t100\t10",
                             "P2\t20\t200", "S1\t120\t210", "S6\t130\t220"}));
    ASSERT_EQ(Flow::Continue, Load(data, Write("b.blk", kBlankHead + CrLf({"B5\t10\t10"})),
                                   Write("b.ctl", kBlankHead + CrLf({"C1\t5\t5", "C2\t10\t10"}))));
    ASSERT_EQ(Flow::Continue, Analyze());
    EXPECT_EQ(fresh, ReadFile(data + ".scf"));
  }
}

}  // namespace
}  // namespace kolvane
