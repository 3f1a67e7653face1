// Whole results files of small hand-computed datasets. The pures were chosen so that the
// normalised spillover matrix has round entries, and every sample's readings were computed by
// hand from chosen true intensities x: reading at colour i = sum over pures j of M(j, i) x(j).
#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

// Pures: Blue (200, 20, 0) -> row (1, 0.1, 0); Green (10, 100, 30) -> (0.1, 1, 0.3);
// Red (40, 25, 500) -> (0.08, 0.05, 1).
// S1: x = (100, 50, 200) gives (100 + 5 + 16, 10 + 50 + 10, 0 + 15 + 200) = (121, 70, 215).
// S2: x = (0, 0, 10) gives (0.8, 0.5, 10).
std::string ThreeColorBody() {
  return CrLf({"P1\t200\t20\t0", "P2\t10\t100\t30", "P3\t40\t25\t500", "S1\t121\t70\t215",
               "S2\t0.8\t0.5\t10"});
}

std::string MatrixBlock() {
  return CrLf({"", "Spillover Matrix\tBlue\tGreen\tRed", "Blue\t1.0000\t0.1000\t0.0000",
               "Green\t0.1000\t1.0000\t0.3000", "Red\t0.0800\t0.0500\t1.0000"});
}

class ResultsFile : public FixedFixture {};

TEST_F(ResultsFile, AllColorsIntensityLevelsWithoutBlanks) {
  std::string data = Write("three.fix", ThreeColorHeader() + ThreeColorBody());
  ASSERT_EQ(Flow::Continue, Load(data));
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string expected =
      CrLf({"This file has been spillover corrected.  Background correction was not "
            "performed."}) +
      ThreeColorHeaderEcho() + MatrixBlock() +
      CrLf({"", "Sample/Color\tBlue\tGreen\tRed", "P1\t200.000\t0.000\t0.000",
            "P2\t0.000\t100.000\t0.000", "P3\t0.000\t0.000\t500.000",
            "S1\t100.000\t50.000\t200.000", "S2\t0.000\t0.000\t10.000"});
  EXPECT_EQ(expected, Read(data + ".scf"));
  EXPECT_TRUE(p.RunCompleted);
}

// Factors: entered microspheres/ml over the pure's own intensity: 1000/200, 2000/100, 500/500.
TEST_F(ResultsFile, AllColorsMicrospheresPerMl) {
  std::string data = Write("three.fix", ThreeColorHeader() + ThreeColorBody());
  ASSERT_EQ(Flow::Continue, Load(data));
  Microspheres({"1000", "2000", "500"});
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string expected =
      CrLf({"This file has been spillover corrected.  Background correction was not "
            "performed."}) +
      ThreeColorHeaderEcho() + MatrixBlock() +
      CrLf({"", "Sample/Color\tBlue\tGreen\tRed", "P1\t1000.000\t0.000\t0.000",
            "P2\t0.000\t2000.000\t0.000", "P3\t0.000\t0.000\t500.000",
            "S1\t500.000\t1000.000\t200.000", "S2\t0.000\t0.000\t10.000"});
  EXPECT_EQ(expected, Read(data + ".scf"));
  // The run keeps its factors to itself: the entries stay as typed.
  EXPECT_EQ(1000.0, p.MicrosPerMlValues[1]);
  EXPECT_EQ(2000.0, p.MicrosPerMlValues[2]);
  EXPECT_EQ(500.0, p.MicrosPerMlValues[3]);
}

