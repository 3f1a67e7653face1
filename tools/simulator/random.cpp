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

}  // namespace kolvane::sim
