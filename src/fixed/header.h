// In this file: the header of a fixed-wavelength data file: its keyword lines, the four
// wavelength lines and the colour line that ends it.
#pragma once

#include <string>

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Reads the header from data file 1, which must stand at its first byte, up to and including
// the colour line. parse: takes the keyword lines into the dataset state and sets up the
// colour check boxes (every header value starts from its start-up value first). echo: copies
// the header into results file 2, the wavelength lines after the rebuilt colour line. Neither:
// only reads past the header. Refuses a file without a colour line, and (parse) a colour
// count that is missing, below 1 or above 30, with a message naming the file; Flow::Stop then.
Flow ReadDataFileHeader(Program& p, bool parse, bool echo);

// True when the item holds any of "ex sl", "em sl", "ex wl", "em wl".
bool HasWavelengthKeyword(const std::string& item);

}  // namespace kolvane
