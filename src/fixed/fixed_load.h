// In this file: "Open Fixed Wavelength File": the data file and its companions, the record
// counts, the pure matrix and the window made ready for the user's choices.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow OpenFixedDataFile(Program& p);

// Counts the pure and sample records of data file 1 (which stands at its first record) and
// reads the blanks and controls files; fills the statistics labels.
Flow ScanDataBody(Program& p);

// Hides the colour check boxes and microspheres/ml boxes of the slots above NumColors.
void HideSpareColorBoxes(Program& p);

}  // namespace kolvane
