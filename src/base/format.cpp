// In this file: the number forms of the results file. Every form starts from the value's
// decimal digits (15 significant digits for a double, 7 for a single, as a spreadsheet or a
// BASIC Str shows them) and rounds those decimal digits, never the binary value, so 0.0005
// shows as "0.001" although the nearest double lies a little below.
#include "base/format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

constexpr std::uint64_t kTens[] = {1ULL,
                                   10ULL,
                                   100ULL,
                                   1000ULL,
                                   10000ULL,
                                   100000ULL,
                                   1000000ULL,
                                   10000000ULL,
                                   100000000ULL,
                                   1000000000ULL,
                                   10000000000ULL,
                                   100000000000ULL,
                                   1000000000000ULL,
                                   10000000000000ULL,
                                   100000000000000ULL,
                                   1000000000000000ULL,
                                   10000000000000000ULL,
                                   100000000000000000ULL,
                                   1000000000000000000ULL};

// 5^k for k = 0..22; each below 2^53.
constexpr std::uint64_t kFives[] = {1ULL,
                                    5ULL,
                                    25ULL,
                                    125ULL,
                                    625ULL,
                                    3125ULL,
                                    15625ULL,
                                    78125ULL,
                                    390625ULL,
                                    1953125ULL,
                                    9765625ULL,
                                    48828125ULL,
                                    244140625ULL,
                                    1220703125ULL,
                                    6103515625ULL,
                                    30517578125ULL,
                                    152587890625ULL,
                                    762939453125ULL,
                                    3814697265625ULL,
                                    19073486328125ULL,
                                    95367431640625ULL,
                                    476837158203125ULL,
                                    2384185791015625ULL};

__extension__ typedef unsigned __int128 Wide;

// The value's 15 significant digits as an integer N, 10^14 <= N < 10^15, with
// value = N x 10^(exponent - 14), rounded half to even on the exact binary value as the full
// conversion rounds them. The double is m x 2^e with m below 2^53; m x 10^k = m x 5^k x 2^k
// is exact in 128 bits for k <= 22, so the integer part and the remainder are exact.
// False for magnitudes outside 1e-7..1e13 (left to the full conversion).
bool FifteenDigits(double magnitude, std::uint64_t& digits, int& exponent) {
  if (!(magnitude >= 1e-7 && magnitude < 1e13)) return false;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);  // a normal number: no sign, no subnormal
  const std::uint64_t mantissa = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
  const int binary = biased - 1075;  // magnitude = mantissa x 2^binary
  // 2^(biased - 1023) <= magnitude < 2^(biased - 1022); the decimal exponent is the floor of
  // (biased - 1023) log10 2 or one more. 78913 / 2^18 is log10 2 closely enough here.
  const int power = biased - 1023;
  int guess = power >= 0 ? (power * 78913) >> 18 : -((-power * 78913 + (1 << 18) - 1) >> 18);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int k = 14 - guess;
    if (k < 0 || k > 22) return false;
    const Wide product = static_cast<Wide>(mantissa) * kFives[k];
    const int shift = binary + k;  // y = product x 2^shift
    std::uint64_t whole = 0;
    // Whether to round up, as 0 or 1: the data make it unpredictable, so no branch on it.
    std::uint64_t up = 0;
    if (shift >= 0) {
      if (shift > 20) return false;
      const Wide y = product << shift;
      if (y >= static_cast<Wide>(1000000000000000ULL)) {
        ++guess;
        continue;
      }
      whole = static_cast<std::uint64_t>(y);
    } else {
      const int right = -shift;
      if (right > 120) return false;
      const Wide y = product >> right;
      if (y >= static_cast<Wide>(1000000000000000ULL)) {
        ++guess;
        continue;
      }
      whole = static_cast<std::uint64_t>(y);
      const Wide rest = product - (y << right);
      const Wide half = static_cast<Wide>(1) << (right - 1);
      up = static_cast<std::uint64_t>(rest > half) |
           (static_cast<std::uint64_t>(rest == half) & (whole & 1));
    }
    if (whole < 100000000000000ULL) {
      --guess;
      continue;
    }
    whole += up;
    if (whole == 1000000000000000ULL) {
      whole = 100000000000000ULL;
      ++guess;
    }
    digits = whole;
    exponent = guess;
    return true;
  }
  return false;
}

// N with its lowest `dropped` digits (1..15) rounded off half away from zero. A divisor known
// at compile time turns the division into a multiplication, several times faster.
template <int Dropped>
std::uint64_t RoundAwayAtConstant(std::uint64_t n) {
  constexpr std::uint64_t unit = kTens[Dropped];
  const std::uint64_t kept = n / unit;
  return kept + static_cast<std::uint64_t>(n - kept * unit >= unit / 2);
}

