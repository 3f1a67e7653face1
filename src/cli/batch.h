// In this file: the batch front end's entry point.
#pragma once

namespace kolvane {

// Parses the command line, runs the chosen analysis and returns the exit status: 0 for a
// complete results file, 1 when the data stopped the analysis, 2 for a usage error.
int BatchMain(int argc, char** argv);

}  // namespace kolvane
