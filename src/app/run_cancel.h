// In this file: a fixed-wavelength run cancelled before its first record ("Cancel Analysis" in
// the Tissue dialog, "Abort Run" in Tissue Sample Options). Such a run returns to the loaded
// dataset with every choice as it was: what the run changed while it prepared its matrix is
// put back, the results file waits for the next Analyze, and the status line says so.
#pragma once

#include "app/program.h"

namespace kolvane {

// What a fixed run changes before it reads a record.
struct DatasetBeforeRun {
  SlotMatrix spill{};
  std::int16_t matrix_size = 0;
  SlotStrings matrix_names;
  std::int16_t first_normalized = 1;
  bool tissue_in_file = false;
  bool tissue_column = false;
  bool tissue_excluded = false;
};

DatasetBeforeRun KeepDatasetBeforeRun(const Program& p);

// Called where the user cancels: the run ends before anything was written, and its results
// file is no longer to be kept. Returns Flow::Stop for the run to return.
Flow CancelRunBeforeStart(Program& p);

// After a cancelled run: the dataset as it was before Analyze, the options panel shown again.
void ReturnToDataset(Program& p, const DatasetBeforeRun& before);

}  // namespace kolvane
