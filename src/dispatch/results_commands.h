// In this file: the commands of the results table and the record viewer that the window shows
// after a complete run.
#pragma once

#include "app/program.h"
#include "app/results_table.h"

namespace kolvane {

// After a run: the table of the lines it kept (the results file of a complete run, the
// incomplete file of one that stopped). A file that cannot be read back leaves the table empty
// and says so on the status line.
void ShowRunResults(Program& p);
// A row was selected (a row of the table, in the file's order): for a scan, the record viewer
// shows that record and its fit.
void ResultsRow_Click(Program& p, int row);
void ResultsFilter_Click(Program& p, ResultsFilter filter);

}  // namespace kolvane
