// In this file: the commands that choose a path: the two Open commands, the analyse button
// and the run dispatch.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow OpenData_Click(Program& p);
Flow OpenDataSS_Click(Program& p);
Flow RunAnalysis_Click(Program& p);
Flow DispatchRun(Program& p);

}  // namespace kolvane
