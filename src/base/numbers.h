// In this file: how text from the program's files becomes numbers, and the small text helpers
// that the readers of both paths share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kolvane {

// The lenient number rule, used wherever text from a file becomes a number: blanks, TABs and
// line feeds anywhere in the text are ignored; the longest leading part that forms a decimal
// number (optional sign, digits, at most one full stop, optional exponent) is taken; text
// without such a part gives 0. The decimal separator is always the full stop, whatever the
// locale. A number too large for a double gives an infinity, which callers refuse.
double LenientNumber(std::string_view text);

// The shortcut of that rule for the plainest and commonest number text: an optional sign,
// digits with at most one full stop, at least one digit, at most 15 significant digits and at
// most 22 decimals. Reads from `first` and returns where such text stops, with its value in
// `value`; returns nullptr (value untouched) when the text at `first` is not of that kind.
// The value is the one LenientNumber gives when the number text ends where the returned
// pointer stands; the caller checks what stands there (a separator, or the end of the text).
const char* ParsePlainNumber(const char* first, const char* last, double& value);

// A number typed with the full stop as decimal separator (the batch front end and the test
// host): surrounding blanks allowed, optional sign, digits, one full stop, optional exponent,
// and nothing else. Empty when the text is not such a number or lies outside the
// single-precision range.
std::optional<double> ParseStrictNumber(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4), and
// converts to a signed 16-bit count. Empty when the value is not finite or lies outside
// -32768..32767: callers turn that into a clear refusal, nothing ever wraps.
std::optional<std::int16_t> ToInt16(double value);

// Rounds halves to even without a range limit (for values already known to be in range).
double RoundHalfEven(double value);

// Returns the text before the first TAB and leaves in `text` what follows that TAB; without a
// TAB returns the whole text and leaves `text` unchanged.
std::string SplitAtTab(std::string& text);

// Removes spaces (only the blank character) from both ends.
std::string TrimSpaces(std::string_view text);

// The median of values[1..n] (1-based; values[0] is not read), which the caller has sorted in
// ascending order. The values are rounded to single precision first, so the result is a
// single-precision value or the mean of two; that mean is formed in single precision as well
// (the two singles added as a single, halved as a single). n is 1..100; below 1 gives 0.
double MedianOfSortedRow(const double* values, int n);

// Sorts values[1..n] ascending with the exchange sort the blanks and controls use (for k, for
// l > k, swap when entry k is greater). Equal results to any ascending sort.
void ExchangeSort(double* values, int n);

}  // namespace kolvane
