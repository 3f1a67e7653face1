// In this file: the ground-truth file both simulations write beside their dataset
// (BASENAME.truth.tsv): a few comment lines starting with "#", a heading line "Record" plus one
// cell per colour, then one line per record that gets a results line, labelled as in the
// results file (P3, S12), values TAB-separated with the decimals of the results file.
#pragma once

#include <string>
#include <vector>

#include "simulator/text_out.h"

namespace kolvane::sim {

class TruthWriter {
 public:
  TruthWriter(LineFile& file, int decimals) : file_(file), decimals_(decimals) {}
  void Comment(const std::string& text) { file_.Line("# " + text); }
  void Heading(const std::vector<std::string>& names);
  // Values that round to zero are written as 0 with no sign.
  void Record(const std::string& label, const std::vector<double>& values,
              const std::vector<std::string>& extra = {});

 private:
  LineFile& file_;
  int decimals_;
};

// True when some value lies so close to a rounding half at `decimals` decimals that a solver
// other than ours, working in a different order, could round it the other way. The simulator
// then draws the record again, so that every truth value is unambiguous.
bool NearRoundingHalf(const std::vector<double>& values, int decimals);

}  // namespace kolvane::sim
