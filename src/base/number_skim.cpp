// In this file: the 64-byte skim over plain numbers. Each stretch becomes bit masks (bit i for
// byte i) of its token characters, blanks, commas and unusual characters; the starts of the
// numbers are then found with shifts and one addition instead of a test on every byte.
#include "base/number_skim.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kolvane {
namespace {

using Mask = std::uint64_t;

struct Stretch {
  Mask token = 0;    // characters of a number's text
  Mask blank = 0;    // blanks and TABs
  Mask comma = 0;    // commas
  Mask unusual = 0;  // an e or E, or the first byte of 16 aligned token characters
};

Stretch Classify(const char* p) {
  Stretch s;
  Mask ends = 0;
  Mask exponent = 0;
#if defined(__SSE2__)
  for (int k = 0; k < 4; ++k) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    auto is = [&v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
    auto bits = [](__m128i m) { return static_cast<Mask>(_mm_movemask_epi8(m) & 0xFFFF); };
    const __m128i blank = _mm_or_si128(is(' '), is('\t'));
    const __m128i comma = is(',');
    const __m128i line = _mm_or_si128(is('\r'), is('\n'));
    const __m128i e = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(0x20)), _mm_set1_epi8('e'));
    s.blank |= bits(blank) << (16 * k);
    s.comma |= bits(comma) << (16 * k);
    ends |= bits(_mm_or_si128(_mm_or_si128(blank, comma), line)) << (16 * k);
    exponent |= bits(e) << (16 * k);
  }
#else
  for (int i = 0; i < 64; ++i) {
    const Mask bit = Mask{1} << i;
    const char c = p[i];
    if (c == ' ' || c == '\t') s.blank |= bit;
    if (c == ',') s.comma |= bit;
    if (c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n') ends |= bit;
    if (c == 'e' || c == 'E') exponent |= bit;
  }
#endif
  s.token = ~ends;
  s.unusual = exponent;
  for (int k = 0; k < 4; ++k) {
    if (((s.token >> (16 * k)) & 0xFFFF) == 0xFFFF) s.unusual |= Mask{1} << (16 * k);
  }
  return s;
}

// Set bits, without relying on a population-count instruction the target may lack.
int Count(Mask m) {
  m = m - ((m >> 1) & 0x5555555555555555ULL);
  m = (m & 0x3333333333333333ULL) + ((m >> 2) & 0x3333333333333333ULL);
  m = (m + (m >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((m * 0x0101010101010101ULL) >> 56);
}

int Lowest(Mask m) {
  return __builtin_ctzll(m);
}

int Highest(Mask m) {
  return 63 - __builtin_clzll(m);
}

}  // namespace

SkimmedNumbers SkimPlainNumbers(const char* first, const char* last, int limit) {
  SkimmedNumbers result;
  if (limit <= 0) return result;
  int seen = 0;               // number starts seen
  std::size_t latest = 0;     // offset of the latest of them
  bool token_before = false;  // the stretch before ended inside a number's text
  bool after_token = false;   // the last character before that is not a blank ended a number
  for (std::size_t base = 0; last - first >= static_cast<std::ptrdiff_t>(base + 64); base += 64) {
    const Stretch s = Classify(first + base);
    // The first character that is not a blank after each number's text: a comma there ends
    // that number; any other comma is an empty field, a number of its own. The addition
    // carries each number's end through the blanks that follow it.
    const Mask ended = ((s.token << 1) | (token_before ? 1 : 0)) & ~s.token;
    const Mask follows = ((ended | ((after_token && !(s.token & 1)) ? 1 : 0)) + s.blank) & ~s.blank;
    Mask starts = (s.token & ~((s.token << 1) | (token_before ? 1 : 0))) | (s.comma & ~follows);
    bool unusual = false;
    if (s.unusual != 0) {
      // Only the numbers that start before the unusual one's start are passed over.
      const int at = Lowest(s.unusual);
      const Mask upto = at == 63 ? ~Mask{0} : (Mask{2} << at) - 1;
      const Mask before = starts & upto;
      const int wanted = limit + 1 - seen;
      if (Count(before) < wanted) {
        starts = before;
        unusual = true;
      }
    }
    const int in_stretch = Count(starts);
    if (seen + in_stretch > limit) {
      Mask m = starts;
      for (int k = limit - seen; k > 0; --k) m &= m - 1;
      result.passed = limit;
      result.stop = base + static_cast<std::size_t>(Lowest(m));
      return result;
    }
    if (in_stretch > 0) {
      seen += in_stretch;
      latest = base + static_cast<std::size_t>(Highest(starts));
    }
    if (unusual) break;
    token_before = (s.token >> 63) != 0;
    const Mask others = ~s.blank;
    if (others != 0) after_token = ((s.token >> Highest(others)) & 1) != 0;
  }
  if (seen > 0) {
    result.passed = seen - 1;
    result.stop = latest;
  }
  return result;
}

}  // namespace kolvane
