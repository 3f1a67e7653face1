// In this file: the header of a synchronous-scan data file. Copy mode parses the values the
// analysis needs, echoes every item into the results file and sizes the per-run tables; skip
// mode only moves the read position past the "Date/Time" item that ends the header.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Reads channel 1 from its current position up to and including the "Date/Time" item. In copy
// mode the header values start from their start-up state, so nothing of an earlier dataset
// survives, and a header that breaks the limits of the tables is refused with a message
// (Flow::Stop; the caller closes the files). Skip mode refuses only a missing "Date/Time".
Flow ReadScanHeader(Program& p, bool copy);

}  // namespace kolvane
