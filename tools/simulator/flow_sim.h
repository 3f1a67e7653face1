// In this file: the blood-flow study that `kolvane-simulate flow` writes. Animals with a cardiac
// output and organ flows per injection (one dye colour each), a known number of spheres injected
// per colour, reference blood withdrawn at a known rate, tissue pieces with weights; each
// sample's sphere counts are drawn from the Poisson law and measured as the fixed-wavelength
// simulator measures its samples. Files: BASENAME.fix (.blk, .ctl, .spl, .truth.tsv as
// `kolvane-simulate fixed` writes them), BASENAME.sheet.tsv (the sample sheet) and
// BASENAME.flows.tsv (the true flows and the counts drawn).
#pragma once

#include <cstdint>
#include <string>

namespace kolvane::sim {

struct FlowSimOptions {
  int animals = 2;
  int colors = 3;                 // injections, one dye each (1..13)
  double spheres = 200000;        // injected per colour
  int references = 2;             // reference samples per animal (1 or 2)
  double withdrawal = 0.25;       // ml/min of each reference
  double micros_per_ml = 200000;  // what the pures hold: analyse with this --micros-per-ml
  std::uint64_t seed = 1;
  std::string basename;
};

// Empty when the options describe a study the simulator can write; otherwise what is wrong.
std::string CheckFlowOptions(const FlowSimOptions& options);
// Writes the study. Empty on success, otherwise a message naming the problem.
std::string WriteFlowStudy(const FlowSimOptions& options);

}  // namespace kolvane::sim
