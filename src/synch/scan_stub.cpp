// Placeholder until the synchronous-scan path lands; replaced by scan_load.cpp/scan_run.cpp.
#include "synch/scan_load.h"
#include "synch/scan_run.h"

namespace kolvane {
Flow OpenScanDataset(Program&) { return Flow::Stop; }
Flow RunScanAnalysis(Program&) { return Flow::Continue; }
}  // namespace kolvane
