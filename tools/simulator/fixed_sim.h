// In this file: the fixed-wavelength dataset that `kolvane-simulate fixed` writes. The files are
// what a fluorimeter's software would leave: BASENAME.fix (header and body), BASENAME.blk
// (blanks), BASENAME.ctl (controls), BASENAME.spl (the spillover matrix in percent) and
// BASENAME.truth.tsv (every record's true intensities, as the program should report them).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kolvane::sim {

struct FixedOptions {
  int colors = 13;             // reading columns, the tissue column included (1..30)
  int samples = 40;            // sample records S1..Sn (0..32767)
  bool tissue = false;         // colour 1 is "Tissue", and samples carry autofluorescence
  bool auto_delivery = false;  // an autosampler: every record carries its tube number
  double noise = 0.0;          // standard deviation of the reading noise, in intensity units
  std::uint64_t seed = 1;
  double drift = 0.05;    // fractional loss of gain from the first sample to the last
  bool no_pures = false;  // no P records: the matrix comes from BASENAME.spl only
  std::string basename;   // path without extension
  // When set, sample s (1..samples) holds these amounts of each column's colour, in corrected
  // intensity levels, instead of random ones; `pure_own` holds each pure's corrected intensity at
  // its own colour (what the microspheres/ml factors divide by). Its readings must stay below
  // the overload mark: the dataset is refused otherwise.
  std::function<std::vector<double>(int sample, const std::vector<double>& pure_own)> amounts;
};

constexpr int kMaxFixedColors = 30;
constexpr int kMaxFixedSamples = 32767;

// Empty when the options describe a dataset the program can read; otherwise what is wrong.
std::string CheckFixedOptions(const FixedOptions& options);

// Writes the five files. Returns empty on success, otherwise a message naming the problem.
std::string WriteFixedDataset(const FixedOptions& options);

}  // namespace kolvane::sim
