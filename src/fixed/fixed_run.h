// In this file: the fixed-wavelength analysis run.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow RunFixedAnalysis(Program& p);

}  // namespace kolvane
