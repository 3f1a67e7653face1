#include "fixed/blanks_controls.h"

#include <cfloat>
#include <cmath>

#include "app/color_panel.h"
#include "base/numbers.h"
#include "fixed/records.h"

namespace kolvane {

namespace {

constexpr int kMaxFirstGroup = 100;

struct CompanionFile {
  int channel;
  const char* kind;  // "blanks", "controls"
  CompanionTable& table;
  int first_group = 0;
};

bool IsEmptyLine(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

Flow Refuse(Program& p, const CompanionFile& f, const std::string& problem) {
  p.host.ShowMessage("The " + std::string(f.kind) + " file " + p.channels.In(f.channel).Path() +
                     " " + problem + "  The data file was not loaded.");
  return Flow::Stop;
}

Flow RefuseLine(Program& p, const CompanionFile& f, int line_no, const std::string& first,
                const std::string& problem) {
  return Refuse(
      p, f,
      "has a record \"" + first + "\" on line " + std::to_string(line_no) + " that " + problem);
}

// Lines 1 to 3 are headings. Every further line is one record: a letter and the record's
// number, a TAB, the readings separated by TABs.
Flow ReadCompanionFile(Program& p, CompanionFile& f) {
  InputChannel& in = p.channels.In(f.channel);
  f.table.Reset(p.NumColors);
  f.first_group = 0;
  std::string line;
  for (int i = 0; i < 3; ++i) in.ReadLine(line);
  int line_no = 3;
  bool later_record_seen = false;
  while (in.ReadLine(line) == ReadStatus::Ok) {
    ++line_no;
    if (IsEmptyLine(line)) continue;
    std::string::size_type tab = line.find('\t');
    std::string first = line.substr(0, tab);
    if (tab == std::string::npos)
      return RefuseLine(p, f, line_no, first, "has no TAB after its number.");
    double number = LenientNumber(std::string_view(first).substr(first.empty() ? 0 : 1));
    if (!ToInt16(number))
      return RefuseLine(p, f, line_no, first, "is numbered outside -32768..32767.");
    if (number == 1) {
      if (later_record_seen)
        return RefuseLine(p, f, line_no, first,
                          "is numbered 1 after a later record; the records numbered 1 must "
                          "stand at the start.");
      if (++f.first_group > kMaxFirstGroup)
        return Refuse(p, f, "has more than 100 records numbered 1.");
    } else {
      later_record_seen = true;
    }
    if (f.table.Count() >= 32767) return Refuse(p, f, "has more than 32767 records.");

    std::string rest = TrimSpaces(std::string_view(line).substr(tab + 1));
    FieldCursor cursor{rest, rest.empty()};
    int record = f.table.Append();
    f.table.Number(record) = number;
    for (int c = 1; c <= p.NumColors; ++c) {
      std::string_view field;
      if (!ReadTabField(cursor, field))
        return RefuseLine(p, f, line_no, first,
                          "has " + std::to_string(c - 1) + (c == 2 ? " reading" : " readings") +
                              " for " + std::to_string(p.NumColors) + " colors.");
      double value = LenientNumber(field);
      // The first group's median is taken in single precision.
      if (!(std::fabs(value) <= FLT_MAX))
        return RefuseLine(p, f, line_no, first, "has a reading that is too large.");
      f.table(c, record) = value;
    }
  }
  in.Close();
  return Flow::Continue;
}

// Sorts the first group of every colour and returns the median of colour c's row.
void FirstGroupMedians(CompanionTable& table, int colors, int g, FixedTables::Slots& out) {
  double row[kMaxFirstGroup + 1] = {};
  for (int c = 1; c <= colors; ++c) {
    for (int k = 1; k <= g; ++k) row[k] = table(c, k);
    ExchangeSort(row, g);
    for (int k = 1; k <= g; ++k) table(c, k) = row[k];
    out[c] = MedianOfSortedRow(row, g);
  }
}

std::int16_t RecordNumberOf(const CompanionTable& table, int record) {
  return ToInt16(table.Number(record)).value_or(FixedTables::kNoRecord);
}

void Compact(const Program& p, FixedTables::Slots& values) {
  int i = 0;
  for (int j = 1; j <= p.NumColors; ++j)
    if (IsColorUsed(p, j)) values[++i] = values[j];
}

}  // namespace

Flow ReadBlanksFile(Program& p) {
  FixedTables& t = p.fixed;
  CompanionFile f{Channels::kBlanks, "blanks", t.BlankTable};
  Flow flow = ReadCompanionFile(p, f);
  if (flow != Flow::Continue) return flow;
  p.NumBlanks = static_cast<std::int16_t>(t.BlankTable.Count());
  int g = f.first_group;
  if (g >= 1) {
    FirstGroupMedians(t.BlankTable, p.NumColors, g, t.SampleBackground);
    t.PureBackground = t.SampleBackground;
  } else {
    // Without a first group there is no starting background: nothing is subtracted until a
    // later record takes over.
    t.PureBackground.fill(0.0);
    t.SampleBackground.fill(0.0);
  }
  t.NextBlankIndex = t.NextBlankStart = FixedTables::kNoRecord;
  if (p.NumBlanks == 0) {
    p.BackgroundOn = false;
    p.BlanksPresent = false;
    OFResults_Radio_Click(p, p.ResultsInMicrospheres ? 1 : 0);
  } else if (g < p.NumBlanks) {
    t.NextBlankIndex = static_cast<std::int16_t>(g + 1);
    t.NextBlankStart = RecordNumberOf(t.BlankTable, g + 1);
  }
  return Flow::Continue;
}

Flow ReadControlsFile(Program& p) {
  FixedTables& t = p.fixed;
  CompanionFile f{Channels::kControls, "controls", t.ControlTable};
  t.ControlsFileName = p.channels.In(Channels::kControls).Path();
  Flow flow = ReadCompanionFile(p, f);
  if (flow != Flow::Continue) return flow;
  p.NumControls = static_cast<std::int16_t>(t.ControlTable.Count());
  int g = f.first_group;
  t.NextControlIndex = t.NextControlStart = FixedTables::kNoRecord;
  // The values stay in slot order; the run compacts them with its own colour choice.
  if (g >= 1) {
    FirstGroupMedians(t.ControlTable, p.NumColors, g, t.ControlReference);
    t.ControlCurrent = t.ControlReference;
    if (g < p.NumControls) {
      t.NextControlIndex = static_cast<std::int16_t>(g + 1);
      t.NextControlStart = RecordNumberOf(t.ControlTable, g + 1);
    }
  } else if (p.NumControls == 0) {
    t.ControlReference.fill(0.0);
    t.ControlCurrent.fill(0.0);
  } else {
    // No first group: the first record serves as reference and as current control.
    t.ControlReference.fill(0.0);
    for (int c = 1; c <= p.NumColors; ++c) t.ControlReference[c] = t.ControlTable(c, 1);
    t.ControlCurrent = t.ControlReference;
    if (p.NumControls >= 2) {
      t.NextControlIndex = 2;
      t.NextControlStart = RecordNumberOf(t.ControlTable, 2);
    }
  }
  return Flow::Continue;
}

bool IsColorUsed(const Program& p, int slot) {
  return p.ColorSelected[slot] && (!p.ColorIsTissue[slot] || !p.TissueExcluded);
}

void CompactBackground(Program& p, BackgroundOf which) {
  Compact(p, which == BackgroundOf::Pures ? p.fixed.PureBackground : p.fixed.SampleBackground);
}

void CompactControls(Program& p, ControlsOf which) {
  Compact(p, which == ControlsOf::Reference ? p.fixed.ControlReference : p.fixed.ControlCurrent);
}

void ApplyNextBlank(Program& p) {
  FixedTables& t = p.fixed;
  for (int c = 1; c <= p.NumColors; ++c) t.SampleBackground[c] = t.BlankTable(c, t.NextBlankIndex);
  int next = t.NextBlankIndex + 1;
  if (next <= p.NumBlanks) {
    t.NextBlankIndex = static_cast<std::int16_t>(next);
    t.NextBlankStart = RecordNumberOf(t.BlankTable, next);
  } else {
    t.NextBlankIndex = t.NextBlankStart = FixedTables::kNoRecord;
  }
  CompactBackground(p, BackgroundOf::Samples);
}

void ApplyNextControl(Program& p) {
  FixedTables& t = p.fixed;
  for (int c = 1; c <= p.NumColors; ++c)
    t.ControlCurrent[c] = t.ControlTable(c, t.NextControlIndex);
  int next = t.NextControlIndex + 1;
  if (next <= p.NumControls) {
    t.NextControlIndex = static_cast<std::int16_t>(next);
    t.NextControlStart = RecordNumberOf(t.ControlTable, next);
  } else {
    t.NextControlIndex = t.NextControlStart = FixedTables::kNoRecord;
  }
  CompactControls(p, ControlsOf::Current);
}

void ApplyControlCorrection(const Program& p, double* rhs) {
  const FixedTables& t = p.fixed;
  for (int i = 1; i <= p.MatrixSize; ++i)
    rhs[i] = t.ControlReference[i] / t.ControlCurrent[i] * rhs[i];
}

std::string FindZeroControl(const Program& p) {
  const FixedTables& t = p.fixed;
  const std::string tail = ".  Please untick Control Correction or edit the controls file.";
  for (int c = 1; c <= p.NumColors; ++c) {
    if (!p.ColorSelected[c]) continue;
    const std::string& name = p.form.Color[c].caption;
    if (t.ControlCurrent[c] == 0)
      return "The control value of " + name + " from the controls file " + t.ControlsFileName +
             " is 0, and Control Correction divides by it" + tail;
    if (t.NextControlIndex == FixedTables::kNoRecord) continue;
    for (int k = t.NextControlIndex; k <= p.NumControls; ++k)
      if (t.ControlTable(c, k) == 0)
        return "The control record numbered " + std::to_string(RecordNumberOf(t.ControlTable, k)) +
               " in the controls file " + t.ControlsFileName + " reads 0 for " + name +
               ", and Control Correction divides by it" + tail;
  }
  return "";
}

}  // namespace kolvane