// Blanks 1, 1, 1 with medians (3, 2, 5): every reading of the file above plus that background.
TEST_F(ResultsFile, WithBlanksSubtracted) {
  std::string data = Write(
      "bg.fix", ThreeColorHeader() + CrLf({"P1\t203\t22\t5", "P2\t13\t102\t35", "P3\t43\t27\t505",
                                           "S1\t124\t72\t220", "S2\t3.8\t2.5\t15"}));
  std::string blanks =
      Write("bg.blk", CrLf({"Blanks", "run 1", "", "B1\t2\t1\t4", "B1\t4\t3\t6", "B1\t3\t2\t5"}));
  ASSERT_EQ(Flow::Continue, Load(data, blanks));
  EXPECT_TRUE(p.BackgroundOn);
  EXPECT_EQ("3", p.form.BlanksNum.caption);
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string expected =
      CrLf({"This file has been spillover and background corrected."}) + ThreeColorHeaderEcho() +
      MatrixBlock() +
      CrLf({"", "Sample/Color\tBlue\tGreen\tRed", "BG (Pures)\t3.0000\t2.0000\t5.0000",
            "P1\t200.000\t0.000\t0.000", "P2\t0.000\t100.000\t0.000", "P3\t0.000\t0.000\t500.000",
            "S1\t100.000\t50.000\t200.000", "S2\t0.000\t0.000\t10.000"});
  EXPECT_EQ(expected, Read(data + ".scf"));
}

// Green left out: the matrix of pures Blue and Red at colours Blue and Red is rows (1, 0) and
// (0.08, 1); a record (b, r) solves to x(Red) = r, x(Blue) = b - 0.08 r.
TEST_F(ResultsFile, ColorLeftOut) {
  std::string data = Write("three.fix", ThreeColorHeader() + ThreeColorBody());
  ASSERT_EQ(Flow::Continue, Load(data));
  Untick(2);
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string expected =
      CrLf({"This file has been spillover corrected.  Background correction was not "
            "performed."}) +
      ThreeColorHeaderEcho() +
      CrLf({"", "Analysis adjustments", "\tWavelengths not used.", "\tGreen", "", "",
            "Spillover Matrix\tBlue\tRed", "Blue\t1.0000\t0.0000", "Red\t0.0800\t1.0000", "",
            "Sample/Color\tBlue\tRed", "P1\t200.000\t0.000", "P2\t7.600\t30.000",
            "P3\t0.000\t500.000", "S1\t103.800\t215.000", "S2\t0.000\t10.000"});
  EXPECT_EQ(expected, Read(data + ".scf"));
}

// The same with microspheres/ml: factors 1000/200 for Blue and 500/500 for Red; the entry of
// the colour left out plays no part.
TEST_F(ResultsFile, ColorLeftOutMicrospheres) {
  std::string data = Write("three.fix", ThreeColorHeader() + ThreeColorBody());
  ASSERT_EQ(Flow::Continue, Load(data));
  Untick(2);
  Microspheres({"1000", "abc", "500"});
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(std::string::npos,
            text.find(CrLf({"Sample/Color\tBlue\tRed", "P1\t1000.000\t0.000", "P2\t38.000\t30.000",
                            "P3\t0.000\t500.000", "S1\t519.000\t215.000", "S2\t0.000\t10.000"})))
      << text;
}

// Tissue (slot 1) passed through: the matrix of Blue (7, 200, 20) and Green (9, 10, 100) at
// colours Blue and Green is [[1, 0.1], [0.1, 1]]; (b, g) solves to x = (b - 0.1 g, g - 0.1 b)
// / 0.99. S1 (105, 60) -> (100, 50); P1 (30, 10) -> (29.2929.., 7.0707..).
std::string TissueData() {
  return CrLf({"Tissue run", "Pures\t3", "Wavelengths\t3", "Delivery\tManual", "ex sl\t5\t5\t5",
               "em sl\t5\t5\t5", "ex wl\t380\t420\t480", "em wl\t400\t440\t500",
               "Color Tube\tTissue\tBlue\tGreen", "P1\t50\t30\t10", "P2\t7\t200\t20",
               "P3\t9\t10\t100", "S1\t77\t105\t60"});
}

