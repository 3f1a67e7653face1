// Blanks and controls: the median of the first group, later records taking over for the
// samples numbered above them, and the control correction, checked through whole runs of a
// one- or two-colour dataset whose matrix is the identity, so that a result is the reading less
// the background, times the reference control over the current control.
#include "fixed/blanks_controls.h"

#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class BlanksControls : public FixedFixture {
 protected:
  // Reads a blanks file of `colors` colours on its own.
  Flow ReadBlanks(int colors, const std::string& records) {
    p.NumColors = static_cast<std::int16_t>(colors);
    std::string path = Write("b.blk", CrLf({"h1", "h2", "h3"}) + records);
    EXPECT_TRUE(p.channels.In(Channels::kBlanks).Open(path));
    p.BlanksPresent = true;
    return ReadBlanksFile(p);
  }
  Flow ReadControls(int colors, const std::string& records) {
    p.NumColors = static_cast<std::int16_t>(colors);
    std::string path = Write("c.ctl", CrLf({"h1", "h2", "h3"}) + records);
    EXPECT_TRUE(p.channels.In(Channels::kControls).Open(path));
    return ReadControlsFile(p);
  }
  // The record lines of a results file from the "Sample/Color" heading on.
  std::string Records(const std::string& results) {
    std::string text = Read(results);
    auto at = text.find("Sample/Color");
    return at == std::string::npos ? text : text.substr(at);
  }
};

TEST_F(BlanksControls, FirstGroupMedian) {
  struct Case {
    const char* records;
    double median;
  } cases[] = {
      {"B1\t5\r\nB1\t9\r\nB1\t7\r\n", 7},
      {"B1\t5\r\nB1\t9\r\nB1\t7\r\nB1\t3\r\n", 6},
      {"B1\t42\r\n", 42},
      {"B1\t-2\r\nB1\t4\r\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records);
    ASSERT_EQ(Flow::Continue, ReadBlanks(1, c.records));
    EXPECT_EQ(c.median, p.fixed.SampleBackground[1]);
    EXPECT_EQ(c.median, p.fixed.PureBackground[1]);
    EXPECT_EQ(FixedTables::kNoRecord, p.fixed.NextBlankStart);
  }
}

TEST_F(BlanksControls, EachColorIsSortedByItself) {
  ASSERT_EQ(Flow::Continue, ReadBlanks(2, CrLf({"B1\t5\t30", "B1\t9\t10", "B1\t7\t20"})));
  EXPECT_EQ(7, p.fixed.SampleBackground[1]);
  EXPECT_EQ(20, p.fixed.SampleBackground[2]);
}

TEST_F(BlanksControls, LaterRecordsAndEmptyLines) {
  ASSERT_EQ(Flow::Continue, ReadBlanks(1, CrLf({"B1\t5", "", "B1\t7", "B5\t1", "B9\t2", ""})));
  EXPECT_EQ(4, p.NumBlanks);
  EXPECT_EQ(6, p.fixed.SampleBackground[1]);
  EXPECT_EQ(3, p.fixed.NextBlankIndex);
  EXPECT_EQ(5, p.fixed.NextBlankStart);
}

TEST_F(BlanksControls, NoRecordNumberedOneGivesZeroBackground) {
  p.fixed.SampleBackground[1] = p.fixed.PureBackground[1] = 55;  // an earlier dataset's
  ASSERT_EQ(Flow::Continue, ReadBlanks(1, CrLf({"B2.5\t5", "B3.5\t9"})));
  EXPECT_EQ(0, p.fixed.SampleBackground[1]);
  EXPECT_EQ(0, p.fixed.PureBackground[1]);
  EXPECT_EQ(1, p.fixed.NextBlankIndex);
  EXPECT_EQ(2, p.fixed.NextBlankStart);  // 2.5 rounds to the even 2
}

TEST_F(BlanksControls, HeadingLinesOnlyTurnBackgroundSubtractionOff) {
  p.BackgroundOn = true;
  ASSERT_EQ(Flow::Continue, ReadBlanks(1, ""));
  EXPECT_EQ(0, p.NumBlanks);
  EXPECT_FALSE(p.BackgroundOn);
  EXPECT_FALSE(p.BlanksPresent);
}

TEST_F(BlanksControls, LaterBlankRecordsTakeOverAboveTheirNumbers) {
  // Pure 100 less the first background 10 gives the one-colour matrix (1).
  std::string data =
      Write("one.fix", CrLf({"Wavelengths\t1", "Color Tube\tBlue", "P1\t100", "S1\t100", "S5\t100",
                             "S6\t100", "S9\t100", "S10\t100", "P1\t100", "S20\t100", "S21\t100"}));
  std::string blanks =
      Write("one.blk",
            CrLf({"h", "h", "h", "B1\t10", "B1\t10", "B5\t20", "B9\t30", "B15\t40", "B16\t50"}));
  ASSERT_EQ(Flow::Continue, Load(data, blanks));
  ASSERT_EQ(Flow::Continue, Analyze());
  // S20 passes B15 and B16 at once and takes only B15; S21 takes B16. The late pure keeps the
  // pures' background.
  EXPECT_EQ(
      CrLf({"Sample/Color\tBlue", "BG (Pures)\t10.0000", "P1\t90.000", "S1\t90.000", "S5\t90.000",
            "S6\t80.000", "S9\t80.000", "S10\t70.000", "P1\t90.000", "S20\t60.000", "S21\t50.000"}),
      Records(data + ".scf"));
}

TEST_F(BlanksControls, BackgroundSubtractionUntickedLeavesReadingsAlone) {
  std::string data = Write(
      "one.fix", CrLf({"Wavelengths\t1", "Color Tube\tBlue", "P1\t100", "S1\t100", "S6\t100"}));
  std::string blanks = Write("one.blk", CrLf({"h", "h", "h", "B1\t10", "B5\t20"}));
  ASSERT_EQ(Flow::Continue, Load(data, blanks));
  p.form.BackSub.ticked = false;
  BackSub_Click(p);
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_EQ(0u, text.find("This file has been spillover corrected.  Background correction was "
                          "not performed.\r\n"));
  EXPECT_EQ(CrLf({"Sample/Color\tBlue", "P1\t100.000", "S1\t100.000", "S6\t100.000"}),
            Records(data + ".scf"));
}

TEST_F(BlanksControls, ControlCorrectionFollowsTheControlRecords) {
  std::string data = Write("one.fix", CrLf({"Wavelengths\t1", "Color Tube\tBlue", "P1\t100",
                                            "S1\t100", "S5\t100", "S6\t100", "S10\t100"}));
  std::string controls =
      Write("one.ctl", CrLf({"h", "h", "h", "C1\t40", "C1\t60", "C5\t25", "C9\t100"}));
  ASSERT_EQ(Flow::Continue, Load(data, "", controls));
  EXPECT_EQ("4", p.form.ControlsNum.caption);
  EXPECT_EQ("NA", p.form.BlanksNum.caption);
  p.form.ControlCorr.ticked = true;
  ControlCorr_Click(p);
  ASSERT_EQ(Flow::Continue, Analyze());
  // Reference 50; current 50, then 25 above 5, then 100 above 9. Pures are not corrected.
  EXPECT_EQ(CrLf({"Sample/Color\tBlue", "P1\t100.000", "S1\t100.000", "S5\t100.000", "S6\t200.000",
                  "S10\t50.000"}),
            Records(data + ".scf"));
}

TEST_F(BlanksControls, ControlsWithoutFirstGroupUseTheirFirstRecord) {
  ASSERT_EQ(Flow::Continue, ReadControls(1, CrLf({"C3\t40", "C7\t80"})));
  EXPECT_EQ(40, p.fixed.ControlReference[1]);
  EXPECT_EQ(40, p.fixed.ControlCurrent[1]);
  EXPECT_EQ(2, p.fixed.NextControlIndex);
  EXPECT_EQ(7, p.fixed.NextControlStart);
  ASSERT_EQ(Flow::Continue, ReadControls(1, CrLf({"C3\t40"})));
  EXPECT_EQ(FixedTables::kNoRecord, p.fixed.NextControlIndex);
  EXPECT_EQ(FixedTables::kNoRecord, p.fixed.NextControlStart);
}

// The controls are compacted with the colour choice of the run, not of the load: with Blue
// left out, Red's reference (20) and current control (40 above 5) correct Red.
TEST_F(BlanksControls, ControlsFollowTheRunsColorChoice) {
  std::string data = Write("two.fix", CrLf({"Wavelengths\t2", "Color Tube\tBlue\tRed", "P1\t100\t0",
                                            "P2\t0\t100", "S1\t10\t30", "S6\t10\t30"}));
  std::string controls = Write("two.ctl", CrLf({"h", "h", "h", "C1\t10\t20", "C5\t5\t40"}));
  ASSERT_EQ(Flow::Continue, Load(data, "", controls));
  p.form.ControlCorr.ticked = true;
  ControlCorr_Click(p);
  Untick(1);
  ASSERT_EQ(Flow::Continue, Analyze());
  EXPECT_EQ(CrLf({"Sample/Color\tRed", "P1\t0.000", "P2\t100.000", "S1\t30.000", "S6\t15.000"}),
            Records(data + ".scf"));
}

TEST_F(BlanksControls, CompactionKeepsTheEntriesAfterTheLastColorInUse) {
  p.NumColors = 3;
  for (int c = 1; c <= 3; ++c) p.ColorSelected[c] = c != 2;
  p.fixed.PureBackground = {0, 1, 2, 3};
  CompactBackground(p, 1);
  EXPECT_EQ(1, p.fixed.PureBackground[1]);
  EXPECT_EQ(3, p.fixed.PureBackground[2]);
  EXPECT_EQ(3, p.fixed.PureBackground[3]);
}

}  // namespace
}  // namespace kolvane

