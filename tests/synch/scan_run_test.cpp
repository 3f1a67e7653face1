// The whole run section of a hand-worked two-pure dataset. The pures are tents with a plateau
// over each other's fit points, so every figure below follows by hand:
//   pure 1: 20 40 60 80 100 80 60 40 20 around point 97 (492 nm), 10 on points 104..108;
//   pure 2: 40 80 120 160 200 160 120 80 40 around point 106 (510 nm), 10 on points 95..99.
// Half and three-quarter levels 50/75 and 100/150 put the fit points at 95..99 and 104..108,
// so the pure matrix has the columns (0.6 0.8 1 0.8 0.6 | 0.1 x5) and (0.05 x5 | 0.6 0.8 1 0.8
// 0.6). A record that is an exact mix a*pure1 + b*pure2 has the intensities 100a and 200b,
// SS 0 and R^2 1.
#include <gtest/gtest.h>

#include "app/color_panel.h"
#include "scan_fixture.h"

namespace kolvane {
namespace {

using namespace scantest;

const char* const kFrom300 = "Scan lower\t300\r\nScan upper\t540\r\nScan data interval\t2\r\n";

std::string HandWorkedData(const std::string& header, int n, int c1, int c2, int point350) {
  Values p1 = PureOne(n, c1, c2), p2 = PureTwo(n, c1, c2);
  Values s1 = Mix(p1, 3, p2, 2);
  if (point350 > 0) s1[point350] = 12.5;  // tissue at 350 nm, away from every fit point
  Values s3(n + 1, 0.0);
  return header + Record("P1", p1) + Record("P2", p2) + Record("S1", s1) +
         Record("S2", Mix(p1, 1, p2, 10)) + Record("S3", s3);
}

const std::vector<std::string> kHeaderEcho = {
    "This file has been spillover corrected.",
    "KOLVANE test scan",
    "Operator\tA. N. Other",
    "Lab 3",
    "Pures\t2",
    "Amount of solvent\t2.5",
    "Delivery\tManual",
    "Scan lower\t300",
    "Scan upper\t540",
    "Scan data interval\t2",
    "Date/Time\t2024-01-01 10:00",
};

const std::vector<std::string> kMatrix = {
    "Overdetermined Pure Matrix",
    "Pure/Wavelength\t488.00\t490.00\t492.00\t494.00\t496.00\t506.00\t508.00\t510.00\t512.00\t"
    "514.00",
    "1\t0.60\t0.80\t1.00\t0.80\t0.60\t0.10\t0.10\t0.10\t0.10\t0.10",
    "2\t0.05\t0.05\t0.05\t0.05\t0.05\t0.60\t0.80\t1.00\t0.80\t0.60",
    "",
    "",
    "\tYellow-Green\tYellow",
};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class HandWorkedRun : public ScanTest {
 protected:
  void LoadFrom300() {
    data = Write("two_pures.syn", HandWorkedData(Header(kFrom300), 120, 97, 106, 26));
    results = PathOf("two_pures.scf");
    ASSERT_EQ(Load(data, "", results), Flow::Continue);
  }
  std::string data, results;
};

TEST_F(HandWorkedRun, IntensityLevelsGiveTheWholeRunSection) {
  LoadFrom300();
  EXPECT_EQ(Run(), Flow::Continue);
  EXPECT_TRUE(p.RunCompleted);
  std::vector<std::string> expected = Concat({
      kHeaderEcho,
      {"", ""},
      kMatrix,
      {"Sample/Wl\t492\t510\tSS\tR^2\tMax. Tissue\tHi-Lo Flag",
       "P1\t100.000\t0.000\t0.00\t1.000\t0.00", "P2\t0.000\t200.000\t0.00\t1.000\t0.00",
       // 3*pure1 + 2*pure2: peaks 320 and 430, no flag; 12.5 at 350 nm.
       "S1\t300.000\t400.000\t0.00\t1.000\t12.50",
       // pure1 + 10*pure2: peaks 200 and 2010, 200/2010 < 0.1: flagged.
       "S2\t100.000\t2000.000\t0.00\t1.000\t0.00\t***",
       // All zero: observed and fitted values all equal, so R^2 stays empty; a zero peak flags.
       "S3\t0.000\t0.000\t0.00\t\t0.00\t***"},
  });
  EXPECT_EQ(Lines(results), expected);
}

TEST_F(HandWorkedRun, MicrospheresUseTheEntriesAndTheSolvent) {
  LoadFrom300();
  p.form.OFResults_Radio[1].selected = true;
  OFResults_Radio_Click(p, 1);
  SetMicrosPerMlText(p, 2, "500");
  EXPECT_EQ(Run(), Flow::Continue);
  // Factors: 1000/100 and 500/200, times 2.5 ml of solvent: 25 and 6.25.
  std::vector<std::string> expected = Concat({
      kHeaderEcho,
      {"", "Pure Color\tMicrospheres/ml", "1\t1000", "2\t500", ""},
      kMatrix,
      {"Sample/Wl\t492\t510\tSS\tR^2\tMax. Tissue\tHi-Lo Flag", "P1\t2500\t0\t0.00\t1.000\t0.00",
       "P2\t0\t1250\t0.00\t1.000\t0.00", "S1\t7500\t2500\t0.00\t1.000\t12.50",
       "S2\t2500\t12500\t0.00\t1.000\t0.00\t***", "S3\t0\t0\t0.00\t\t0.00\t***"},
  });
  EXPECT_EQ(Lines(results), expected);
  // The run's factors are its own: the entries keep their values.
  EXPECT_EQ(p.MicrosPerMlValues[1], 1000.0);
  EXPECT_EQ(p.MicrosPerMlValues[2], 500.0);
}

TEST_F(HandWorkedRun, LoadNamesThePuresAfterTheirSlots) {
  LoadFrom300();
  EXPECT_TRUE(p.ScanDataLoaded);
  EXPECT_FALSE(p.FixedDataLoaded);
  for (int slot = 1; slot <= kMaxColors; ++slot) {
    EXPECT_EQ(p.ColorSelected[slot], slot == 5 || slot == 6) << "slot " << slot;
  }
  EXPECT_EQ(p.form.MicrosForColor[1].caption, "Yellow-Green");
  EXPECT_EQ(p.form.MicrosForColor[2].caption, "Yellow");
  EXPECT_EQ(p.form.PureStat.caption, "2");
  EXPECT_EQ(p.form.Samples.caption, "3");
  EXPECT_EQ(p.form.BlanksNum.caption, "0");
  EXPECT_EQ(p.form.ControlsNum.caption, "0");
  EXPECT_FALSE(p.BackgroundOn);
  EXPECT_FALSE(p.form.BackSub.visible);
  EXPECT_FALSE(p.form.OpenDataSS.enabled);
  EXPECT_TRUE(p.form.CloseIt.enabled);
  EXPECT_TRUE(p.form.RunAnalysis.enabled);
  // The results dialog proposes the data file's path with ".scf" appended.
  ASSERT_EQ(host.dialogs.size(), 3u);
  EXPECT_EQ(host.dialogs[0].title, "Open Synchronous Scan File");
  EXPECT_EQ(host.dialogs[1].title, "Open Blanks File");
  EXPECT_EQ(host.dialogs[2].title, "Save Results File");
  EXPECT_EQ(host.dialogs[2].default_name, data + ".scf");
  // The search waits a second per pure with the display off, as at every load.
  EXPECT_EQ(host.one_second_waits, 2);
}

// A scan that starts above 350 nm has no "Max. Tissue" column: the same spectra 30 points
// (60 nm) further down the file's first point.
TEST_F(ScanTest, ScanAbove350HasNoTissueColumn) {
  const char* geometry = "Scan lower\t360\r\nScan upper\t600\r\nScan data interval\t2\r\n";
  std::string data = Write("from360.syn", HandWorkedData(Header(geometry), 120, 67, 76, 0));
  std::string results = PathOf("from360.scf");
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  ASSERT_EQ(Run(), Flow::Continue);
  std::vector<std::string> lines = Lines(results);
  ASSERT_EQ(lines.size(), 11u + 2 + 7 + 6);
  auto cells = [](const std::string& line) {
    return std::count(line.begin(), line.end(), '\t') + 1;
  };
  EXPECT_EQ(lines[20], "Sample/Wl\t492\t510\tSS\tR^2\tHi-Lo Flag");
  EXPECT_EQ(cells(lines[20]), 6);
  EXPECT_EQ(lines[23], "S1\t300.000\t400.000\t0.00\t1.000");  // unflagged: five cells
  EXPECT_EQ(cells(lines[23]), 5);
  EXPECT_EQ(lines[24], "S2\t100.000\t2000.000\t0.00\t1.000\t***");  // flagged: six
  EXPECT_EQ(cells(lines[24]), 6);
}

TEST_F(HandWorkedRun, HeadingAndCellCountsFrom300) {
  LoadFrom300();
  ASSERT_EQ(Run(), Flow::Continue);
  std::vector<std::string> lines = Lines(results);
  auto cells = [](const std::string& line) {
    return std::count(line.begin(), line.end(), '\t') + 1;
  };
  EXPECT_EQ(cells(lines[20]), 7);
  EXPECT_EQ(cells(lines[23]), 6);
  EXPECT_EQ(cells(lines[24]), 7);
}

}  // namespace
}  // namespace kolvane
