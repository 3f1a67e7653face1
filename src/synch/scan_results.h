// In this file: the run section of a scan results file: the microspheres/ml table, the pure
// matrix, the colour names, the column headings and one line per record. Cells are separated
// by one TAB; a number that is not finite is never written (its cell stays empty).
#pragma once

#include <string>

#include "app/program.h"
#include "synch/scan_fit.h"

namespace kolvane {

// A number in the fixed pattern with `decimals` decimals, or an empty cell when not finite.
std::string FixedCell(double value, int decimals);

// The head of the run section. FitMatrix and MicrosFactor (before the solvent factor) are
// ready; after the microspheres/ml table MicrosFactor is multiplied by SolventAmount.
void WriteRunHead(Program& p);

// One record's line: RecordName, the n results, SS, R^2, the value at 350 nm (when the scan
// reaches it) and "***" for a set Hi-Lo flag. Fills SampleResult.
void WriteRecordLine(Program& p, const Vector& x, const FitQuality& quality, bool hi_lo);

}  // namespace kolvane