namespace kolvane {
namespace {

// Background (10, 10); pures Blue (110, 60) and Red (5, 110) give rows (1, 0.5) and (0, 1), so
// (b, r) solves to x(Blue) = b, x(Red) = r - 0.5 b. In the pure pass Red's -5 becomes 0 before
// the solve (factor 1000/100); in the sample pass differences stay negative until the solve:
// S1 (5, 60) -> (-5, 50) -> Blue 0, Red 52.5; the pure Red's own line (-5, 100) -> 102.5.
TEST_F(BlanksControls, NegativeDifferencesInThePureAndSamplePasses) {
  std::string data = Write("neg.fix", CrLf({"Wavelengths\t2", "Color Tube\tBlue\tRed",
                                            "P1\t110\t60", "P2\t5\t110", "S1\t5\t60"}));
  std::string blanks = Write("neg.blk", CrLf({"h", "h", "h", "B1\t10\t10"}));
  ASSERT_EQ(Flow::Continue, Load(data, blanks));
  Microspheres({"1000", "1000"});
  ASSERT_EQ(Flow::Continue, Analyze());
  EXPECT_EQ(CrLf({"Sample/Color\tBlue\tRed", "BG (Pures)\t10.0000\t10.0000", "P1\t1000.000\t0.000",
                  "P2\t0.000\t1025.000", "S1\t0.000\t525.000"}),
            Records(data + ".scf"));
}

}  // namespace
}  // namespace kolvane
