#include "fixed/results_file.h"

#include "base/format.h"
#include "base/numbers.h"
#include "fixed/blanks_controls.h"

namespace kolvane {

namespace {

OutputChannel& Results(Program& p) {
  return p.channels.Out(Channels::kResults);
}

// With the tissue column left out of the correction every table keeps a column for it.
const char* TissueCell(const Program& p) {
  return p.TissueExcluded ? "\t" : "";
}

}  // namespace

void WriteTitleLine(Program& p) {
  Results(p).WriteLine(std::string("This file has been spillover") +
                       (p.BackgroundOn ? " and background corrected."
                                       : " corrected.  Background correction was not performed."));
}

void WriteAnalysisAdjustments(Program& p) {
  if (p.MatrixSize == p.NumColors) return;
  OutputChannel& out = Results(p);
  out.WriteLine("");
  out.WriteLine("Analysis adjustments");
  if (p.NumColors == p.MatrixSize + 1 && p.TissueExcluded) {
    out.WriteLine("\tTissue readings are not corrected.");
    out.WriteLine("");
    return;
  }
  if (p.TissueExcluded) out.WriteLine("\tTissue readings are not corrected.");
  out.WriteLine("\tWavelengths not used.");
  std::string unused;
  for (int c = 1; c <= p.NumColors; ++c)
    if (!IsColorUsed(p, c)) unused += "\t" + TrimSpaces(p.form.Color[c].caption);
  out.WriteLine(unused);
  out.WriteLine("");
}

void PrintSpillMatrix(Program& p) {
  OutputChannel& out = Results(p);
  out.WriteLine("");
  if (p.MatrixFromFile) out.WriteLine("Spillover Matrix Read from File: " + p.MatrixFileName);
  std::string line = std::string("Spillover Matrix") + TissueCell(p);
  for (int k = 1; k <= p.MatrixSize; ++k) line += "\t" + p.MatrixColorNames[k];
  out.WriteLine(line);
  for (int r = 1; r <= p.MatrixSize; ++r) {
    line = p.MatrixColorNames[r] + TissueCell(p);
    for (int c = 1; c <= p.MatrixSize; ++c) line += "\t" + FormatFixed(p.SpillMatrix[r][c], 4);
    out.WriteLine(line);
  }
}

void WriteColumnHeading(Program& p) {
  OutputChannel& out = Results(p);
  out.WriteLine("");
  std::string line = "Sample/Color";
  if (p.TissueExcluded) line += "\tTissue";
  for (int k = 1; k <= p.MatrixSize; ++k) line += "\t" + p.MatrixColorNames[k];
  out.WriteLine(line);
  if (!p.BackgroundOn) return;
  line = std::string("BG (Pures)") + TissueCell(p);
  for (int k = 1; k <= p.MatrixSize; ++k) line += "\t" + FormatFixed(p.fixed.PureBackground[k], 4);
  out.WriteLine(line);
}

namespace {

std::string ResultText(const Program& p, const ResultRecord& record, const double* values,
                       bool overload) {
  std::string line = record.type + std::to_string(record.number);
  if (p.TissueExcluded) {
    line += '\t';
    AppendFixed(line, record.tissue_reading, 4);
  }
  for (int k = 1; k <= p.MatrixSize; ++k) {
    line += '\t';
    if (overload) {
      line += "OL";
    } else {
      AppendFixed(line, values[k], 3);
    }
  }
  return line;
}

}  // namespace

ResultRecord CurrentResultRecord(const Program& p) {
  return ResultRecord{p.fixed.RecordType, p.fixed.RecordNumber, p.fixed.Readings[1]};
}

std::string ResultLine(const Program& p, const double* values, bool overload) {
  return ResultText(p, CurrentResultRecord(p), values, overload);
}

namespace {

// The type, at most "-32768" and a cell for the tissue and for every colour.
constexpr std::size_t kLineRoom = 16 + (kMaxColors + 1) * (1 + kFixedShortcutRoom);

// ResultLine's text written at `out` (kLineRoom characters), for the usual line whose cells
// all take the number shortcut; nullptr when one does not.
char* WriteOrdinaryResultLine(const Program& p, const ResultRecord& record, const double* values,
                              bool overload, char* out) {
  if (record.type.size() > 1 || p.MatrixSize > kMaxColors) return nullptr;
  if (record.type.size() == 1) *out++ = record.type[0];
  int number = record.number;
  if (number < 0) {
    *out++ = '-';
    number = -number;
  }
  char digits[8];
  char* start = digits + sizeof digits;
  do {
    *--start = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  for (; start != digits + sizeof digits; ++start) *out++ = *start;
  if (p.TissueExcluded) {
    *out++ = '\t';
    out = WriteFixedShortcut(out, record.tissue_reading, 4);
    if (out == nullptr) return nullptr;
  }
  for (int k = 1; k <= p.MatrixSize; ++k) {
    *out++ = '\t';
    if (overload) {
      *out++ = 'O';
      *out++ = 'L';
    } else {
      out = WriteFixedShortcut(out, values[k], 3);
      if (out == nullptr) return nullptr;
    }
  }
  return out;
}

}  // namespace

void WriteResultLine(Program& p, const ResultRecord& record, const double* values, bool overload) {
  char line[kLineRoom];
  if (const char* end = WriteOrdinaryResultLine(p, record, values, overload, line)) {
    Results(p).WriteLine(std::string_view(line, static_cast<std::size_t>(end - line)));
  } else {
    Results(p).WriteLine(ResultText(p, record, values, overload));
  }
}

}  // namespace kolvane
