// The pieces of the scan path one at a time: the header, record labels, the walk to a wanted
// record, the blanks median, the pure search's peak and slot, the Hi-Lo test, the spectrum
// display's range and the results cells (the last four from tests/data/synch/scan_parts.tsv).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "base/channels.h"
#include "scan_fixture.h"
#include "support/table.h"
#include "synch/pure_search.h"
#include "synch/scan_fit.h"
#include "synch/scan_header.h"
#include "synch/scan_plot.h"
#include "synch/scan_records.h"
#include "synch/scan_results.h"

namespace kolvane {
namespace {

using namespace scantest;
using std::make_tuple;

class PartsTest : public ScanTest {
 protected:
  void Open(int channel, const std::string& text, int points) {
    p.channels.CloseAll();
    p.scan.ScanPoints = static_cast<std::int16_t>(points);
    const char* name = channel == Channels::kData ? "r.syn" : "b.slk";
    ASSERT_TRUE(p.channels.In(channel).Open(Write(name, text)));
  }
};

// The values of the header, from the last value of each item (2.5 pures round to the even 2,
// 3.5 to 4); CR line ends only; items left
// out are back at their start-up values; 350 nm beyond the last point (300..338) gives no
// tissue value.
TEST_F(PartsTest, HeaderValuesAndGeometryFromTheFinalValues) {
  auto items = [](std::string pures, std::string lower, std::string upper, std::string step) {
    return "Pures\t" + pures + "\nScan lower\t" + lower + "\nScan upper\t" + upper +
           "\nScan data interval\t" + step + "\n";
  };
  const struct {
    std::string header;
    int points, point350, pures;
    float solvent;
    bool has350, auto_delivery;
  } cases[] = {
      // clang-format off
      {items("2.5", "400", "700", "2") + "Amount of solvent\t3.25\nDelivery\tAuto sampler\n", 150, 0, 2, 3.25f, false, true},
      {"Pures\t3.5\rScan lower\t300\rScan upper\t400\rScan data interval\t0.5\r", 200, 101, 4, 2, true, false},
      {items("2", "350", "700", "1"), 350, 1, 2, 2, true, false},
      {"Pures\t2\nScan data interval\t0.5\nScan upper\t400\nScan lower\t300\n", 200, 101, 2, 2, true, false},
      {items("2", "300", "340", "2"), 20, 0, 2, 2, false, false},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    Open(Channels::kData, c.header + "Date/Time\tnow\n", 0);
    ASSERT_TRUE(p.channels.Out(Channels::kResults).Open(Path("h.scf")));
    ASSERT_EQ(ReadScanHeader(p, true), Flow::Continue);
    EXPECT_EQ(
        make_tuple(p.scan.ScanPoints, p.scan.Point350, p.HeaderPureCount, p.NumColors,
                   p.SolventAmount, p.scan.ScanHas350, p.scan.AutoDelivery),
        make_tuple(c.points, c.point350, c.pures, c.pures, c.solvent, c.has350, c.auto_delivery));
  }
}

TEST_F(PartsTest, LabelsAfterBlanksTabsAndLineEnds) {
  // Line ends (CR, LF, CR LF) and TABs before a label are skipped; a TAB or line end ends it.
  Open(Channels::kData, "P3 1,2\r\rS12\t3 4\r\n\r\n \tB4\n5 6\n\nX7 7\r8\n", 2);
  using Seen = std::tuple<std::string, std::string, int, float, float>;
  // "X" is no type letter: the type before it stays.
  for (const Seen& e : {Seen{"P3", "P", 3, 1, 2}, Seen{"S12", "S", 12, 3, 4},
                        Seen{"B4", "B", 4, 5, 6}, Seen{"X7", "B", 7, 7, 8}}) {
    ASSERT_EQ(ReadScanRecord(p, p.scan.RecordType, p.scan.RecordNumber), RecordRead::Read);
    EXPECT_EQ(Seen(p.scan.RecordName, p.scan.RecordType, p.scan.RecordNumber, p.scan.Spectrum[1],
                   p.scan.Spectrum[2]),
              e);
  }
  EXPECT_EQ(ReadScanRecord(p, p.scan.RecordType, p.scan.RecordNumber), RecordRead::NoRecord);
}

TEST_F(PartsTest, FindNextTakesBlanksOnlyWithBackgroundOn) {
  // clang-format off
  struct Case { const char *records, *wanted, *found; bool background; float blank1, blank3;
                int done; } cases[] = {
      // On: S1 is passed over, B1 becomes the blank spectrum and counts as done.
      {"S1 1 1 1\nB1 7 8 9\nP1 4 5 6\n", "P", "P1", true, 7, 9, 1},
      // Off: B1 is a record like any other and the blank spectrum stays.
      {"S1 1 1 1\nB1 7 8 9\nP1 4 5 6\n", "P", "P1", false, 0, 0, 0},
      {"B1 7 8 9\nS2 1 2 3\n", "", "S2", true, 7, 9, 1},
      {"B1 7 8 9\nS2 1 2 3\n", "", "B1", false, 0, 0, 0},
  };  // clang-format on
  bool found = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records + std::string(c.background ? " on" : " off"));
    Open(Channels::kData, c.records, 3);
    p.scan.BlankSpectrum.fill(0.0f);
    p.scan.RecordsDone = 0;
    p.BackgroundOn = c.background;
    ASSERT_EQ(FindNextScanRecord(p, c.wanted, found), Flow::Continue);
    EXPECT_EQ(make_tuple(found, p.scan.RecordName, p.scan.BlankSpectrum[1], p.scan.BlankSpectrum[3],
                         int{p.scan.RecordsDone}),
              make_tuple(true, std::string(c.found), c.blank1, c.blank3, c.done));
  }
  // No record of the wanted type before the end of the file.
  ASSERT_EQ(FindNextScanRecord(p, "P", found), Flow::Continue);
  EXPECT_FALSE(found);
}

