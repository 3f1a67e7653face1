// In this file: the figures of a fixed-wavelength run's matrix (the compacted, normalised
// spillover matrix of the colours in use, row = reading, column = pure) and of its blanks.
#pragma once

#include "app/program.h"
#include "numeric/gauss.h"

namespace kolvane {

// Fills p.figures from the system the run solves with; slot_of maps a matrix position to
// its colour slot.
void FillFixedFigures(Program& p, const double (&matrix)[kSolveDim][kSolveDim], int n,
                      const int* slot_of);

}  // namespace kolvane
