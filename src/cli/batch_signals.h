// In this file: the stop signals of kolvane-batch. The first Ctrl-C, SIGTERM or SIGHUP asks
// the run (or every file of a study) to stop at its next yield, as a confirmed abort does: what
// was written is kept as decided for a run that did not complete, and the batch says so. A
// second one removes the temporary files and ends the program at once (after a commit under
// way). A closed standard output (SIGPIPE) stops nothing: writes to it fail and are ignored.
#pragma once

#include <atomic>

namespace kolvane {

// Set by the first stop signal.
std::atomic<bool>& StopRequested();
// Installs the handlers and clears the stop.
void HandleStopSignals();

}  // namespace kolvane
