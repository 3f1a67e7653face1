// In this file: the fixed-wavelength analysis run.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// The checks made at Analyze before the run is dispatched, with the dataset left loaded when
// they refuse: microspheres/ml entries of the colours in use, zero control readings.
// Returns Flow::Continue when the run may start.
Flow CheckFixedRunPreconditions(Program& p);

Flow RunFixedAnalysis(Program& p);

}  // namespace kolvane
