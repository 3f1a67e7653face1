#include "simulator/truth.h"

#include <cmath>

namespace kolvane::sim {

void TruthWriter::Heading(const std::vector<std::string>& names) {
  std::string line = "Record";
  for (const std::string& name : names) line += "\t" + name;
  file_.Line(line);
}

void TruthWriter::Record(const std::string& label, const std::vector<double>& values,
                         const std::vector<std::string>& extra) {
  std::string line = label;
  for (double v : values) line += "\t" + FixedText(v, decimals_);
  for (const std::string& cell : extra) line += "\t" + cell;
  file_.Line(line);
}

bool NearRoundingHalf(const std::vector<double>& values, int decimals) {
  // Solvers that differ only in the order of their operations agree to about 1e-12 of the
  // value; a margin of 1e-4 of the last decimal is far beyond that.
  const double scale = std::pow(10.0, decimals);
  for (double v : values) {
    double scaled = std::fabs(v) * scale;
    double fraction = scaled - std::floor(scaled);
    if (std::fabs(fraction - 0.5) < 1e-4) return true;
  }
  return false;
}

}  // namespace kolvane::sim
