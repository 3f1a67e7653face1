// In this file: the simulator's random numbers. The engine is the standard's 64-bit Mersenne
// Twister, whose output the standard fixes bit for bit; the distributions are written out here
// because the library's own distributions may differ between implementations, and a dataset
// made with a given seed must be the same file everywhere.
#pragma once

#include <cstdint>
#include <random>

namespace kolvane::sim {

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}

  // Uniform on [0, 1): the top 53 bits of one draw, so every double of the grid 2^-53 is
  // equally likely and the conversion is exact.
  double Uniform();

  // Uniform on [low, high).
  double Uniform(double low, double high) { return low + (high - low) * Uniform(); }

  // Standard normal by the Box-Muller transform. The second value of each pair is kept for
  // the next call, so the stream of values depends only on the seed and the call order.
  double Normal();

  // Normal with standard deviation sigma; exactly 0 (and no draw) when sigma is 0, so a
  // noiseless dataset does not depend on how many noise values would have been drawn.
  double Noise(double sigma) { return sigma > 0.0 ? sigma * Normal() : 0.0; }

  // A count drawn from the Poisson law with this mean (0 for a mean of 0 or less): by products
  // of uniforms below a mean of 10, else by transformed rejection with squeeze (Hoermann 1993).
  long Poisson(double mean);

 private:
  std::mt19937_64 engine_;
  bool has_spare_ = false;
  double spare_ = 0.0;
};

}  // namespace kolvane::sim
