// In this file: passing over long runs of plain numbers in a block of file text without
// converting them, 64 bytes at a time, for a pass that only counts and checks readings.
#pragma once

#include <cstddef>

namespace kolvane {

struct SkimmedNumbers {
  int passed = 0;        // numbers passed over
  std::size_t stop = 0;  // offset of the start of the next number (0 when none was passed)
};

// Over text that begins where a number may begin (after a number's end, or after a record
// label), passes over up to `limit` numbers as the channel's number reader would read them:
// a number is a run of characters other than blanks, TABs, commas and line ends, or a comma
// that does not end a number before it (an empty field). Only whole 64-byte stretches of
// [first, last) are looked at. A number is passed over only when the next one's start is seen
// and its own text holds no e or E and no 16 aligned characters without a separator, so that
// what is passed over reads as a number of less than 10^38 whatever its text; the scan stops
// at the start of the first number that is not so.
SkimmedNumbers SkimPlainNumbers(const char* first, const char* last, int limit);

}  // namespace kolvane
