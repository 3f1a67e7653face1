// The pure search: peak and flank points, the colour slot a peak names, and each pure keeping
// its own slot for its label, its colour-name cell and the Hi-Lo test.
#include "synch/pure_search.h"

#include <gtest/gtest.h>

#include "scan_fixture.h"
#include "synch/scan_fit.h"

namespace kolvane {
namespace {

using namespace scantest;

class LocatePeakTest : public ScanTest {
 protected:
  // Runs LocatePurePeak for pure 2 on the given values (points 1..n) and returns its five
  // fit points.
  std::vector<double> FitPointsOf(const std::vector<float>& values) {
    p.scan.ScanPoints = static_cast<std::int16_t>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      p.scan.Spectrum[i + 1] = values[i];
      p.scan.PointWavelength[i + 1] = 400.0f + static_cast<float>(i);
    }
    // Entries of an earlier dataset must never survive.
    for (int r = 6; r <= 10; ++r) p.scan.FitPoints[r] = 99;
    p.CurrentPure = 2;
    LocatePurePeak(p, 2);
    return {p.scan.FitPoints.begin() + 6, p.scan.FitPoints.begin() + 11};
  }
};

TEST_F(LocatePeakTest, ThirteenPointPeak) {
  std::vector<float> v(100, 0.0f);
  const float peak[13] = {40, 50, 60, 70, 80, 90, 100, 90, 80, 70, 60, 50, 40};
  for (int i = 0; i < 13; ++i) v[43 + i] = peak[i];  // points 44..56
  // min 0, max 100: levels 50 and 75; a value equal to a level is still at or above it.
  EXPECT_EQ(FitPointsOf(v), (std::vector<double>{45, 48, 50, 52, 55}));
  EXPECT_EQ(p.scan.PurePeak[2][1], 100.0f);
  EXPECT_EQ(p.scan.PurePeak[2][2], 449.0f);  // point 50
}

TEST_F(LocatePeakTest, FirstOfEqualMaximaIsThePeak) {
  // Levels 10 and 15: the right walk starts at the first 20 and passes the second.
  EXPECT_EQ(FitPointsOf({0, 10, 20, 20, 10, 0}), (std::vector<double>{2, 3, 3, 4, 5}));
}

TEST_F(LocatePeakTest, OneStepBelowBothLevelsSetsBothPointsOfThatSide) {
  EXPECT_EQ(FitPointsOf({0, 0, 100, 0, 0}), (std::vector<double>{3, 3, 3, 3, 3}));
}

TEST_F(LocatePeakTest, FlankReachingTheEndTakesTheEndPoint) {
  // Rising to the last point: the right walk never falls below its levels.
  EXPECT_EQ(FitPointsOf({1, 2, 3, 4, 5}), (std::vector<double>{3, 4, 5, 5, 5}));
  // Falling from the first point: the left walk takes point 1 for both.
  EXPECT_EQ(FitPointsOf({10, 9, 1}), (std::vector<double>{1, 1, 1, 2, 2}));
}

TEST_F(LocatePeakTest, LevelsFromTheSpectrumsOwnMinimumAbove32767) {
  // min 40000, max 60000: levels 50000 and 55000, so 47000 is below both.
  EXPECT_EQ(FitPointsOf({40000, 47000, 60000, 47000, 40000}), (std::vector<double>{3, 3, 3, 3, 3}));
}

TEST_F(ScanTest, SlotForPeakWithinThreeNanometres) {
  struct Case {
    double wavelength;
    int slot;
  } cases[] = {{493, 5},
               {495, 5},
               {496, 0},
               {490, 0},
               {490.5, 5},
               {380, 2},
               {682, 14},
               // Slots without a nominal wavelength (tissue, 15..30) never match.
               {0, 0},
               {1, 0},
               {-2, 0},
               {700, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(SlotForPeak(p, c.wavelength), c.slot) << c.wavelength << " nm";
  }
}

// Two pures found in descending slot order, the second naming no slot at all.
TEST_F(ScanTest, EachPureKeepsItsOwnSlot) {
  // Points 1..120 from 300 nm by 2: pure 1 peaks at 510 nm (point 106, "Yellow"), pure 2 at
  // 492 nm (point 97, "Yellow-Green"), pure 3 at 520 nm (point 111), which names no slot.
  const int n = 120;
  Values a(n + 1, 0.0), b(n + 1, 0.0), c(n + 1, 0.0);
  AddTent(a, 106, 100);
  AddTent(b, 97, 100);
  AddTent(c, 111, 100);
  std::string header =
      "Pures\t3\r\nScan lower\t300\r\nScan upper\t540\r\nScan data interval\t2\r\nDate/Time\tx\r\n";
  // A sample whose pure-1 peak is far below the pure-2 peak.
  Values s = Mix(a, 1, b, 50);
  std::string data = Write(
      "order.syn", header + Record("P1", a) + Record("P2", b) + Record("P3", c) + Record("S1", s));
  std::string results = PathOf("order.scf");
  ASSERT_EQ(Load(data, "", results), Flow::Continue);
  EXPECT_EQ(p.form.MicrosForColor[1].caption, "Yellow");
  EXPECT_EQ(p.form.MicrosForColor[2].caption, "Yellow-Green");
  EXPECT_EQ(p.form.MicrosForColor[3].caption, "520 nm");
  EXPECT_TRUE(p.ColorSelected[5]);
  EXPECT_TRUE(p.ColorSelected[6]);
  ASSERT_EQ(Run(), Flow::Continue);
  std::vector<std::string> lines = Lines(results);
  ASSERT_EQ(lines.size(), 6u + 2 + 5 + 2 + 2 + 4);
  EXPECT_EQ(lines[15], "\tYellow\tYellow-Green\t520 nm");
  EXPECT_EQ(lines[16], "Sample/Wl\t510\t492\t520\tSS\tR^2\tMax. Tissue\tHi-Lo Flag");
  // Pures 1 and 2 are neighbouring colours (slots 6 and 5): 100 against 5000 flags.
  EXPECT_EQ(lines[20].substr(0, 3), "S1\t");
  EXPECT_EQ(lines[20].substr(lines[20].size() - 4), "\t***");
}

TEST(HiLoFlag, Boundaries) {
  const std::int16_t adjacent[] = {0, 5, 6};
  struct Case {
    const char* name;
    float v1, v2;
    bool flag;
  } cases[] = {
      {"S1", 100, 9.99f, true},
      {"S1", 9.99f, 100, true},
      {"S1", 100, 10, false},
      {"S1", 10, 100, false},
      {"S1", 0, 50, true},
      {"S1", 50, 0, true},
      {"S1", 100, -5, true},
      {"S1", 100, 100, false},
      // Records whose name holds a "P" are never flagged.
      {"P1", 100, 1, false},
      {"SP2", 0, 0, false},
      {"p1", 0, 0, true},
  };
  for (const Case& c : cases) {
    const float values[] = {0, c.v1, c.v2};
    EXPECT_EQ(HiLoFlag(c.name, adjacent, values, 2), c.flag)
        << c.name << " " << c.v1 << " " << c.v2;
  }
  // Only neighbouring slots are compared; a pure that names no slot is never compared.
  const float zero[] = {0, 0, 0};
  const std::int16_t apart[] = {0, 5, 7};
  const std::int16_t unnamed[] = {0, 0, 1};
  EXPECT_FALSE(HiLoFlag("S1", apart, zero, 2));
  EXPECT_FALSE(HiLoFlag("S1", unnamed, zero, 2));
  // Three pures: only the pair (2, 3) is neighbouring.
  const std::int16_t three[] = {0, 2, 9, 10};
  const float third_low[] = {0, 1, 100, 5};
  EXPECT_TRUE(HiLoFlag("S1", three, third_low, 3));
  const float first_low[] = {0, 0, 100, 50};
  EXPECT_FALSE(HiLoFlag("S1", three, first_low, 3));
}

}  // namespace
}  // namespace kolvane
