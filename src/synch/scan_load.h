// In this file: "Open Synchronous Scan File": the scan file, its blanks, the record count,
// the pure search and the window made ready for the user's choices.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Asks for the data, blanks and results files, copies the header into the results file,
// counts the records, forms the blank spectrum and finds the pures. A load starts afresh:
// nothing of an earlier dataset reaches this one's results. Every refusal closes what the
// load opened.
Flow OpenScanDataset(Program& p);

// Counts the data file's records from the current position (just after the header) and, when
// a blanks file is open, reads it. Refuses a file of more than 32767 records.
Flow CountScanRecords(Program& p);

}  // namespace kolvane
