// In this file: the tables of the synchronous-scan path (scan geometry, blank spectrum, pure
// spectra and fit points, the fit's work arrays).
#pragma once

namespace kolvane {

struct ScanTables {};

}  // namespace kolvane