TEST_F(PartsTest, BlankSpectrumIsTheMedianOfTheInitialBlanks) {
  // clang-format off
  struct Case { const char *name, *records; float point1, point2; int num_blanks; } cases[] = {
      {"5, 1, 3", "B1 5 0\nB1 1 0\nB1 3 0\n", 3, 0, 3},
      {"even count: mean of the middle two", "B1 4 2\nB1 1 2\nB1 10 2\nB1 3 2\n", 3.5f, 2, 4},
      {"single blank", "B1 6.25 -1\n", 6.25f, -1, 1},
      // A later blank counts but is no initial blank; the second initial blank is stored as
      // the second whatever lies between.
      {"later record between", "B1 10 1\nB7 99 99\nB1 20 3\n", 15, 2, 3},
  };  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(Channels::kBlanks, std::string("line 1\r\nline 2\r\nline 3\r\n") + c.records, 2);
    ASSERT_EQ(LoadBlankScans(p), Flow::Continue);
    EXPECT_EQ(make_tuple(p.scan.BlankSpectrum[1], p.scan.BlankSpectrum[2], int{p.NumBlanks}),
              make_tuple(c.point1, c.point2, c.num_blanks));
  }
}

TEST_F(PartsTest, BusyPointerRunsThroughTheSizingArrows) {
  std::int32_t count = 0;
  std::int16_t cursor = 9;
  for (int i = 0; i < 15; ++i) StepBusyCursor(p, count, cursor, 9, 3);
  using P = Pointer;
  EXPECT_EQ(host.pointers,
            (std::vector<P>{P::SizeNWSE, P::SizeNS, P::SizeNESW, P::SizeWE, P::SizeNWSE}));
}