std::uint64_t RoundAwayAt(std::uint64_t n, int dropped) {
  switch (dropped) {
    case 1:
      return RoundAwayAtConstant<1>(n);
    case 2:
      return RoundAwayAtConstant<2>(n);
    case 3:
      return RoundAwayAtConstant<3>(n);
    case 4:
      return RoundAwayAtConstant<4>(n);
    case 5:
      return RoundAwayAtConstant<5>(n);
    case 6:
      return RoundAwayAtConstant<6>(n);
    case 7:
      return RoundAwayAtConstant<7>(n);
    case 8:
      return RoundAwayAtConstant<8>(n);
    case 9:
      return RoundAwayAtConstant<9>(n);
    case 10:
      return RoundAwayAtConstant<10>(n);
    case 11:
      return RoundAwayAtConstant<11>(n);
    case 12:
      return RoundAwayAtConstant<12>(n);
    case 13:
      return RoundAwayAtConstant<13>(n);
    case 14:
      return RoundAwayAtConstant<14>(n);
    default:
      return RoundAwayAtConstant<15>(n);
  }
}

// "00" to "99": two digits per division by 100 halve the chain of dependent divisions.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes exactly `count` (at least 1) digits of n right to left, ending just before `end`.
// Returns where they start.
char* WriteDigitsBackwards(std::uint64_t n, int count, char* end) {
  char* p = end;
  for (; count >= 2; count -= 2) {
    const std::size_t pair = static_cast<std::size_t>(n % 100) * 2;
    n /= 100;
    *--p = kDigitPairs[pair + 1];
    *--p = kDigitPairs[pair];
  }
  if (count == 1) *--p = static_cast<char>('0' + n % 10);
  return p;
}

// The number of decimal digits of n (1 for 0), without a branch on n: the bit length gives
// the count or one more.
int DigitCount(std::uint64_t n) {
  // n | 1 counts as n (powers of ten above 1 are even) and gives 0 its one digit.
  const std::uint64_t odd = n | 1;
  const int bits = 64 - __builtin_clzll(odd);
  const int guess = (bits * 1233) >> 12;  // 1233 / 4096 is just above log10 2
  return guess + 1 - static_cast<int>(odd < kTens[guess]);
}

// The eight digits of n < 10^8 in one word, the first digit in the lowest byte, so that a
// store of the word writes them in reading order on a little-endian machine.
std::uint64_t EightDigits(std::uint64_t n) {
  const auto pair = [](std::uint64_t two) {
    std::uint16_t text = 0;
    std::memcpy(&text, kDigitPairs + two * 2, 2);
    return static_cast<std::uint64_t>(text);
  };
  const std::uint64_t high = n / 10000;
  const std::uint64_t low = n - high * 10000;
  const std::uint64_t a = high / 100;
  const std::uint64_t c = low / 100;
  return pair(a) | pair(high - a * 100) << 16 | pair(c) << 32 | pair(low - c * 100) << 48;
}

// A count of units of 10^-Decimals as "integer.decimals", written in place. An integer part
// below 10^8 (the usual one) is formed as eight digits in a register whatever its length and
// shifted so that one 8-byte store writes its significant digits: no branch depends on how
// long the number is. Writes up to 8 characters past the integer part before the decimals
// overwrite them.
template <int Decimals>
char* WriteUnits(std::uint64_t units, char* out) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (units < 100000000ULL) {
    // All of it as eight digits at once: the integer part is the first 8 - Decimals of them
    // (at least one shown), the decimals the rest, and two word stores place both around the
    // full stop. Writes up to 8 characters past the end.
    constexpr int integer_bytes = 8 - Decimals;
    const std::uint64_t word = EightDigits(units);
    const int counted = DigitCount(units) - Decimals;
    const int length = counted < 1 ? 1 : counted;
    const std::uint64_t integer =
        (word & ((1ULL << (8 * integer_bytes)) - 1)) >> (8 * (integer_bytes - length));
    const std::uint64_t head = integer | static_cast<std::uint64_t>('.') << (8 * length);
    const std::uint64_t fraction = word >> (8 * integer_bytes);
    std::memcpy(out, &head, 8);
    std::memcpy(out + length + 1, &fraction, 8);
    return out + length + 1 + Decimals;
  }
#endif
  constexpr std::uint64_t scale = kTens[Decimals];
  const std::uint64_t integer = units / scale;
  const std::uint64_t fraction = units - integer * scale;
  const int length = DigitCount(integer);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (integer < 100000000ULL) {
    const std::uint64_t word = EightDigits(integer) >> (8 * (8 - length));
    std::memcpy(out, &word, 8);
  } else {
    WriteDigitsBackwards(integer, length, out + length);
  }
#else
  WriteDigitsBackwards(integer, length, out + length);
