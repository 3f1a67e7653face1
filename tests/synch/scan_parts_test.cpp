// The pieces of the scan path one at a time: the header, record labels, the walk to a wanted
// record, the blanks median, the pure search's peak and slot, the Hi-Lo test and the results
// cells. The cases are rows of tests/data/synch/scan_parts.tsv.
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

TEST_F(PartsTest, HeaderValuesAndGeometryFromTheFinalValues) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "header")) {
    SCOPED_TRACE(c[0]);
    Open(Channels::kData, c[0] + "Date/Time\tnow\n", 0);
    ASSERT_TRUE(p.channels.Out(Channels::kResults).Open(Path("h.scf")));
    ASSERT_EQ(ReadScanHeader(p, true), Flow::Continue);
    const int pures = std::stoi(c[3]);
    EXPECT_EQ(make_tuple(p.scan.ScanPoints, p.scan.Point350, p.HeaderPureCount, p.NumColors,
                         p.SolventAmount, p.scan.ScanHas350, p.scan.AutoDelivery),
              make_tuple(std::stoi(c[1]), std::stoi(c[2]), pures, pures, std::stof(c[4]),
                         c[5] == "1", c[6] == "1"));
  }
}

TEST_F(PartsTest, LabelsAfterBlanksTabsAndLineEnds) {
  // Line ends (CR, LF, CR LF) and TABs before a label are skipped; a TAB or line end ends it.
  Open(Channels::kData, "P3 1,2\r\rS12\t3 4\r\n\r\n \tB4\n5 6\n\nX7 7\r8\n", 2);
  using Seen = std::tuple<std::string, std::string, int, float, float>;
  // "X" is no type letter: the type before it stays.
  for (const Seen& e : {Seen{"P3", "P", 3, 1, 2}, Seen{"S12", "S", 12, 3, 4},
                        Seen{"B4", "B", 4, 5, 6}, Seen{"X7", "B", 7, 7, 8}}) {
    ASSERT_EQ(ReadScanRecord(p, p.scan.RecordType, p.scan.RecordNumber), ScanRead::Read);
    EXPECT_EQ(Seen(p.scan.RecordName, p.scan.RecordType, p.scan.RecordNumber, p.scan.Spectrum[1],
                   p.scan.Spectrum[2]),
              e);
  }
  EXPECT_EQ(ReadScanRecord(p, p.scan.RecordType, p.scan.RecordNumber), ScanRead::NoRecord);
}

TEST_F(PartsTest, FindNextTakesBlanksOnlyWithBackgroundOn) {
  bool found = false;
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "find")) {
    SCOPED_TRACE(c[0] + (c[3] == "1" ? " on" : " off"));
    Open(Channels::kData, c[0], 3);
    p.scan.BlankSpectrum.fill(0.0f);
    p.ledger.records_read = 0;
    p.BackgroundOn = c[3] == "1";
    ASSERT_EQ(FindNextScanRecord(p, c[1], found), Flow::Continue);
    EXPECT_EQ(make_tuple(found, p.scan.RecordName, p.scan.BlankSpectrum[1], p.scan.BlankSpectrum[3],
                         static_cast<int>(p.ledger.records_read)),
              make_tuple(true, c[2], std::stof(c[4]), std::stof(c[5]), std::stoi(c[6])));
  }
  // No record of the wanted type before the end of the file.
  ASSERT_EQ(FindNextScanRecord(p, "P", found), Flow::Continue);
  EXPECT_FALSE(found);
}

TEST_F(PartsTest, BlankSpectrumIsTheMedianOfTheInitialBlanks) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "blanks")) {
    SCOPED_TRACE(c[0]);
    Open(Channels::kBlanks, "line 1\r\nline 2\r\nline 3\r\n" + c[0], 2);
    ASSERT_EQ(LoadBlankScans(p), Flow::Continue);
    EXPECT_EQ(make_tuple(p.scan.BlankSpectrum[1], p.scan.BlankSpectrum[2], int{p.NumBlanks}),
              make_tuple(std::stof(c[1]), std::stof(c[2]), std::stoi(c[3])));
  }
}

// The fit points of pure 2 (five entries of FitPoints from 6).
TEST_F(PartsTest, LocatePurePeak) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "peak")) {
    SCOPED_TRACE(c[0]);
    const std::vector<double> values = Numbers(c[0]);
    p.scan.ScanPoints = static_cast<std::int16_t>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      p.scan.Spectrum[i + 1] = static_cast<float>(values[i]);
      p.scan.PointWavelength[i + 1] = 400.0f + static_cast<float>(i);
    }
    for (int r = 6; r <= 10; ++r) p.scan.FitPoints[r] = 99;  // an earlier dataset's
    p.CurrentPure = 2;
    LocatePurePeak(p, 2);
    EXPECT_EQ(make_tuple(std::vector<double>(&p.scan.FitPoints[6], &p.scan.FitPoints[11]),
                         p.scan.PurePeak[2][1], p.scan.PurePeak[2][2]),
              make_tuple(Numbers(c[1]), std::stof(c[2]), 399.0f + std::stof(c[3])));
  }
}

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

TEST(ResultCells, NeverNaNInfiniteOrMinusZero) {
  for (const TableRow& c : ReadTable("synch/scan_parts.tsv", "cell"))
    EXPECT_EQ(FixedCell(Number(c[0]), std::stoi(c[1])), c[2]) << c[0];
}

}  // namespace
}  // namespace kolvane
