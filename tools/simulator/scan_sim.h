// In this file: the synchronous-scan dataset that `kolvane-simulate scan` writes: BASENAME.syn
// (header items, then the scan records), BASENAME.slk (blanks, with --blanks) and
// BASENAME.truth.tsv (every record's true intensities, as the program should report them).
#pragma once

#include <cstdint>
#include <string>

namespace kolvane::sim {

struct ScanOptions {
  int pures = 13;         // one dye per pure, in ascending wavelength (1..30)
  int points = 350;       // values per scan record (1..1000)
  int records = 40;       // sample records S1..Sn
  double lower = 350.0;   // first scan point, nm
  double interval = 1.0;  // step between points, nm
  bool tissue = false;    // samples carry tissue autofluorescence rising towards 350 nm
  bool blanks = false;    // a solvent blank under every scan, measured in BASENAME.slk
  double noise = 0.0;     // standard deviation of the noise on every value
  std::uint64_t seed = 1;
  std::string basename;  // path without extension
};

constexpr int kMaxScanPures = 30;
constexpr int kMaxScanPoints = 1000;
constexpr int kMaxScanRecords = 32767;  // every record of the data file, blanks and pures included

// Empty when the options describe a dataset the program can read; otherwise what is wrong.
std::string CheckScanOptions(const ScanOptions& options);

// Writes the files. Returns empty on success, otherwise a message naming the problem.
std::string WriteScanDataset(const ScanOptions& options);

}  // namespace kolvane::sim