#endif
  char* const end = out + length + 1 + Decimals;
  out[length] = '.';
  WriteDigitsBackwards(fraction, Decimals, end);
  return end;
}

// The result in units of 10^-Decimals straight from the binary value. y = magnitude x
// 10^Decimals is taken as the double product y', within y x 2^-53 of y; below 2^45 its whole
// part q and fraction y' - q are exact. The 15-digit decimal differs from the value by at most
// half a unit of its 15th digit, at most magnitude x 0.5e-14, so together the decimal scaled
// lies within y x 5.2e-15 of y'. When the fraction is farther than y' x 2^-45 (about
// 2.8e-14 y') from one half, the decimal rounds half away from zero to q or q + 1 just as y'
// rounds to nearest, whichever side of the half y' lies on. False (left to the digit route)
// near a half and from 2^45 units up.
template <int Decimals>
bool UnitsFromBinary(double magnitude, std::uint64_t& units) {
  const double y = magnitude * static_cast<double>(kTens[Decimals]);
  if (!(y < 0x1p45)) return false;
  const std::uint64_t whole = static_cast<std::uint64_t>(y);
  const double fraction = y - static_cast<double>(whole);
  if (!(std::fabs(fraction - 0.5) > y * 0x1p-45)) return false;
  units = whole + static_cast<std::uint64_t>(fraction > 0.5);
  return true;
}

template <int Decimals>
char* FixedFromBinary(double value, double magnitude, char* out) {
  std::uint64_t units = 0;
  if (!UnitsFromBinary<Decimals>(magnitude, units)) return nullptr;
  if (std::signbit(value) && units != 0) *out++ = '-';
  return WriteUnits<Decimals>(units, out);
}

// Writes the fixed pattern of a value with 1..6 decimals from its 15 significant digits,
// rounding them half away from zero at the last decimal. Returns the end of the text, or
// nullptr when the value is left to the general route (which gives the same text).
char* FixedShortcut(double value, int decimals, char* out) {
  if (decimals < 1 || decimals > 6) return nullptr;
  const double magnitude = std::fabs(value);
  if (magnitude < 1e-7) {
    // Its 15 digits round to at most 1e-7, below half of the last decimal's unit: zero, and
    // never "-0.000".
    *out++ = '0';
    *out++ = '.';
    for (int i = 0; i < decimals; ++i) *out++ = '0';
    return out;
  }
  char* end = nullptr;
  switch (decimals) {
    case 1:
      end = FixedFromBinary<1>(value, magnitude, out);
      break;
    case 2:
      end = FixedFromBinary<2>(value, magnitude, out);
      break;
    case 3:
      end = FixedFromBinary<3>(value, magnitude, out);
      break;
    case 4:
      end = FixedFromBinary<4>(value, magnitude, out);
      break;
    case 5:
      end = FixedFromBinary<5>(value, magnitude, out);
      break;
    default:
      end = FixedFromBinary<6>(value, magnitude, out);
      break;
  }
  if (end != nullptr) return end;
  std::uint64_t digits = 0;
  int exponent = 0;
  if (!FifteenDigits(magnitude, digits, exponent)) return nullptr;
  // The digits of N that lie below 10^-decimals: dropped, the highest of them rounding.
  const int dropped = 14 - exponent - decimals;
  if (dropped < 1) return nullptr;
  std::uint64_t kept = 0;
  if (dropped <= 15) kept = RoundAwayAt(digits, dropped);
  // kept is the result in units of 10^-decimals (below 10^15).
  if (std::signbit(value) && kept != 0) *out++ = '-';
  switch (decimals) {
    case 1:
      return WriteUnits<1>(kept, out);
    case 2:
      return WriteUnits<2>(kept, out);
    case 3:
      return WriteUnits<3>(kept, out);
    case 4:
      return WriteUnits<4>(kept, out);
    case 5:
      return WriteUnits<5>(kept, out);
    default:
      return WriteUnits<6>(kept, out);
  }
}

}  // namespace

char* WriteFixedShortcut(char* out, double value, int decimals) {
  return std::isfinite(value) ? FixedShortcut(value, decimals, out) : nullptr;
}

std::string FormatFixed(double value, int decimals) {
  char text[32];
  if (std::isfinite(value)) {
    if (const char* end = FixedShortcut(value, decimals, text))
      return std::string(text, static_cast<std::size_t>(end - text));
  }
  return FormatFixedFromDigits(value, decimals);
}

void AppendFixed(std::string& line, double value, int decimals) {
  char text[32];
  if (std::isfinite(value)) {
    if (const char* end = FixedShortcut(value, decimals, text)) {
      line.append(text, static_cast<std::size_t>(end - text));
      return;
    }
  }
  line += FormatFixedFromDigits(value, decimals);
}

std::string FormatFixedFromDigits(double value, int decimals) {
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
