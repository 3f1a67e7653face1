// Placeholder until the fixed-wavelength path lands; replaced by fixed_load.cpp/fixed_run.cpp.
#include "fixed/fixed_load.h"
#include "fixed/fixed_run.h"

namespace kolvane {
Flow OpenFixedDataFile(Program&) { return Flow::Stop; }
Flow RunFixedAnalysis(Program&) { return Flow::Continue; }
Flow CheckFixedRunPreconditions(Program&) { return Flow::Continue; }
}  // namespace kolvane
