#include "simulator/dyes.h"

#include <cmath>

namespace kolvane::sim {
namespace {

struct TableEntry {
  const char* name;
  double wavelength;
};

constexpr TableEntry kTable[kTableDyes] = {
    {"Blue", 380},     {"Blue-Green", 440}, {"Green", 470}, {"Yellow-Green", 493}, {"Yellow", 510},
    {"Orange", 537},   {"Orange-Red", 554}, {"Red", 578},   {"Carmine", 591},      {"Crimson", 617},
    {"Dark Red", 640}, {"Scarlet", 656},    {"Violet", 682}};

constexpr double kInventedSpacing = 18.0;

// Band widths grow with wavelength, as they do on an energy scale.
double BlueWidth(const Dye& d) {
  return 0.009 * d.wavelength;
}
double RedWidth(const Dye& d) {
  return 0.013 * d.wavelength;
}

}  // namespace

std::vector<Dye> Dyes(int count) {
  std::vector<Dye> dyes;
  for (int i = 0; i < count; ++i) {
    if (i < kTableDyes) {
      dyes.push_back({kTable[i].name, kTable[i].wavelength, true});
    } else {
      double nm = kTable[kTableDyes - 1].wavelength + kInventedSpacing * (i - kTableDyes + 1);
      dyes.push_back({"NIR " + std::to_string(static_cast<int>(nm)), nm, false});
    }
  }
  return dyes;
}

// Tissue's spillover follows the program's stored tissue sample: tissue read at Blue 0.6165 and
// at Blue-Green 0.0266 of its own reading, Blue read at the tissue column 0.1034 and Blue-Green
// 0.0019. Exponentials through those two points carry it on to the other colours, where it is
// all but gone.
double FixedSpill(double emitter_nm, bool emitter_is_tissue, double column_nm,
                  bool column_is_tissue) {
  if (emitter_is_tissue && column_is_tissue) return 1.0;
  if (emitter_is_tissue) {
    const double length = 60.0 / std::log(0.6165 / 0.0266);
    return 0.6165 * std::exp(-(column_nm - 380.0) / length);
  }
  if (column_is_tissue) {
    const double length = 60.0 / std::log(0.1034 / 0.0019);
    return 0.1034 * std::exp(-(emitter_nm - 380.0) / length);
  }
  double d = column_nm - emitter_nm;
  if (d == 0.0) return 1.0;
  return d > 0.0 ? std::exp(-d / 40.0) : std::exp(d / 15.0);
}

double ScanBand(const Dye& dye, double nm) {
  double d = nm - dye.wavelength;
  double w = d < 0.0 ? BlueWidth(dye) : RedWidth(dye);
  return std::exp(-0.5 * (d / w) * (d / w));
}

double ScanBandBlueReach(const Dye& dye) {
  return 1.5 * BlueWidth(dye);
}
double ScanBandRedReach(const Dye& dye) {
  return 1.5 * RedWidth(dye);
}

double ScanTissue(double nm) {
  return std::exp(-(nm - 350.0) / 40.0);
}

double ScanBlank(double nm) {
  return 4.0 + 14.0 * std::exp(-(nm - 300.0) / 70.0);
}

}  // namespace kolvane::sim
