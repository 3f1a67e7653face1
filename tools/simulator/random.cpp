#include "simulator/random.h"

#include <cmath>

namespace kolvane::sim {

double Random::Uniform() {
  constexpr double kScale = 1.0 / 9007199254740992.0;  // 2^-53
  return static_cast<double>(engine_() >> 11) * kScale;
}

double Random::Normal() {
  if (has_spare_) {
    has_spare_ = false;
    return spare_;
  }
  // 1 - Uniform() lies in (0, 1], so the logarithm is finite.
  double u1 = 1.0 - Uniform();
  double u2 = Uniform();
  double radius = std::sqrt(-2.0 * std::log(u1));
  double angle = 2.0 * 3.14159265358979323846 * u2;
  spare_ = radius * std::sin(angle);
  has_spare_ = true;
  return radius * std::cos(angle);
}

long Random::Poisson(double mean) {
  if (!(mean > 0.0)) return 0;
  if (mean < 10.0) {
    const double limit = std::exp(-mean);
    long k = 0;
    for (double product = Uniform(); product > limit; product *= Uniform()) ++k;
    return k;
  }
  const double root = std::sqrt(mean), log_mean = std::log(mean);
  const double b = 0.931 + 2.53 * root, a = -0.059 + 0.02483 * b;
  const double inverse_alpha = 1.1239 + 1.1328 / (b - 3.4), vr = 0.9277 - 3.6224 / (b - 2);
  for (;;) {
    const double u = Uniform() - 0.5, v = Uniform();
    const double us = 0.5 - std::fabs(u);
    const double k = std::floor((2 * a / us + b) * u + mean + 0.43);
    if (us >= 0.07 && v <= vr) return static_cast<long>(k);
    if (k < 0 || (us < 0.013 && v > us)) continue;
    if (std::log(v) + std::log(inverse_alpha) - std::log(a / (us * us) + b) <=
        -mean + k * log_mean - std::lgamma(k + 1))
      return static_cast<long>(k);
  }
}

}  // namespace kolvane::sim
