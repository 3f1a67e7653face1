#include "synch/scan_records.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "app/status_line.h"
#include "base/channels.h"
#include "base/numbers.h"

namespace kolvane {
namespace {

constexpr const char* kUnexpectedEof = "EOF detected unexpectedly on data file";

bool EndsLabel(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// One record from either file. Blanks, TABs and line ends before the label are skipped and
// any of them ends it, so records may be separated by line ends as well as by blanks.
// With `keep` false the readings are checked and passed over, and Spectrum is left alone.
ScanRead ReadRecordFrom(Program& p, int channel, bool& truncation_shown, std::string& type,
                        std::int16_t& number, bool keep = true) {
  InputChannel& in = p.channels.In(channel);
  ScanTables& s = p.scan;
  s.RecordName.clear();
  char c = 0;
  do {
    if (in.ReadChar(c) == ReadStatus::End) return ScanRead::NoRecord;
  } while (EndsLabel(c));
  char letter = 0;
  for (;;) {
    s.RecordName.push_back(c);
    if (c == 'B' || c == 'P' || c == 'S') letter = c;
    // A label cut off by the end of the file (say, a stray character after the last record)
    // is no record: the records are over.
    if (in.ReadChar(c) == ReadStatus::End) return ScanRead::NoRecord;
    if (EndsLabel(c)) break;
    // A label without an end would take the memory of the whole file: 1 MiB at most, as a line.
    if (in.TooLong(s.RecordName.size())) return ScanRead::NoRecord;
  }
  if (letter != 0) type.assign(1, letter);
  // A number beyond the 16-bit range cannot be 1, the only number the method looks at.
  number = ToInt16(LenientNumber(std::string_view(s.RecordName).substr(1))).value_or(0);

  YieldToHost(p);
  if (p.Ending) return ScanRead::Ending;

  bool beyond_single = false;
  int read = 0;
  if (keep) {
    read = in.ReadSingles(s.Spectrum.data() + 1, s.ScanPoints, beyond_single);
  } else {
    read = in.SkipNumbers(s.ScanPoints, beyond_single);
  }
  if (beyond_single) {
    ShowRunStop(p, "Value out of range in record " + s.RecordName + " of " + in.Path() +
                       ": the file cannot be read.");
    return ScanRead::BadValue;
  }
  if (read < s.ScanPoints) {
    // The record is incomplete: it is dropped, and the user hears of it once per file.
    if (!truncation_shown) {
      truncation_shown = true;
      p.host.ShowMessage(kUnexpectedEof);
      p.host.Beep();
    }
    return ScanRead::Truncated;
  }
  return ScanRead::Read;
}

Pointer PointerForCursor(std::int16_t cursor) {
  switch (cursor) {
    case 9:
      return Pointer::SizeWE;
    case 8:
      return Pointer::SizeNWSE;
    case 7:
      return Pointer::SizeNS;
    default:
      return Pointer::SizeNESW;
  }
}

}  // namespace

ScanRead ReadScanRecord(Program& p, std::string& type, std::int16_t& number) {
  return ReadRecordFrom(p, Channels::kData, p.scan.DataTruncationShown, type, number);
}

ScanRead PassScanRecord(Program& p, std::string& type, std::int16_t& number) {
  return ReadRecordFrom(p, Channels::kData, p.scan.DataTruncationShown, type, number, false);
}

ScanRead ReadBlankScanRecord(Program& p, std::string& type, std::int16_t& number) {
  return ReadRecordFrom(p, Channels::kBlanks, p.scan.BlanksTruncationShown, type, number);
}

Flow FindNextScanRecord(Program& p, const std::string& wanted, bool& found) {
  ScanTables& s = p.scan;
  InputChannel& in = p.channels.In(Channels::kData);
  found = false;
  while (!in.AtEnd() && !found) {
    s.RecordOffset = in.Tell();
    ScanRead r = ReadScanRecord(p, s.RecordType, s.RecordNumber);
    if (r == ScanRead::Ending) return Flow::ProgramEnding;
    if (r == ScanRead::BadValue) return Flow::Stop;
    if (r != ScanRead::Read) break;  // the file is over
    if (s.RecordType == "B" && p.BackgroundOn) {
      s.BlankOffset = s.RecordOffset;
      std::copy(s.Spectrum.begin() + 1, s.Spectrum.begin() + 1 + s.ScanPoints,
                s.BlankSpectrum.begin() + 1);
      if (p.ledger.records_read < std::numeric_limits<std::int16_t>::max()) ++p.ledger.records_read;
    } else {
      found = wanted.empty() || wanted == s.RecordType;
    }
    int total = p.NumBlanks + p.NumSamples + p.NumPures;
    if (total > 0 && !s.SearchProgress) {
      double percent = std::min(100.0, static_cast<double>(p.ledger.records_read) / total * 100.0);
      p.form.Perc_Panel.minimum = 0;
      p.form.Perc_Panel.maximum = 100;
      p.form.Perc_Panel.value = static_cast<int>(RoundHalfEven(percent));
    }
  }
  return Flow::Continue;
}

Flow LoadBlankScans(Program& p) {
  ScanTables& s = p.scan;
  InputChannel& in = p.channels.In(Channels::kBlanks);
  std::string line;
  for (int i = 0; i < 3; ++i) {
    if (in.ReadLine(line) == ReadStatus::End) break;
  }
  s.BlankScans.Resize(s.ScanPoints, kMaxInitialBlanks);
  s.BlankScanNumbers.assign(1, 0);
  p.NumBlanks = 0;
  int initial = 0;
  std::string type;
  std::int16_t number = 0;
  while (!in.AtEnd()) {
    ScanRead r = ReadBlankScanRecord(p, type, number);
    if (r == ScanRead::Ending) return Flow::ProgramEnding;
    if (r == ScanRead::BadValue) return Flow::Stop;
    if (r != ScanRead::Read) break;
    if (p.NumBlanks == std::numeric_limits<std::int16_t>::max()) {
      p.host.ShowMessage("More than 32767 records in " + in.Path() + ": the file cannot be read.");
      return Flow::Stop;
    }
    ++p.NumBlanks;
    if (number == 1) {
      if (initial == kMaxInitialBlanks) {
        p.host.ShowMessage("More than 100 initial blank records in " + in.Path() +
                           ": the file cannot be read.");
        return Flow::Stop;
      }
      ++initial;
      for (int d = 1; d <= s.ScanPoints; ++d) s.BlankScans(d, initial) = s.Spectrum[d];
    }
    s.BlankScanNumbers.push_back(number);
  }
  if (initial > 1) {
    for (int d = 1; d <= s.ScanPoints; ++d) {
      for (int k = 1; k <= initial; ++k) s.SortedValues[k] = s.BlankScans(d, k);
      ExchangeSort(s.SortedValues.data(), initial);
      s.BlankSpectrum[d] = static_cast<float>(MedianOfSortedRow(s.SortedValues.data(), initial));
    }
  } else if (initial == 1) {
    for (int d = 1; d <= s.ScanPoints; ++d) s.BlankSpectrum[d] = s.BlankScans(d, 1);
  }
  if (p.NumBlanks == 0) {
    p.BackgroundOn = false;
    p.BlanksPresent = false;
    OFResults_Radio_Click(p, 0);
  }
  return Flow::Continue;
}

void SubtractBlank(Program& p) {
  ScanTables& s = p.scan;
  for (int i = 1; i <= s.ScanPoints; ++i) s.Spectrum[i] = s.Spectrum[i] - s.BlankSpectrum[i];
}

void StepBusyCursor(Program& p, std::int32_t& count, std::int16_t& cursor, std::int16_t reset,
                    std::int16_t every) {
  ++count;
  if (every > 0 && count % every == 0) {
    --cursor;
    if (cursor < 6) cursor = reset;
    p.host.SetPointer(PointerForCursor(cursor));
  }
}

void CloseScanDataset(Program& p) {
  CloseDataset(p);
}

void RewindScanData(Program& p) {
  p.channels.In(Channels::kData).Rewind();
  // A label without a type letter takes the type of the record before it in the same pass,
  // never that of the previous pass's last record.
  p.scan.RecordType.clear();
}

}  // namespace kolvane
