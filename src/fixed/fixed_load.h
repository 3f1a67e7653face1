// In this file: "Open Fixed Wavelength File": the data file and its companions, the record
// counts, the pure matrix and the window made ready for the user's choices.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow OpenFixedDataFile(Program& p);

}  // namespace kolvane
