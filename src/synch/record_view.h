// In this file: one record of the last scan run read back from its data file and fitted again
// with the run's own pure matrix, for the record viewer. Nothing of a record is kept during the
// run but where it lies in the file; the fit is the run's (same decomposition, same numbers).
#pragma once

#include "app/program.h"

namespace kolvane {

// Fills p.results.fit with the record of table row `row`: its spectrum (blank subtracted as the
// run did), the fitted values at every scan point, the fit points and SS and R^2. A record that
// cannot be read back (the data file changed or went) leaves a problem naming the file.
// Uses the copy of the run's fit that the run keeps until the next run.
void FitScanRecord(Program& p, int row);

}  // namespace kolvane
