// kolvane-readpass FILE: one bare pass of the input channel over a file, converting every
// field with the number reader (record labels read as 0), and nothing else. The floor against
// which a whole batch run over the same file is timed.
#include <cstdio>

#include "base/channels.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kolvane-readpass FILE\n");
    return 2;
  }
  kolvane::InputChannel in;
  if (!in.Open(argv[1])) {
    std::fprintf(stderr, "Can't open file: %s\n", argv[1]);
    return 1;
  }
  double value = 0.0;
  double total = 0.0;
  long count = 0;
  while (in.ReadNumber(value) == kolvane::ReadStatus::Ok) {
    total += value;
    ++count;
  }
  std::printf("%ld numbers, sum %.6g\n", count, total);
  return 0;
}
