// In this file: the synchronous-scan analysis run.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow RunScanAnalysis(Program& p);

}  // namespace kolvane
