// Results files of small hand-computed datasets. The pures were chosen so that the normalised
// spillover matrix has round entries, and every sample's readings were computed by hand from
// chosen true intensities x: reading at colour i = sum over pures j of M(j, i) x(j).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

// The wavelength lines stand before the delivery line and out of their echo order.
const std::string kHeader3 =
    CrLf({"Test run 1", "Pures\t3", "Wavelengths\t3", "Amount of solvent\t2.5", "Delivery\tManual",
          "ex wl\t420\t480\t540", "ex sl\t5\t5\t5", "em sl\t5\t5\t5", "em wl\t440\t500\t560",
          "Color Tube\tBlue\tGreen\tRed"});
const std::string kEcho3 =
    CrLf({"Test run 1", "Pures\t3", "Wavelengths\t3", "Amount of solvent\t2.5", "Delivery\tManual",
          "Color\tBlue\tGreen\tRed", "ex sl\t5\t5\t5", "em sl\t5\t5\t5", "ex wl\t420\t480\t540",
          "em wl\t440\t500\t560"});
// Pures: Blue (200, 20, 0) -> row (1, 0.1, 0); Green (10, 100, 30) -> (0.1, 1, 0.3);
// Red (40, 25, 500) -> (0.08, 0.05, 1).
// S1: x = (100, 50, 200) gives (100 + 5 + 16, 10 + 50 + 10, 0 + 15 + 200) = (121, 70, 215).
// S2: x = (0, 0, 10) gives (0.8, 0.5, 10).
const std::string kBody3 = CrLf({"P1\t200\t20\t0", "P2\t10\t100\t30", "P3\t40\t25\t500",
                                 "S1\t121\t70\t215", "S2\t0.8\t0.5\t10"});
const std::string kMatrix3 =
    CrLf({"", "Spillover Matrix\tBlue\tGreen\tRed", "Blue\t1.0000\t0.1000\t0.0000",
          "Green\t0.1000\t1.0000\t0.3000", "Red\t0.0800\t0.0500\t1.0000"});
const std::string kNoBackground =
    "This file has been spillover corrected.  Background correction was not performed.\r\n";

// Tissue (slot 1) passed through: the matrix of Blue (7, 200, 20) and Green (9, 10, 100) at
// colours Blue and Green is [[1, 0.1], [0.1, 1]]; (b, g) solves to x = (b - 0.1 g, g - 0.1 b)
// / 0.99. S1 (105, 60) -> (100, 50); P1 (30, 10) -> (29.2929.., 7.0707..).
const std::string kTissueData =
    CrLf({"Tissue run", "Pures\t3", "Wavelengths\t3", "Delivery\tManual", "ex sl\t5\t5\t5",
          "em sl\t5\t5\t5", "ex wl\t380\t420\t480", "em wl\t400\t440\t500",
          "Color Tube\tTissue\tBlue\tGreen", "P1\t50\t30\t10", "P2\t7\t200\t20", "P3\t9\t10\t100",
          "S1\t77\t105\t60"});
const std::string kOneColor = CrLf({"Wavelengths\t1", "Color Tube\tBlue"});
// A dataset without pures (Blue, Green, Red) for the matrix-file cases.
const std::string kNoPures =
    CrLf({"Pures\t0", "Wavelengths\t3", "Color Tube\tBlue\tGreen\tRed", "S1\t105\t60\t10"});

struct RunCase {
  const char* name;
  std::string data, blanks, controls;  // file texts; empty: the dialog is cancelled
  std::vector<const char*> micros;     // microspheres/ml entries; empty: intensity levels
  std::function<void()> choose;        // the user's further choices before Analyze
  // The whole results file when it starts with its first line; else how the file ends.
  std::string expected;
};

class ResultsFile : public FixedFixture {};