TEST_F(ResultsFile, TissueExcluded) {
  std::string data = Write("tissue.fix", TissueData());
  ASSERT_EQ(Flow::Continue, Load(data));
  EXPECT_EQ(kBlue, p.form.Color[1].text_color);
  host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string expected =
      CrLf({"This file has been spillover corrected.  Background correction was not performed.",
            "Tissue run",
            "Pures\t3",
            "Wavelengths\t3",
            "Delivery\tManual",
            "Color\tTissue\tBlue\tGreen",
            "ex sl\t5\t5\t5",
            "em sl\t5\t5\t5",
            "ex wl\t380\t420\t480",
            "em wl\t400\t440\t500",
            "",
            "Analysis adjustments",
            "\tTissue readings are not corrected.",
            "",
            "",
            "Spillover Matrix\t\tBlue\tGreen",
            "Blue\t\t1.0000\t0.1000",
            "Green\t\t0.1000\t1.0000",
            "",
            "Sample/Color\tTissue\tBlue\tGreen",
            "P1\t50.0000\t29.293\t7.071",
            "P2\t7.0000\t200.000\t0.000",
            "P3\t9.0000\t0.000\t100.000",
            "S1\t77.0000\t100.000\t50.000"});
  EXPECT_EQ(expected, Read(data + ".scf"));
}

// Tissue passed through and Green left out: both captions are listed as not used; the matrix
// is Blue alone.
TEST_F(ResultsFile, TissueExcludedAndColorLeftOut) {
  std::string data = Write("tissue.fix", TissueData());
  ASSERT_EQ(Flow::Continue, Load(data));
  Untick(3);
  host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(std::string::npos,
            text.find(CrLf({"em wl\t400\t440\t500", "", "Analysis adjustments",
                            "\tTissue readings are not corrected.", "\tWavelengths not used.",
                            "\tTissue\tGreen", "", "", "Spillover Matrix\t\tBlue", "Blue\t\t1.0000",
                            "", "Sample/Color\tTissue\tBlue", "P1\t50.0000\t30.000",
                            "P2\t7.0000\t200.000", "P3\t9.0000\t10.000", "S1\t77.0000\t105.000"})))
      << text;
}

// Overload: a pure reading above 998 makes every result "OL"; 998 itself does not.
TEST_F(ResultsFile, PureReadingAbove998MakesEveryResultOverloaded) {
  struct Case {
    const char* reading;
    const char* s1_line;
  } cases[] = {{"999", "S1\tOL\tOL"}, {"998", "S1\t100.000\t50.000"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reading);
    // Pures (c, 0) and (0, 500): the matrix is the identity whatever c is.
    std::string data = Write(
        "ol.fix", CrLf({"Pures\t2", "Wavelengths\t2", "Color Tube\tBlue\tRed",
                        std::string("P1\t") + c.reading + "\t0", "P2\t0\t500", "S1\t100\t50"}));
    ASSERT_EQ(Flow::Continue, Load(data));
    ASSERT_EQ(Flow::Continue, Analyze());
    std::string text = Read(data + ".scf");
    EXPECT_NE(std::string::npos, text.find("\r\n" + std::string(c.s1_line) + "\r\n")) << text;
  }
}

// Both ways of solving (one elimination for the run, or the system restored and eliminated for
// every record) write the same file byte for byte.
TEST_F(ResultsFile, EliminatingOnceEqualsSolvingEachRecordAfresh) {
  // Readings that do not solve to round numbers, with pivoting (Green's pure is strongest at
  // Blue) and a background, so that every digit counts.
  std::string body =
      CrLf({"P1\t310.7\t41.3\t12.9", "P2\t420.1\t95.2\t33.3", "P3\t17.4\t88.8\t612.5",
            "S1\t123.456\t78.9\t301.2", "S2\t999.1\t0.3\t14.7", "S3\t55.5\t66.6\t77.7"});
  std::string data = Write("mix.fix", ThreeColorHeader() + body);
  std::string blanks = Write("mix.blk", CrLf({"h", "h", "h", "B1\t1.1\t2.2\t0.7", "B2\t3\t1\t2"}));
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
