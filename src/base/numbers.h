// In this file: how text from the program's files becomes numbers, and the small text helpers
// that the readers of both paths share.
#pragma once

#include <cstddef>
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

// The powers of ten that are exact doubles.
inline constexpr double kPlainPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The shortcut of that rule for the plainest and commonest number text: an optional sign,
// digits with at most one full stop, at least one digit, at most 15 significant digits and at
// most 22 decimals. Reads from `first` and returns where such text stops, with its value in
// `value`; returns nullptr (value untouched) when the text at `first` is not of that kind.
// The value is the one LenientNumber gives when the number text ends where the returned
// pointer stands; the caller checks what stands there (a separator, or the end of the text).
// Defined here, so that the readers' per-number loops inline it.
inline const char* ParsePlainNumber(const char* first, const char* last, double& value) {
  const char* p = first;
  bool negative = false;
  if (p != last && (*p == '-' || *p == '+')) {
    negative = (*p == '-');
    ++p;
  }
  // Leading zeros do not count towards the 15 digits: the mantissa stays 0 through them.
  std::uint64_t mantissa = 0;
  int significant = 0;
  const char* digits_start = p;
  for (; p != last; ++p) {
    const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
    if (digit > 9) break;
    mantissa = mantissa * 10 + digit;
    if (mantissa != 0 && ++significant > 15) return nullptr;
  }
  std::ptrdiff_t digit_count = p - digits_start;
  int decimals = 0;
  if (p != last && *p == '.') {
    const char* fraction_start = ++p;
    for (; p != last; ++p) {
      const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
      if (digit > 9) break;
      mantissa = mantissa * 10 + digit;
      if (mantissa != 0 && ++significant > 15) return nullptr;
      if (p - fraction_start >= 22) return nullptr;
    }
    decimals = static_cast<int>(p - fraction_start);
    digit_count += decimals;
  }
  if (digit_count == 0) return nullptr;
  // Both operands exact: the one division rounds correctly, as the full conversion does.
  const double magnitude = static_cast<double>(mantissa) / kPlainPowers[decimals];
  value = negative ? -magnitude : magnitude;
  return p;
}

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
