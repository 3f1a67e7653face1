// In this file: the number rule for file text, the halves-to-even conversion to counts, the
// strict parser for typed numbers and the small row helpers of the blanks and controls.
#include "base/numbers.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace kolvane {

namespace {

bool IsIgnoredInNumber(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The powers of ten that are exact doubles.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Most numbers in the files have a few digits and no exponent: with at most 15 significant
// digits and a power of ten up to 22, both operands are exact doubles and one multiplication
// or division rounds correctly, so the result equals the full conversion's.
bool ConvertShort(const char* first, const char* last, double& value) {
  std::uint64_t mantissa = 0;
  int digits = 0;
  int scale = 0;  // value = mantissa x 10^scale
  bool seen_point = false;
  const char* p = first;
  for (; p != last && *p != 'e'; ++p) {
    if (*p == '.') {
      seen_point = true;
      continue;
    }
    if (mantissa == 0 && *p == '0') {
      if (seen_point) --scale;
      continue;
    }
    if (++digits > 15) return false;
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    if (seen_point) --scale;
  }
  if (p != last) {
    // The cleaned text always carries the exponent's sign.
    const bool negative = (p[1] == '-');
    int exponent = 0;
    for (p += 2; p != last; ++p) {
      if (exponent > 1000) return false;
      exponent = exponent * 10 + (*p - '0');
    }
    scale += negative ? -exponent : exponent;
  }
  if (mantissa == 0) {
    value = 0.0;
    return true;
  }
  if (scale < -22 || scale > 22) return false;
  const double m = static_cast<double>(mantissa);
  value = scale >= 0 ? m * kPowers[scale] : m / kPowers[-scale];
  return true;
}

// Converts a cleaned decimal number (no sign, digits with at most one full stop, optional
// exponent with at least one digit) without looking at the locale. std::from_chars leaves the
// value alone when the number is beyond a double's range; then the magnitude decides between
// an infinity and zero.
double ConvertCleaned(const char* first, const char* last) {
  double value = 0.0;
  if (ConvertShort(first, last, value)) return value;
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc()) return value;
  if (result.ec != std::errc::result_out_of_range) return 0.0;
  // The decimal exponent of the first significant digit, plus the written exponent.
  long long integer_digits = 0;
  long long fraction_digits = 0;
  long long first_significant = 0;  // its integer position (1-based) or -its fraction position
  bool seen_point = false;
  bool seen_significant = false;
  const char* p = first;
  for (; p != last && *p != 'e' && *p != 'E'; ++p) {
    if (*p == '.') {
      seen_point = true;
      continue;
    }
    if (seen_point) {
      ++fraction_digits;
    } else {
      ++integer_digits;
    }
    if (!seen_significant && *p != '0') {
      seen_significant = true;
      first_significant = seen_point ? -fraction_digits : integer_digits;
    }
  }
  if (!seen_significant) return 0.0;
  const long long lead =
      first_significant > 0 ? integer_digits - first_significant : first_significant;
  long long exponent = 0;
  if (p != last) {
    ++p;
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = (*p++ == '-');
    for (; p != last; ++p) {
      if (exponent < 1000000000LL) exponent = exponent * 10 + (*p - '0');
    }
    if (negative) exponent = -exponent;
  }
  return lead + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
}

// Parses sign, digits, one full stop and an exponent from [p, end) into `out` (sign dropped),
// skipping the characters `skip` accepts. Returns where the number ended and whether it had
// at least one digit.
template <typename Skip, typename Out>
const char* ScanNumber(const char* p, const char* end, Skip skip, Out& out, bool& negative,
                       bool& has_digits) {
  negative = false;
  has_digits = false;
  while (p != end && skip(*p)) ++p;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = (*p == '-');
    ++p;
  }
  bool seen_point = false;
  for (; p != end; ++p) {
    const char c = *p;
    if (skip(c)) continue;
    if (IsDigit(c)) {
      has_digits = true;
      out.push_back(c);
    } else if (c == '.' && !seen_point) {
      seen_point = true;
      out.push_back(c);
    } else {
      break;
    }
  }
  if (!has_digits || p == end || (*p != 'e' && *p != 'E')) return p;
  // An exponent counts only when at least one digit follows the e and its sign.
  const char* q = p + 1;
  while (q != end && skip(*q)) ++q;
  char exponent_sign = '+';
  if (q != end && (*q == '+' || *q == '-')) exponent_sign = *q++;
  while (q != end && skip(*q)) ++q;
  if (q == end || !IsDigit(*q)) return p;
  out.push_back('e');
  out.push_back(exponent_sign);
  for (; q != end; ++q) {
    if (skip(*q)) continue;
    if (!IsDigit(*q)) break;
    out.push_back(*q);
  }
  return q;
}

