// In this file: the tables of the fixed-wavelength path (header values, blanks and controls,
// the current record, the pure matrix).
#pragma once

namespace kolvane {

struct FixedTables {};

}  // namespace kolvane
