// In this file: "Open Synchronous Scan File": the scan file, its blanks, the record count,
// the pure search and the window made ready for the user's choices.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow OpenScanDataset(Program& p);

}  // namespace kolvane