// The fit points of pure 2 (five entries of FitPoints from 6) for a spectrum at 400 nm + point.
TEST_F(PartsTest, LocatePurePeak) {
  std::vector<float> thirteen(100, 0.0f);  // 40, 50, .., 100, .., 50, 40 at points 44..56
  for (int i = 0; i < 13; ++i) thirteen[43 + i] = 100.0f - 10.0f * std::abs(6 - i);
  // clang-format off
  struct Case { const char* name; std::vector<float> values; std::vector<double> fit; float peak;
                int peak_point; } cases[] = {
      // min 0, max 100: levels 50 and 75; a value equal to a level is still at or above it.
      {"13-point example", thirteen, {45, 48, 50, 52, 55}, 100, 50},
      // Levels 10 and 15: the right walk starts at the first 20 and passes the second.
      {"equal maxima", {0, 10, 20, 20, 10, 0}, {2, 3, 3, 4, 5}, 20, 3},
      {"one step below both levels", {0, 0, 100, 0, 0}, {3, 3, 3, 3, 3}, 100, 3},
      // Flank walks reaching an end point without falling below their level take that point.
      {"rising to the last point", {1, 2, 3, 4, 5}, {3, 4, 5, 5, 5}, 5, 5},
      {"falling from the first point", {10, 9, 1}, {1, 1, 1, 2, 2}, 10, 1},
      // All above 32767, the minimum 40000 last: levels 50000 and 55000.
      {"above 32767", {45000, 50000, 60000, 52000, 40000}, {2, 3, 3, 3, 4}, 60000, 3},
  };  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.scan.ScanPoints = static_cast<std::int16_t>(c.values.size());
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      p.scan.Spectrum[i + 1] = c.values[i];
      p.scan.PointWavelength[i + 1] = 400.0f + static_cast<float>(i);
    }
    for (int r = 6; r <= 10; ++r) p.scan.FitPoints[r] = 99;  // an earlier dataset's
    p.CurrentPure = 2;
    LocatePurePeak(p, 2);
    EXPECT_EQ(make_tuple(std::vector<double>(&p.scan.FitPoints[6], &p.scan.FitPoints[11]),
                         p.scan.PurePeak[2][1], p.scan.PurePeak[2][2]),
              make_tuple(c.fit, c.peak, 399.0f + c.peak_point));
  }
}

// Each a row kind of tests/data/synch/scan_parts.tsv.
std::vector<float> Singles(const std::string& cell) {
  const std::vector<double> values = Numbers(cell);
  std::vector<float> singles;
  for (double v : values) singles.push_back(static_cast<float>(v));
  return singles;
}

TEST_F(PartsTest, SlotForPeakWithinThreeNanometres) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "slot"))
    EXPECT_EQ(SlotForPeak(p, Number(c[0])), std::stoi(c[1])) << c[0] << " nm";
}

TEST(HiLoFlag, Boundaries) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "hilo")) {
    std::vector<std::int16_t> slots;
    for (double slot : Numbers(c[1])) slots.push_back(static_cast<std::int16_t>(slot));
    const std::vector<float> values = Singles(c[2]);
    EXPECT_EQ(HiLoFlag(c[0], slots.data(), values.data(), static_cast<int>(slots.size()) - 1),
              c[3] == "1")
        << c[0] << " " << c[1] << " / " << c[2];
  }
}

TEST_F(PartsTest, DisplayRangeFittedToTheSpectrum) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "range")) {
    SCOPED_TRACE(c[0]);
    const std::vector<float> values = Singles(c[0]);
    p.scan.ScanLower = 350;
    p.scan.ScanUpper = 700;
    p.scan.ScanPoints = static_cast<std::int16_t>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) p.scan.Spectrum[i + 1] = values[i];
    DrawSpectrum(p, true);
    const int top = std::stoi(c[1]), bottom = std::stoi(c[2]);
    EXPECT_EQ(make_tuple(int{p.scan.PlotYMax}, int{p.scan.PlotYMin}, p.form.Spectra.scale_top,
                         p.form.Spectra.scale_height),
              make_tuple(top, bottom, 1.0 * top, 1.0 * (bottom - top)));
  }
}

TEST(ResultCells, NeverNaNInfiniteOrMinusZero) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "cell"))
    EXPECT_EQ(FixedCell(Number(c[0]), std::stoi(c[1])), c[2]) << c[0];
}

}  // namespace
}  // namespace kolvane