TEST_F(ResultsFile, HandComputedDatasets) {
  const RunCase cases[] = {
      {"all colours; intensity levels ignore the entries", kHeader3 + kBody3, "", "", {},
       [this] { SetMicrosPerMlFixText(p, 1, "abc"); },
       kNoBackground + kEcho3 + kMatrix3 +
           CrLf({"", "Sample/Color\tBlue\tGreen\tRed", "P1\t200.000\t0.000\t0.000",
                 "P2\t0.000\t100.000\t0.000", "P3\t0.000\t0.000\t500.000",
                 "S1\t100.000\t50.000\t200.000", "S2\t0.000\t0.000\t10.000"})},
      // Factors: the entry over the pure's own intensity: 1000/200, 2000/100, 500/500.
      {"microspheres/ml", kHeader3 + kBody3, "", "", {"1000", "2000", "500"}, nullptr,
       kNoBackground + kEcho3 + kMatrix3 +
           CrLf({"", "Sample/Color\tBlue\tGreen\tRed", "P1\t1000.000\t0.000\t0.000",
                 "P2\t0.000\t2000.000\t0.000", "P3\t0.000\t0.000\t500.000",
                 "S1\t500.000\t1000.000\t200.000", "S2\t0.000\t0.000\t10.000"})},
      // Blanks with medians (3, 2, 5) added to every reading of the dataset above.
      {"blanks subtracted",
       kHeader3 + CrLf({"P1\t203\t22\t5", "P2\t13\t102\t35", "P3\t43\t27\t505",
                        "S1\t124\t72\t220", "S2\t3.8\t2.5\t15"}),
       CrLf({"Blanks", "run 1", "", "B1\t2\t1\t4", "B1\t4\t3\t6", "B1\t3\t2\t5"}), "", {},
       [this] {
         EXPECT_TRUE(p.BackgroundOn);
         EXPECT_EQ("3", p.form.BlanksNum.caption);
       },
       "This file has been spillover and background corrected.\r\n" + kEcho3 + kMatrix3 +
           CrLf({"", "Sample/Color\tBlue\tGreen\tRed", "BG (Pures)\t3.0000\t2.0000\t5.0000",
                 "P1\t200.000\t0.000\t0.000", "P2\t0.000\t100.000\t0.000",
                 "P3\t0.000\t0.000\t500.000", "S1\t100.000\t50.000\t200.000",
                 "S2\t0.000\t0.000\t10.000"})},
      // Green left out: pures Blue and Red at colours Blue and Red give rows (1, 0) and
      // (0.08, 1); (b, r) solves to x(Red) = r, x(Blue) = b - 0.08 r.
      {"colour left out", kHeader3 + kBody3, "", "", {}, [this] { Untick(2); },
       kNoBackground + kEcho3 +
           CrLf({"", "Analysis adjustments", "\tWavelengths not used.", "\tGreen", "", "",
                 "Spillover Matrix\tBlue\tRed", "Blue\t1.0000\t0.0000", "Red\t0.0800\t1.0000", "",
                 "Sample/Color\tBlue\tRed", "P1\t200.000\t0.000", "P2\t7.600\t30.000",
                 "P3\t0.000\t500.000", "S1\t103.800\t215.000", "S2\t0.000\t10.000"})},
      // Factors 1000/200 and 500/500; the entry of the colour left out plays no part.
      {"colour left out, microspheres/ml", kHeader3 + kBody3, "", "", {"1000", "abc", "500"},
       [this] { Untick(2); },
       CrLf({"Sample/Color\tBlue\tRed", "P1\t1000.000\t0.000", "P2\t38.000\t30.000",
             "P3\t0.000\t500.000", "S1\t519.000\t215.000", "S2\t0.000\t10.000"})},
      {"tissue excluded", kTissueData, "", "", {}, nullptr,
       kNoBackground + CrLf({"Tissue run", "Pures\t3", "Wavelengths\t3", "Delivery\tManual",
                             "Color\tTissue\tBlue\tGreen", "ex sl\t5\t5\t5", "em sl\t5\t5\t5",
                             "ex wl\t380\t420\t480", "em wl\t400\t440\t500", "",
                             "Analysis adjustments", "\tTissue readings are not corrected.", "",
                             "", "Spillover Matrix\t\tBlue\tGreen", "Blue\t\t1.0000\t0.1000",
                             "Green\t\t0.1000\t1.0000", "", "Sample/Color\tTissue\tBlue\tGreen",
                             "P1\t50.0000\t29.293\t7.071", "P2\t7.0000\t200.000\t0.000",
                             "P3\t9.0000\t0.000\t100.000", "S1\t77.0000\t100.000\t50.000"})},
      {"tissue excluded and colour left out", kTissueData, "", "", {}, [this] { Untick(3); },
       CrLf({"em wl\t400\t440\t500", "", "Analysis adjustments",
             "\tTissue readings are not corrected.", "\tWavelengths not used.", "\tTissue\tGreen",
             "", "", "Spillover Matrix\t\tBlue", "Blue\t\t1.0000", "", "Sample/Color\tTissue\tBlue",
             "P1\t50.0000\t30.000", "P2\t7.0000\t200.000", "P3\t9.0000\t10.000",
             "S1\t77.0000\t105.000"})},
      {"tissue used in the correction, column not first",
       CrLf({"Wavelengths\t2", "Color Tube\tBlue\tTissue"}) + kTwoPures + CrLf({"S1\t1\t1"}),
       "", "", {}, [this] { UseTissue(); }, CrLf({"S1\t1.000\t1.000"})},
      // A pure reading above 998 makes every result "OL"; 998 itself does not. The matrix is
      // the identity either way.
      {"pure reading 999", kTwoColors + CrLf({"P1\t999\t0", "P2\t0\t500", "S1\t100\t50"}), "", "",
       {}, nullptr, CrLf({"S1\tOL\tOL"})},
      {"pure reading 998", kTwoColors + CrLf({"P1\t998\t0", "P2\t0\t500", "S1\t100\t50"}), "", "",
       {}, nullptr, CrLf({"S1\t100.000\t50.000"})},
      // Only the first pure of each colour counts; numbers that name no colour are passed
      // over. Each extra pure (0, 50) would make Red's factor 20 instead of 10.
      {"first pure of each colour",
       kTwoColors + kTwoPures +
           CrLf({"P2\t0\t50", "P40\t0\t50", "P0\t0\t50", "P-3\t0\t50", "S1\t10\t20"}),
       "", "", {"1000", "1000"}, nullptr, CrLf({"S1\t100.000\t200.000"})},
      // Entries need not be whole or above 0: factors 0/100 and 2.5/100.
      {"entries 0 and 2.5", kTwoColors + kTwoPures + CrLf({"S1\t10\t20"}), "", "", {"0", "2.5"},
       nullptr, CrLf({"P1\t0.000\t0.000", "P2\t0.000\t2.500", "S1\t0.000\t0.500"})},
      // Pure 100 less the first background 10 gives the matrix (1). S20 passes B15 and B16 at
      // once and takes only B15; S21 takes B16. The late pure keeps the pures' background.
      {"later blank records take over",
       kOneColor + CrLf({"P1\t100", "S1\t100", "S5\t100", "S6\t100", "S9\t100", "S10\t100",
                         "P1\t100", "S20\t100", "S21\t100"}),
       kBlankHead + CrLf({"B1\t10", "B1\t10", "B5\t20", "B9\t30", "B15\t40", "B16\t50"}), "", {},
       nullptr,
       CrLf({"Sample/Color\tBlue", "BG (Pures)\t10.0000", "P1\t90.000", "S1\t90.000",
             "S5\t90.000", "S6\t80.000", "S9\t80.000", "S10\t70.000", "P1\t90.000", "S20\t60.000",
             "S21\t50.000"})},
      {"background subtraction unticked", kOneColor + CrLf({"P1\t100", "S1\t100", "S6\t100"}),
       kBlankHead + CrLf({"B1\t10", "B5\t20"}), "", {},
       [this] {
         p.form.BackSub.ticked = false;
         BackSub_Click(p);
       },
       kNoBackground + CrLf({"Wavelengths\t1", "Color\tBlue", "", "", "", "", "",
                             "Spillover Matrix\tBlue", "Blue\t1.0000", "", "Sample/Color\tBlue",
                             "P1\t100.000", "S1\t100.000", "S6\t100.000"})},
      // Reference 50; current 50, then 25 above 5, then 100 above 9. Pures are not corrected.
      {"control correction follows the control records",
       kOneColor + CrLf({"P1\t100", "S1\t100", "S5\t100", "S6\t100", "S10\t100"}), "",
       kBlankHead + CrLf({"C1\t40", "C1\t60", "C5\t25", "C9\t100"}), {},
       [this] {
         EXPECT_EQ("4", p.form.ControlsNum.caption);
         EXPECT_EQ("NA", p.form.BlanksNum.caption);
         SetControlCorrection(true);
       },
       CrLf({"Sample/Color\tBlue", "P1\t100.000", "S1\t100.000", "S5\t100.000", "S6\t200.000",
             "S10\t50.000"})},
      // Without records numbered 1 the first record is the reference and the current control
      // until the next one takes over: 40, then 80 above 7.
      {"controls without a first group", kOneColor + CrLf({"P1\t100", "S1\t100", "S8\t100"}),
       "", kBlankHead + CrLf({"C3\t40", "C7\t80"}), {}, [this] { SetControlCorrection(true); },
       CrLf({"S1\t100.000", "S8\t50.000"})},
      {"one control record", kOneColor + CrLf({"P1\t100", "S1\t100", "S8\t100"}), "",
       kBlankHead + CrLf({"C3\t40"}), {}, [this] { SetControlCorrection(true); },
       CrLf({"S1\t100.000", "S8\t100.000"})},
      // The controls are compacted with the run's colour choice: with Blue left out, Red's
      // reference (20) and current control (40 above 5) correct Red.
      {"controls follow the run's colour choice",
       kTwoColors + kTwoPures + CrLf({"S1\t10\t30", "S6\t10\t30"}), "",
       kBlankHead + CrLf({"C1\t10\t20", "C5\t5\t40"}), {},
       [this] {
         SetControlCorrection(true);
         Untick(1);
       },
       CrLf({"Sample/Color\tRed", "P1\t0.000", "P2\t100.000", "S1\t30.000", "S6\t15.000"})},
      // Background (10, 10); pures Blue (110, 60) and Red (5, 110) give rows (1, 0.5), (0, 1):
      // (b, r) solves to (b, r - 0.5 b). In the pure pass Red's -5 becomes 0 before the solve;
      // in the sample pass differences stay negative: S1 (5, 60) -> (-5, 50) -> (0, 52.5).
      {"negative differences",
       kTwoColors + CrLf({"P1\t110\t60", "P2\t5\t110", "S1\t5\t60"}),
       kBlankHead + CrLf({"B1\t10\t10"}), "", {"1000", "1000"}, nullptr,
       CrLf({"Sample/Color\tBlue\tRed", "BG (Pures)\t10.0000\t10.0000", "P1\t1000.000\t0.000",
             "P2\t0.000\t1025.000", "S1\t0.000\t525.000"})},
      // Blue and Green with spillover 0.1 both ways, Red alone: S1 (105, 60, 10) solves to
      // (100, 50, 10). Intensity levels are never scaled by the entered values.
      {"matrix file", kNoPures, "", "", {},
       [this] {
         SetMicrosPerMlFixText(p, 1, "7");
         ASSERT_EQ(Flow::Continue, ReadMatrix(CrLf({"100\t10\t0", "10\t100\t0", "0\t0\t100"})));
       },
       CrLf({"Color\tBlue\tGreen\tRed", "", "", "", "", "",
             "Spillover Matrix Read from File: " + Path("m.spl"),
             "Spillover Matrix\tBlue\tGreen\tRed", "Blue\t1.0000\t0.1000\t0.0000",
             "Green\t0.1000\t1.0000\t0.0000", "Red\t0.0000\t0.0000\t1.0000", "",
             "Sample/Color\tBlue\tGreen\tRed", "S1\t100.000\t50.000\t10.000"})},
      {"matrix file, microspheres/ml multiply by the entries", kNoPures, "", "",
       {"2", "3", "0.5"},
       [this] {
         ASSERT_EQ(Flow::Continue, ReadMatrix(CrLf({"100\t10\t0", "10\t100\t0", "0\t0\t100"})));
       },
       CrLf({"S1\t200.000\t150.000\t5.000"})},
      // Green left out: compacted from the file's own matrix, Blue and Red with spillover 0.2
      // from Red to Blue. S1 -> Red 10, Blue 105 - 2 = 103.
      {"matrix file, colour left out", kNoPures, "", "", {},
       [this] {
         ASSERT_EQ(Flow::Continue, ReadMatrix(CrLf({"100\t10\t0", "10\t100\t0", "20\t0\t100"})));
         Untick(2);
       },
       CrLf({"Spillover Matrix\tBlue\tRed", "Blue\t1.0000\t0.0000", "Red\t0.2000\t1.0000", "",
             "Sample/Color\tBlue\tRed", "S1\t103.000\t10.000"})},
      {"matrix file replaces the pures' matrix",
       kTwoColors + CrLf({"P1\t100\t50", "P2\t50\t100", "S1\t30\t20"}), "", "", {},
       [this] { ASSERT_EQ(Flow::Continue, ReadMatrix(CrLf({"100\t0", "0\t100"}))); },
       CrLf({"P1\t100.000\t50.000", "P2\t50.000\t100.000", "S1\t30.000\t20.000"})},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };  // preselected: excluded
    std::string data = Write("d.fix", c.data);
    if (c.data.find("P1\t") == std::string::npos) host.ExpectMessage(kNoPuresMessage);
    ASSERT_EQ(Flow::Continue, Load(data, c.blanks.empty() ? "" : Write("d.blk", c.blanks),
                                   c.controls.empty() ? "" : Write("d.ctl", c.controls)));
    if (!c.micros.empty()) Microspheres(c.micros);
    if (c.choose) c.choose();
    ASSERT_EQ(Flow::Continue, Analyze());
    EXPECT_TRUE(p.RunCompleted);
    std::string text = Read(data + ".scf");
    bool whole = c.expected.rfind("This file", 0) == 0;
    EXPECT_EQ(c.expected,
              whole ? text : text.substr(text.size() - std::min(text.size(), c.expected.size())));
    // The run keeps its factors to itself: the entries stay as typed.
    for (std::size_t i = 0; i < c.micros.size(); ++i) {
      char* end = nullptr;
      double typed = std::strtod(c.micros[i], &end);
      if (*end == '\0') {
        EXPECT_EQ(typed, p.MicrosPerMlValues[i + 1]) << i + 1;
      }
    }
  }
}

