// In this file: the number forms of the results file. Every form starts from the value's
// decimal digits (15 significant digits for a double, 7 for a single, as a spreadsheet or a
// BASIC Str shows them) and rounds those decimal digits, never the binary value, so 0.0005
// shows as "0.001" although the nearest double lies a little below.
#include "base/format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kolvane {

namespace {

// A value as decimal digits d1 d2 ... dn (no leading zero unless the value is 0) and the
// exponent of d1: value = d1.d2...dn x 10^exponent.
struct Decimal {
  bool negative = false;
  char digits[32];
  int count = 0;
  int exponent = 0;
};

// Locale-free: std::to_chars writes the correctly rounded scientific form.
Decimal ToDecimal(double value, int significant) {
  Decimal d;
  d.negative = std::signbit(value);
  char text[64];
  const auto result = std::to_chars(text, text + sizeof(text), std::fabs(value),
                                    std::chars_format::scientific, significant - 1);
  const char* p = text;
  const char* end = result.ptr;
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') d.digits[d.count++] = *p;
  }
  if (p != end) {
    ++p;
    const bool negative = (*p == '-');
    if (*p == '-' || *p == '+') ++p;
    for (; p != end; ++p) d.exponent = d.exponent * 10 + (*p - '0');
    if (negative) d.exponent = -d.exponent;
  }
  // Trailing zeros carry no information; dropping them keeps the rounding code simple.
  while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
  if (d.count == 1 && d.digits[0] == '0') d.exponent = 0;
  return d;
}

bool IsZero(const Decimal& d) {
  return d.count == 1 && d.digits[0] == '0';
}

// The digit at decimal position `power` (10^power) of d, '0' outside its digits.
char DigitAt(const Decimal& d, int power) {
  const int index = d.exponent - power;
  return index >= 0 && index < d.count ? d.digits[index] : '0';
}

std::string FixedFromDecimal(const Decimal& d, int decimals) {
  // Keep the digits down to 10^-decimals and round half away from zero on the next one.
  const int top = d.exponent >= 0 ? d.exponent : 0;
  const int width = top + 1 + decimals;  // digits of the unsigned result before any carry
  std::string magnitude(static_cast<std::size_t>(width) + 1, '0');  // one spare for a carry
  for (int i = 0; i < width; ++i) magnitude[i + 1] = DigitAt(d, top - i);
  if (!IsZero(d) && DigitAt(d, -decimals - 1) >= '5') {
    int i = width;
    while (magnitude[i] == '9') magnitude[i--] = '0';
    ++magnitude[i];
  }
  std::size_t first = magnitude[0] == '0' ? 1 : 0;
  bool all_zero = true;
  for (std::size_t i = first; i < magnitude.size(); ++i) {
    if (magnitude[i] != '0') all_zero = false;
  }
  std::string out;
  out.reserve(magnitude.size() + 2);
  if (d.negative && !all_zero) out.push_back('-');
  const std::size_t integer_end = magnitude.size() - static_cast<std::size_t>(decimals);
  out.append(magnitude, first, integer_end - first);
  if (decimals > 0) {
    out.push_back('.');
    out.append(magnitude, integer_end, std::string::npos);
  }
  return out;
}

// The general form: plain digits while the exponent lies in -5..significant-1, otherwise
// d.dddE+XX with at least two exponent digits ("1E+20", "1.5E-05").
std::string GeneralFromDecimal(const Decimal& d, int significant) {
  if (IsZero(d)) return "0";
  std::string out;
  if (d.negative) out.push_back('-');
  if (d.exponent >= significant || d.exponent < -4) {
    out.push_back(d.digits[0]);
    if (d.count > 1) {
      out.push_back('.');
      out.append(d.digits + 1, d.digits + d.count);
    }
    out.push_back('E');
    out.push_back(d.exponent < 0 ? '-' : '+');
    const int magnitude = std::abs(d.exponent);
    if (magnitude < 10) out.push_back('0');
    out += std::to_string(magnitude);
    return out;
  }
  if (d.exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
    out.append(d.digits, d.digits + d.count);
    return out;
  }
  for (int power = d.exponent; power >= 0; --power) out.push_back(DigitAt(d, power));
  if (d.count > d.exponent + 1) {
    out.push_back('.');
    out.append(d.digits + d.exponent + 1, d.digits + d.count);
  }
  return out;
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  if (decimals < 0) decimals = 0;
  // Callers refuse infinities and NaN before writing; should one slip through it is written
  // as zero rather than as text a spreadsheet cannot read.
  if (!std::isfinite(value)) value = 0.0;
  return FixedFromDecimal(ToDecimal(value, 15), decimals);
}

std::string FormatGeneral(double value) {
  if (!std::isfinite(value)) value = 0.0;
  return GeneralFromDecimal(ToDecimal(value, 15), 15);
}

std::string FormatGeneralSingle(float value) {
  if (!std::isfinite(value)) value = 0.0f;
  return GeneralFromDecimal(ToDecimal(static_cast<double>(value), 7), 7);
}

}  // namespace kolvane
