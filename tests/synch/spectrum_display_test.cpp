// The spectrum display: the y range fitted to a spectrum, its fallbacks, the coordinate system
// and labels, and what a run draws for each record.
#include "synch/spectrum_display.h"

#include <gtest/gtest.h>

#include "scan_fixture.h"

namespace kolvane {
namespace {

using namespace scantest;

class DisplayTest : public ScanTest {
 protected:
  void Draw(const std::vector<float>& values) {
    p.scan.ScanLower = 350;
    p.scan.ScanUpper = 700;
    p.scan.ScanPoints = static_cast<std::int16_t>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) p.scan.Spectrum[i + 1] = values[i];
    DrawSpectrum(p, true);
  }
};

TEST_F(DisplayTest, RangeFittedToTheSpectrum) {
  struct Case {
    std::vector<float> values;
    int top, bottom;
  } cases[] = {
      {{994.6f, 13, 500}, 1000, 5},  // 995 -> 1000; 13 -> one step of 5 below 10
      {{1000, 10}, 1010, 5},         // a top strictly above the maximum
      {{4.9f, 0}, 10, 0},
      {{-3, -1}, 0, -5},  // nothing above 0: the top stays 0
      {{-5, 20}, 30, -5},
      {{12000, 10000}, 12010, 9999},  // nothing below 9999: the bottom stays 9999
      // Beyond the 16-bit range the limits stay at its ends.
      {{40000, 30000}, 32767, 9999},
      {{-40000, -35000}, 0, -32768},
  };
  for (const Case& c : cases) {
    Draw(c.values);
    EXPECT_EQ(p.scan.PlotYMax, c.top) << c.values[0];
    EXPECT_EQ(p.scan.PlotYMin, c.bottom) << c.values[0];
  }
}

TEST_F(DisplayTest, RangeOfZeroHeightFallsBackToTen) {
  Draw({0, 0, 0});
  EXPECT_EQ(p.scan.PlotYMin, 0);
  EXPECT_EQ(p.scan.PlotYMax, 10);
  // All values just below 0 round to 0 as well: the same fallback.
  Draw({-0.3f, -0.2f});
  EXPECT_EQ(p.scan.PlotYMin, 0);
  EXPECT_EQ(p.scan.PlotYMax, 10);
  EXPECT_LT(p.form.Spectra.scale_height, 0.0);
}

TEST_F(DisplayTest, CoordinatesAndLabels) {
  Draw({994.6f, 13});
  const SpectrumDisplay& d = p.form.Spectra;
  EXPECT_EQ(d.scale_left, 340.0);
  EXPECT_EQ(d.scale_width, 370.0);
  EXPECT_EQ(d.scale_top, 1000.0);
  EXPECT_EQ(d.scale_height, -995.0);
  EXPECT_EQ(p.form.XMin.caption, "340");
  EXPECT_EQ(p.form.XMax.caption, "720");
  EXPECT_EQ(p.form.YMin.caption, "5");
  EXPECT_EQ(p.form.YMax.caption, "1000");
  EXPECT_TRUE(d.items.empty());
  // Without labels the captions keep what they showed.
  p.scan.Spectrum[1] = 50;
  DrawSpectrum(p, false);
  EXPECT_EQ(p.scan.PlotYMax, 60);
  EXPECT_EQ(p.form.YMax.caption, "1000");
}

TEST_F(DisplayTest, RunFrameAndPoints) {
  Draw({1, 2});
  DrawRunFrame(p);
  EXPECT_EQ(p.form.YMax.caption, "1000");
  EXPECT_EQ(p.form.YMin.caption, "0");
  EXPECT_EQ(p.form.Spectra.scale_top, 1000.0);
  p.scan.PointWavelength[1] = 350;
  p.scan.PointWavelength[2] = 351;
  PlotSpectrumPoints(p);
  ASSERT_EQ(p.form.Spectra.items.size(), 2u);
  const SpectrumItem& dot = p.form.Spectra.items[1];
  EXPECT_EQ(dot.kind, SpectrumItem::Point);
  EXPECT_EQ(dot.x, 351.0);
  EXPECT_EQ(dot.y, 2.0);
  EXPECT_EQ(dot.color, kYellow);
  EXPECT_EQ(dot.draw_width, 2);
}

// A run draws each record: its dots and one white circle of radius 1.5 per fit point.
TEST_F(ScanTest, RunDrawsTheLastRecordWithItsFitPoints) {
  std::string header =
      "Pures\t1\r\nScan lower\t400\r\nScan upper\t420\r\nScan data interval\t1\r\nDate/Time\tx\r\n";
  Values pure(21, 0.0);
  AddTent(pure, 10, 100);
  Values sample = Mix(pure, 2, pure, 0);
  std::string data = Write("draw.syn", header + Record("P1", pure) + Record("S1", sample));
  ASSERT_EQ(Load(data, "", PathOf("draw.scf")), Flow::Continue);
  p.InterruptRequested = p.PauseRequested = false;
  ASSERT_EQ(RunScanAnalysis(p), Flow::Continue);
  const SpectrumDisplay& d = p.form.Spectra;
  ASSERT_EQ(d.items.size(), 20u + 5);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(d.items[i].kind, SpectrumItem::Point);
  // Fit points 8..12 at 407..411 nm; the sample is twice the pure there.
  const double xs[5] = {407, 408, 409, 410, 411};
  const double ys[5] = {120, 160, 200, 160, 120};
  for (int r = 0; r < 5; ++r) {
    const SpectrumItem& c = d.items[20 + r];
    EXPECT_EQ(c.kind, SpectrumItem::Circle);
    EXPECT_EQ(c.x, xs[r]);
    EXPECT_EQ(c.y, ys[r]);
    EXPECT_EQ(c.radius, 1.5);
    EXPECT_EQ(c.color, kWhite);
    EXPECT_EQ(c.draw_width, 2);
  }
  EXPECT_EQ(p.form.YMax.caption, "210");
  EXPECT_EQ(p.form.XMin.caption, "390");
  EXPECT_EQ(p.form.XMax.caption, "440");
  EXPECT_EQ(p.form.SamplePtr.caption, "Sample S1");
  p.channels.CloseAll();
}

}  // namespace
}  // namespace kolvane
