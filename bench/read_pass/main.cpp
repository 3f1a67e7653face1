// kolvane-readpass [--skim] FILE: one bare pass of the input channel over a file, converting
// every field with the number reader, rounded to single precision (record labels read as 0), and
// nothing else: the floor against which a whole batch run over the same file is timed. With --skim
// the fields are passed over as the load's record count passes over readings, unconverted when they
// can be.
#include <cstdio>
#include <string>

#include "base/channels.h"

int main(int argc, char** argv) {
  const bool skim = argc == 3 && std::string(argv[1]) == "--skim";
  if (argc != 2 && !skim) {
    std::fprintf(stderr, "usage: kolvane-readpass [--skim] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  kolvane::InputChannel in;
  if (!in.Open(path)) {
    std::fprintf(stderr, "Can't open file: %s\n", path);
    return 1;
  }
  double total = 0.0;
  long count = 0;
  if (skim) {
    bool beyond_single = false;
    for (int n = 0; (n = in.SkipNumbers(1000, beyond_single)) > 0 || beyond_single;) count += n;
  } else {
    // In runs of 500, as the scan records are read.
    float values[500];
    bool beyond_single = false;
    for (int n = 0; (n = in.ReadSingles(values, 500, beyond_single)) > 0 || beyond_single;) {
      for (int i = 0; i < n; ++i) total += values[i];
      count += n;
    }
  }
  std::printf("%ld numbers, sum %.6g\n", count, total);
  return 0;
}
