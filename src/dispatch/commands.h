// In this file: the commands that choose a path: the two Open commands, the analyse button
// and the run dispatch.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow OpenData_Click(Program& p);
Flow OpenDataSS_Click(Program& p);
Flow RunAnalysis_Click(Program& p);
// A load of either kind with the commands' guard, keeping the results table and the one-step
// open's files: the dataset loaded again after a run.
Flow LoadQuietly(Program& p, bool scan);

// The operations the analyse button reaches on each path. The commands above use the real
// ones; tests hand in their own to watch the window around a run.
struct RunPaths {
  Flow (*fixed_checks)(Program&);  // the fixed path's checks made at Analyze
  Flow (*fixed_run)(Program&);
  Flow (*scan_run)(Program&);
};
RunPaths DefaultRunPaths();
Flow RunAnalysisWith(Program& p, const RunPaths& paths);
Flow DispatchRunWith(Program& p, const RunPaths& paths);

}  // namespace kolvane
