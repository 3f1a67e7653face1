// In this file: the number forms of the results file.
#pragma once

#include <string>

namespace kolvane {

// The fixed patterns "0", "0.00", "0.000", "0.0000": at least one integer digit, exactly
// `decimals` decimals, halves rounded away from zero on the decimal value (as a spreadsheet
// does: 0.0005 -> "0.001", 2.675 -> "2.675" in "0.000" and "2.68" in "0.00"), a leading minus
// sign, never "-0.000", no thousands separator. Not finite values never reach here.
std::string FormatFixed(double value, int decimals);

// The general shortest form of a double: up to 15 significant digits, no trailing zeros, a
// whole number without a decimal point ("1000", "0.5", "1E+20" style exponent for large values).
std::string FormatGeneral(double value);

// The same for a single-precision value: up to 7 significant digits.
std::string FormatGeneralSingle(float value);

}  // namespace kolvane
