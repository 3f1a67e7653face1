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

std::string ResultLine(const Program& p, const double* values, bool overload) {
  const FixedTables& t = p.fixed;
  std::string line;
  line.reserve(16 + 16 * static_cast<std::size_t>(p.MatrixSize + 1));
  line += t.RecordType;
  line += std::to_string(t.RecordNumber);
  if (p.TissueExcluded) {
    line += '\t';
    AppendFixed(line, t.Readings[1], 4);
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

}  // namespace kolvane
