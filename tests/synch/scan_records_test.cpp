// Scan records: labels, the walk to a wanted record with blanks taken up on the way, the
// blank spectrum of a blanks file, truncated and cut-off records, and the record counts.
#include "synch/scan_records.h"

#include <gtest/gtest.h>

#include "base/channels.h"
#include "scan_fixture.h"

namespace kolvane {
namespace {

using namespace scantest;

class ScanRecordsTest : public ScanTest {
 protected:
  // The records of a headerless data file of `points` points, read from channel 1.
  void OpenData(const std::string& records, int points) {
    p.scan.ScanPoints = static_cast<std::int16_t>(points);
    ASSERT_TRUE(p.channels.In(Channels::kData).Open(Write("r.syn", records)));
  }
  void OpenBlanks(const std::string& text, int points) {
    p.scan.ScanPoints = static_cast<std::int16_t>(points);
    ASSERT_TRUE(p.channels.In(Channels::kBlanks).Open(Write("b.slk", text)));
  }
  float Blank(int i) const { return p.scan.BlankSpectrum[i]; }
};

TEST_F(ScanRecordsTest, LabelTypeNumberAndValuesOverLinesAndCommas) {
  std::string values;
  for (int i = 1; i <= 350; ++i) values += std::to_string(i) + (i % 7 == 0 ? "\r\n" : ",");
  OpenData("P3 " + values, 350);
  RecordRead r = ReadScanRecord(p, p.scan.RecordType, p.scan.RecordNumber);
  ASSERT_EQ(r, RecordRead::Read);
  EXPECT_EQ(p.scan.RecordName, "P3");
  EXPECT_EQ(p.scan.RecordType, "P");
  EXPECT_EQ(p.scan.RecordNumber, 3);
  EXPECT_EQ(p.scan.Spectrum[1], 1.0f);
  EXPECT_EQ(p.scan.Spectrum[350], 350.0f);
}

TEST_F(ScanRecordsTest, LabelsAfterBlanksTabsAndLineEnds) {
  // Line ends and TABs before a label are skipped, and a TAB or line end ends it as a blank does.
  OpenData("S12\t1 2\r\n\r\n \tB4\n3 4\n\nX7 5 6\n", 2);
  struct Expect {
    const char* name;
    const char* type;
    int number;
    float first;
  } expected[] = {{"S12", "S", 12, 1}, {"B4", "B", 4, 3}, {"X7", "B", 7, 5}};
  for (const Expect& e : expected) {
    SCOPED_TRACE(e.name);
    ASSERT_EQ(ReadScanRecord(p, p.scan.RecordType, p.scan.RecordNumber), RecordRead::Read);
    EXPECT_EQ(p.scan.RecordName, e.name);
    EXPECT_EQ(p.scan.RecordType, e.type);  // no type letter: the type before it stays
    EXPECT_EQ(p.scan.RecordNumber, e.number);
    EXPECT_EQ(p.scan.Spectrum[1], e.first);
  }
  EXPECT_EQ(ReadScanRecord(p, p.scan.RecordType, p.scan.RecordNumber), RecordRead::NoRecord);
}

TEST_F(ScanRecordsTest, FindNextTakesBlanksOnlyWithBackgroundOn) {
  const std::string records = "S1 1 1 1\nB1 7 8 9\nP1 4 5 6\n";
  // Background on: S1 is passed over, B1 becomes the blank spectrum and counts as done.
  OpenData(records, 3);
  p.BackgroundOn = true;
  bool found = false;
  ASSERT_EQ(FindNextScanRecord(p, "P", found), Flow::Continue);
  EXPECT_TRUE(found);
  EXPECT_EQ(p.scan.RecordName, "P1");
  EXPECT_EQ(Blank(1), 7.0f);
  EXPECT_EQ(Blank(3), 9.0f);
  EXPECT_EQ(p.scan.RecordsDone, 1);

  // Background off: B1 is a record like any other and the blank spectrum stays.
  p.channels.CloseAll();
  p.scan.BlankSpectrum.fill(0.0f);
  p.scan.RecordsDone = 0;
  OpenData(records, 3);
  p.BackgroundOn = false;
  ASSERT_EQ(FindNextScanRecord(p, "P", found), Flow::Continue);
  EXPECT_TRUE(found);
  EXPECT_EQ(p.scan.RecordName, "P1");
  EXPECT_EQ(Blank(1), 0.0f);
  EXPECT_EQ(p.scan.RecordsDone, 0);

  // Wanted empty: the first record that is not a taken-up blank.
  p.channels.CloseAll();
  OpenData("B1 7 8 9\nS2 1 2 3\n", 3);
  p.BackgroundOn = true;
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_EQ(p.scan.RecordName, "S2");
  p.channels.CloseAll();
  OpenData("B1 7 8 9\nS2 1 2 3\n", 3);
  p.BackgroundOn = false;
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_EQ(p.scan.RecordName, "B1");

  // No record of the wanted type: not found at the end of the file.
  ASSERT_EQ(FindNextScanRecord(p, "P", found), Flow::Continue);
  EXPECT_FALSE(found);
}

TEST_F(ScanRecordsTest, BlankSpectrumIsTheMedianOfTheInitialBlanks) {
  struct Case {
    const char* name;
    const char* records;  // after the three free lines
    float expected1;      // blank spectrum at point 1
    float expected2;
    int num_blanks;
  } cases[] = {
      {"odd count", "B1 5 0\nB1 1 0\nB1 3 0\n", 3, 0, 3},
      // An even count takes the mean of the middle two: (3 + 4) / 2.
      {"even count", "B1 4 2\nB1 1 2\nB1 10 2\nB1 3 2\n", 3.5f, 2, 4},
      {"single blank", "B1 6.25 -1\n", 6.25f, -1, 1},
      // A later blank counts but is no initial blank; the second initial blank is the second,
      // whatever its position in the file: median of 10 and 20.
      {"later record between", "B1 10 1\nB7 99 99\nB1 20 3\n", 15, 2, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    p.channels.CloseAll();
    p.scan.BlankSpectrum.fill(0.0f);
    OpenBlanks(std::string("line 1\r\nline 2\r\nline 3\r\n") + c.records, 2);
    ASSERT_EQ(LoadBlankScans(p), Flow::Continue);
    EXPECT_EQ(Blank(1), c.expected1);
    EXPECT_EQ(Blank(2), c.expected2);
    EXPECT_EQ(p.NumBlanks, c.num_blanks);
  }
}

TEST_F(ScanRecordsTest, BlanksFileWithoutInitialBlankKeepsTheSpectrum) {
  p.scan.BlankSpectrum[1] = 4.0f;
  OpenBlanks("a\nb\nc\nB2 9\nB3 9\n", 1);
  ASSERT_EQ(LoadBlankScans(p), Flow::Continue);
  EXPECT_EQ(Blank(1), 4.0f);
  EXPECT_EQ(p.NumBlanks, 2);
  ASSERT_EQ(p.scan.BlankScanNumbers.size(), 3u);
  EXPECT_EQ(p.scan.BlankScanNumbers[2], 3);
}

TEST_F(ScanRecordsTest, MoreThanAHundredInitialBlanksAreRefused) {
  std::string text = "a\nb\nc\n";
  for (int i = 0; i < 101; ++i) text += "B1 1\n";
  OpenBlanks(text, 1);
  host.ExpectMessage("More than 100 initial blank records in " + PathOf("b.slk") +
                     ": the file cannot be read.");
  EXPECT_EQ(LoadBlankScans(p), Flow::Stop);
}

TEST_F(ScanRecordsTest, RecordCutOffInsideItsNumbersIsDroppedWithOneMessage) {
  OpenData("S1 1 2 3\nS2 4 5", 3);
  host.ExpectMessage("EOF detected unexpectedly on data file");
  bool found = false;
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_EQ(p.scan.RecordName, "S1");
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_FALSE(found);
  EXPECT_EQ(host.beeps, 1);
  // Read again in a later pass: the user was told already.
  RewindScanData(p);
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_FALSE(found);
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(ScanRecordsTest, LabelCutOffByTheEndOfTheFileEndsTheRecords) {
  OpenData("S1 1 2\r\nS2", 2);
  bool found = false;
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_TRUE(found);
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_FALSE(found);
  EXPECT_TRUE(p.channels.In(Channels::kData).AtEnd());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ScanRecordsTest, ReadingBeyondSinglePrecisionIsRefused) {
  OpenData("S1 1 2\nS2 1e39 2\n", 2);
  host.ExpectMessage("Value out of range in record S2 of " + PathOf("r.syn") +
                     ": the file cannot be read.");
  bool found = false;
  ASSERT_EQ(FindNextScanRecord(p, "", found), Flow::Continue);
  EXPECT_EQ(FindNextScanRecord(p, "", found), Flow::Stop);
}

TEST_F(ScanRecordsTest, SubtractBlankInSinglePrecision) {
  p.scan.ScanPoints = 2;
  p.scan.Spectrum[1] = 10.0f;
  p.scan.Spectrum[2] = 0.1f;
  p.scan.Spectrum[3] = 5.0f;
  p.scan.BlankSpectrum[1] = 2.5f;
  p.scan.BlankSpectrum[2] = 0.3f;
  p.scan.BlankSpectrum[3] = 1.0f;
  SubtractBlank(p);
  EXPECT_EQ(p.scan.Spectrum[1], 7.5f);
  EXPECT_EQ(p.scan.Spectrum[2], 0.1f - 0.3f);
  EXPECT_EQ(p.scan.Spectrum[3], 5.0f);  // beyond ScanPoints: untouched
}

TEST_F(ScanRecordsTest, BusyPointerRunsThroughTheSizingArrows) {
  std::int32_t count = 0;
  std::int16_t cursor = 9;
  for (int i = 0; i < 15; ++i) StepBusyCursor(p, count, cursor, 9, 3);
  const std::vector<Pointer> expected = {Pointer::SizeNWSE, Pointer::SizeNS, Pointer::SizeNESW,
                                         Pointer::SizeWE, Pointer::SizeNWSE};
  EXPECT_EQ(host.pointers, expected);
}

// Loads through the window's command: counts, the blanks file, and refusals of the file as a
// whole.
const char* const kSmallHeader =
    "Pures\t1\r\nScan lower\t400\r\nScan upper\t403\r\nScan data interval\t1\r\nDate/Time\tx\r\n";

TEST_F(ScanTest, CountsPuresAndSamplesButNotBlanks) {
  std::string text = kSmallHeader;
  text += "P1 1 5 1\r\nP2 1 5 1\r\nP3 1 5 1\r\nB1 0 0 0\r\nB2 0 0 0\r\n";
  for (int i = 1; i <= 10; ++i) text += "S" + std::to_string(i) + " 1 2 3\r\n";
  ASSERT_EQ(Load(Write("counts.syn", text), "", PathOf("counts.scf")), Flow::Continue);
  EXPECT_EQ(p.NumPures, 3);
  EXPECT_EQ(p.form.PureStat.caption, "3");
  EXPECT_EQ(p.form.Samples.caption, "10");
  EXPECT_EQ(p.form.BlanksNum.caption, "0");
  EXPECT_EQ(p.form.ControlsNum.caption, "0");
}

TEST_F(ScanTest, BlanksFileWithoutRecordsLeavesBackgroundOff) {
  std::string data = Write("d.syn", std::string(kSmallHeader) + "P1 1 5 1\r\n");
  std::string blanks = Write("empty.slk", "one\r\ntwo\r\nthree\r\n");
  ASSERT_EQ(Load(data, blanks, PathOf("d.scf")), Flow::Continue);
  EXPECT_FALSE(p.BlanksPresent);
  EXPECT_FALSE(p.BackgroundOn);
  EXPECT_FALSE(p.form.BackSub.visible);
  EXPECT_EQ(p.form.BlanksNum.caption, "0");
}

TEST_F(ScanTest, BlanksFileTicksBackgroundSubtraction) {
  std::string data = Write("d.syn", std::string(kSmallHeader) + "P1 1 5 1\r\n");
  std::string blanks = Write("b.slk", "one\r\ntwo\r\nthree\r\nB1 1 1 1\r\nB1 3 3 3\r\n");
  ASSERT_EQ(Load(data, blanks, PathOf("d.scf")), Flow::Continue);
  EXPECT_TRUE(p.BlanksPresent);
  EXPECT_TRUE(p.BackgroundOn);
  EXPECT_TRUE(p.form.BackSub.visible);
  EXPECT_TRUE(p.form.BackSub.ticked);
  EXPECT_EQ(p.form.BlanksNum.caption, "2");
  EXPECT_EQ(p.scan.BlankSpectrum[2], 2.0f);
  EXPECT_NE(p.form.Directions.caption.find("Background Subtraction"), std::string::npos);
}

TEST_F(ScanTest, MoreThan32767RecordsAreRefused) {
  std::string text =
      "Pures\t1\nScan lower\t400\nScan upper\t401\nScan data interval\t1\n"
      "Date/Time\tx\nP1 5\n";
  text.reserve(text.size() + 32768 * 5);
  for (int i = 0; i < 32767; ++i) text += "S1 1\n";
  std::string data = Write("many.syn", text);
  host.ExpectMessage("More than 32767 records in " + data + ": the file cannot be read.");
  EXPECT_EQ(Load(data, "", PathOf("many.scf")), Flow::Stop);
  EXPECT_FALSE(p.ScanDataLoaded);
  EXPECT_FALSE(p.channels.In(Channels::kData).IsOpen());
}

}  // namespace
}  // namespace kolvane