// A small growable character buffer that stays on the stack for ordinary numbers, so that
// reading a file number by number allocates nothing.
class NumberText {
 public:
  void push_back(char c) {
    if (size_ < sizeof(local_)) {
      local_[size_++] = c;
      return;
    }
    if (long_.empty()) long_.assign(local_, size_);
    long_.push_back(c);
    ++size_;
  }
  const char* data() const { return long_.empty() ? local_ : long_.data(); }
  std::size_t size() const { return size_; }

 private:
  char local_[64];
  std::size_t size_ = 0;
  std::string long_;
};

double Signed(double magnitude, bool negative) {
  return negative ? -magnitude : magnitude;
}

}  // namespace

double LenientNumber(std::string_view text) {
  {
    const char* last = text.data() + text.size();
    double value = 0.0;
    if (ParsePlainNumber(text.data(), last, value) == last) return value;
  }
  NumberText cleaned;
  bool negative = false;
  bool has_digits = false;
  ScanNumber(text.data(), text.data() + text.size(), IsIgnoredInNumber, cleaned, negative,
             has_digits);
  if (!has_digits) return 0.0;
  return Signed(ConvertCleaned(cleaned.data(), cleaned.data() + cleaned.size()), negative);
}

std::optional<double> ParseStrictNumber(std::string_view text) {
  auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  if (begin == end) return std::nullopt;
  NumberText cleaned;
  bool negative = false;
  bool has_digits = false;
  auto no_skip = [](char) { return false; };
  const char* first = text.data() + begin;
  const char* last = text.data() + end;
  const char* stop = ScanNumber(first, last, no_skip, cleaned, negative, has_digits);
  if (!has_digits || stop != last) return std::nullopt;
  const double value =
      Signed(ConvertCleaned(cleaned.data(), cleaned.data() + cleaned.size()), negative);
  if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return std::nullopt;
  return value;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  const double lower = std::floor(value);
  const double fraction = value - lower;  // exact for every double
  if (fraction > 0.5) return lower + 1.0;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::optional<std::int16_t> ToInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = RoundHalfEven(value);
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

std::string SplitAtTab(std::string& text) {
  const std::size_t tab = text.find('\t');
  if (tab == std::string::npos) return text;
  std::string before = text.substr(0, tab);
  text.erase(0, tab + 1);
  return before;
}

std::string TrimSpaces(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

double MedianOfSortedRow(const double* values, int n) {
  if (n < 1) return 0.0;
  // The method keeps the row in single precision: the mean of the two middle values is
  // formed in single precision too (a float sum halved as a float), so an even count gives
  // the same value the original working list of singles gives.
  const float upper = static_cast<float>(values[n / 2 + 1]);
  if (n % 2 == 1) return static_cast<double>(upper);
  const float lower = static_cast<float>(values[n / 2]);
  const float sum = lower + upper;
  return static_cast<double>(sum / 2.0f);
}

void ExchangeSort(double* values, int n) {
  for (int k = 1; k <= n - 1; ++k) {
    for (int l = k + 1; l <= n; ++l) {
      if (values[k] > values[l]) {
        const double swap = values[k];
        values[k] = values[l];
        values[l] = swap;
      }
    }
  }
}

}  // namespace kolvane
