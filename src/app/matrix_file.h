// In this file: "New Spillover Matrix": a spillover matrix read from a matrix file (*.spl) for
// the loaded fixed-wavelength dataset.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Asks for a matrix file and reads NumColors lines of NumColors numbers (percent) into
// SpillMatrix. The matrix is taken only when the file is whole: a cancel, a file that cannot
// be opened, a short file or a line with a comma leave the matrix in force, MatrixReady and
// the mark of an earlier matrix file as they were (Flow::Stop). Flow::Continue when read.
Flow Spillover_Click(Program& p);

}  // namespace kolvane
