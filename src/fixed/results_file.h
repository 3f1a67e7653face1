// In this file: the lines of the spillover-corrected results file of a fixed-wavelength run:
// the title, the analysis adjustments, the spillover matrix, the column heading, the pures'
// background and one line per record. All go to channel 2.
#pragma once

#include <string>

#include "app/program.h"

namespace kolvane {

void WriteTitleLine(Program& p);
// Only when colours are left out of the analysis.
void WriteAnalysisAdjustments(Program& p);
void PrintSpillMatrix(Program& p);
// The empty line, "Sample/Color" and, with background subtraction, "BG (Pures)".
void WriteColumnHeading(Program& p);
// The result line of the current record. values[1..MatrixSize] are the results; every one is
// written as "OL" when a pure was overloaded.
std::string ResultLine(const Program& p, const double* values, bool overload);
// What a result line takes from its record, kept so that the line can be written after the
// next record has been read.
struct ResultRecord {
  std::string type;  // RecordType
  std::int16_t number = 0;
  double tissue_reading = 0.0;  // Readings[1], written when the tissue is left out
};
ResultRecord CurrentResultRecord(const Program& p);
// ResultLine's text for a kept record, written to the results file.
void WriteResultLine(Program& p, const ResultRecord& record, const double* values, bool overload);

}  // namespace kolvane
