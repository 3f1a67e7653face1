// In this file: the files of a dataset opened in one step: the data file, its companions and the
// results file the next run proposes. The window shows them; the loaders take their answers from
// them instead of asking.
#pragma once

#include <array>
#include <map>
#include <string>

namespace kolvane {

struct DatasetFiles {
  bool scan = false;
  std::string data, blanks, controls;  // empty companion: none
  std::string results;
};

// The choices of the window that a run takes from it, kept for the dataset loaded again after it.
struct WindowChoices {
  bool microspheres = false;
  std::array<bool, 31> ticks{};           // Color(1..30)
  std::array<std::string, 31> entries{};  // the microspheres/ml boxes of the loaded kind
  bool background = false, control_correction = false;
  std::string matrix;  // the spillover matrix file read for the dataset; empty: none
};

}  // namespace kolvane