// The stored tissue sample replaces row and column 1 (Blue: 0.6165 and 0.1034) and the rest is
// normalised from column 2 on: Blue (7, 200, 20) -> 0.1; Green (9, 10, 100) -> 0.1.
TEST_F(ResultsFile, StoredTissueSampleIsPrinted) {
  std::string data = Write("t.fix", kTissueData);
  ASSERT_EQ(Flow::Continue, Load(data));
  UseTissue();
  host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseStored_Click(f); };
  EXPECT_EQ(Flow::Continue, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(
      std::string::npos,
      text.find(CrLf({"Spillover Matrix\tTissue\tBlue\tGreen", "Tissue\t1.0000\t0.6165\t0.0000",
                      "Blue\t0.1034\t1.0000\t0.1000", "Green\t0.0000\t0.1000\t1.0000"})))
      << text;
}

// One elimination for the run, or the system restored and eliminated for every record: the
// same file byte for byte. The readings do not solve to round numbers, need pivoting (Green's
// pure is strongest at Blue) and have a background, so that every digit counts.
TEST_F(ResultsFile, EliminatingOnceEqualsSolvingEachRecordAfresh) {
  std::string data =
      Write("mix.fix", kHeader3 + CrLf({"P1\t310.7\t41.3\t12.9", "P2\t420.1\t95.2\t33.3",
                                        "P3\t17.4\t88.8\t612.5", "S1\t123.456\t78.9\t301.2",
                                        "S2\t999.1\t0.3\t14.7", "S3\t55.5\t66.6\t77.7"}));
  std::string blanks = Write("mix.blk", kBlankHead + CrLf({"B1\t1.1\t2.2\t0.7", "B2\t3\t1\t2"}));
  std::string texts[2];
  for (int afresh = 0; afresh < 2; ++afresh) {
    p.fixed.SolveEachRecordAfresh = afresh == 1;
    ASSERT_EQ(Flow::Continue, Load(data, blanks));
    Microspheres({"1000", "1500", "2500"});
    ASSERT_EQ(Flow::Continue, Analyze());
    texts[afresh] = Read(data + ".scf");
  }
  EXPECT_EQ(texts[0], texts[1]);
  EXPECT_NE(std::string::npos, texts[0].find("\r\nS3\t")) << texts[0];
}

}  // namespace
}  // namespace kolvane
