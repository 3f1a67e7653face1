// In this file: the spillover matrix from the pures: the raw matrix of pure readings at load,
// and at the start of a run the matrix reduced to the colours in use and normalised so that
// every pure's own colour counts 1.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Reads the pures P1..P(NumColors), which must be the first body records in slot order, into
// SpillMatrix and PureMatrix (less the background when a blanks file was given). Pures missing
// or out of order end the program after the message (Flow::ProgramEnding).
Flow BuildPureMatrix(Program& p);

// Rebuilds SpillMatrix for the colours in use from the pure readings, or from the matrix file's
// own matrix when the matrix came from a file.
void CompactMatrix(Program& p);

// Offers the tissue sample options where they apply, then divides every row by its diagonal.
// Flow::Stop when the user aborted the run there (every file closed), or when a pure has no
// signal at its own colour (a message naming the colour; nothing is divided).
Flow NormalizeSpillMatrix(Program& p);

}  // namespace kolvane
