// In this file: Analyze Again. In the window a run leaves its dataset loaded: the same files are
// loaded again without a dialog, the matrix file read again, and the window given the choices
// the run was started with (result format, colours, microspheres/ml, background subtraction,
// control correction), so that the next Analyze starts exactly where a fresh start with those
// files and choices would. The next run asks only for its results file.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// What the user set in the window, as Analyze finds it.
WindowChoices ChoicesOf(const Program& p);
// Gives a freshly loaded dataset's window those choices, through the controls' own handlers.
void ApplyChoices(Program& p, const WindowChoices& c);

// Loads the files of the last load (scan: a scan dataset) again without a dialog, with
// `results` as the results file, reads its matrix file again and gives the window `choices`.
Flow ReloadDataset(Program& p, bool scan, const WindowChoices& choices, const std::string& results);
// After a run, when Program::KeepDatasetAfterRun: the dataset again with the choices Analyze
// found. The status line is left to the caller.
// `shown`: the one-step open's files as the run began (the run's end cleared them).
Flow KeepDatasetAfterRun(Program& p, bool scan, const DatasetFiles& shown);
// The loaded dataset's results file becomes `path`: the dataset is loaded again with it and the
// window's choices (a results file is written from its load on). Refused, with a message, when
// it is one of the files being read.
Flow ReopenResults(Program& p, const std::string& path);

// Analyze on a dataset kept after a run: asks for the results file ("Save Results File", the
// last one proposed); a cancel runs nothing. Without a kept dataset it is RunAnalysis_Click.
Flow AnalyzeAgain_Click(Program& p);

}  // namespace kolvane
