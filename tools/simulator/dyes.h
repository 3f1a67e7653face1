// In this file: the dyes the simulator knows and the physics it gives them. The first thirteen
// are the program's colour table (slots 2..14 with their nominal synchronous-scan wavelengths);
// for datasets with more colours the simulator invents near-infrared dyes further up, 18 nm
// apart, which match no slot of the table.
#pragma once

#include <string>
#include <vector>

namespace kolvane::sim {

struct Dye {
  std::string name;   // the colour table's name, or "NIR <nm>" for an invented dye
  double wavelength;  // nominal synchronous-scan peak, nm
  bool in_table;      // one of the program's colour slots 2..14
};

constexpr int kTableDyes = 13;
constexpr int kMaxDyes = 30;

// The first `count` dyes in ascending wavelength (count 1..30).
std::vector<Dye> Dyes(int count);

// Where the tissue column of a fixed-wavelength file reads: autofluorescence is strongest in
// the near ultraviolet.
constexpr double kTissueWavelength = 350.0;

// The fraction of an emitter's own-colour signal that shows in a column reading at another
// wavelength. Dyes spill far more to the red (their emission tail) than to the blue; tissue
// autofluorescence shows strongly at Blue and fades quickly beyond it.
double FixedSpill(double emitter_nm, bool emitter_is_tissue, double column_nm,
                  bool column_is_tissue);

// The shape of a dye's synchronous-scan band, 1 at its nominal wavelength: a narrow peak whose
// red flank is wider than its blue flank.
double ScanBand(const Dye& dye, double nm);

// How far the band must reach on either side for a scan to hold it: a width and a half, past
// the half-height points that the program fits.
double ScanBandBlueReach(const Dye& dye);
double ScanBandRedReach(const Dye& dye);

// Tissue autofluorescence in a synchronous scan, relative to its value at 350 nm: it rises
// steeply towards the ultraviolet.
double ScanTissue(double nm);

// The solvent blank of a synchronous scan: scatter that rises towards the blue.
double ScanBlank(double nm);

}  // namespace kolvane::sim
