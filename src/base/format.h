// In this file: the number forms of the results file.
#pragma once

#include <string>

namespace kolvane {

// The fixed patterns "0", "0.00", "0.000", "0.0000": at least one integer digit, exactly
// `decimals` decimals, halves rounded away from zero on the decimal value (as a spreadsheet
// does: 0.0005 -> "0.001", 2.675 -> "2.675" in "0.000" and "2.68" in "0.00"), a leading minus
// sign, never "-0.000", no thousands separator. The decimal value is the double's first 15
// significant digits, which is what a spreadsheet shows of it. Not finite values never reach
// here (should one, it is written as zero). The full stop whatever the locale.
std::string FormatFixed(double value, int decimals);
// The same text appended to `line` (the results lines are built cell by cell).
void AppendFixed(std::string& line, double value, int decimals);
// The same text written at `out` when the value takes FormatFixed's shortcut (a finite value of
// ordinary magnitude, 1..6 decimals): at most kFixedShortcutRoom characters, returning their
// end. nullptr, with `out` holding nothing of use, when the value needs the full route.
inline constexpr int kFixedShortcutRoom = 24;
char* WriteFixedShortcut(char* out, double value, int decimals);
// The same text, always formed from the value's full decimal digits. FormatFixed takes a
// shortcut for ordinary values; this is the route it falls back on, kept callable so that the
// two can be held equal.
std::string FormatFixedFromDigits(double value, int decimals);

// The general shortest form of a double: up to 15 significant digits, no trailing zeros, a
// whole number without a decimal point ("1000", "0.5"). When the decimal exponent is 15 or
// more, or below -4, the form is d.dddE+XX with at least two exponent digits ("1E+20",
// "1.5E-05"). No leading blank for positive values; zero and -0 are "0".
std::string FormatGeneral(double value);

// The same for a single-precision value: up to 7 significant digits, exponent form from 1E+07
// up and below 1E-04 ("350.5", "1.234568E+07").
std::string FormatGeneralSingle(float value);

}  // namespace kolvane
