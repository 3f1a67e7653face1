#include "app/run_cancel.h"

#include "app/main_form_ops.h"

namespace kolvane {

DatasetBeforeRun KeepDatasetBeforeRun(const Program& p) {
  DatasetBeforeRun b;
  b.spill = p.SpillMatrix;
  b.matrix_size = p.MatrixSize;
  b.matrix_names = p.MatrixColorNames;
  b.first_normalized = p.FirstNormalizedColor;
  b.tissue_in_file = p.TissueInFile;
  b.tissue_column = p.TissueColumn;
  b.tissue_excluded = p.TissueExcluded;
  return b;
}

Flow CancelRunBeforeStart(Program& p) {
  p.ledger.cancelled = true;
  // Nothing was written yet; the lines of the next Analyze are the ones to keep.
  p.channels.Out(Channels::kResults).Hold();
  return Flow::Stop;
}

void ReturnToDataset(Program& p, const DatasetBeforeRun& b) {
  p.SpillMatrix = b.spill;
  p.MatrixSize = b.matrix_size;
  p.MatrixColorNames = b.matrix_names;
  p.FirstNormalizedColor = b.first_normalized;
  p.TissueInFile = b.tissue_in_file;
  p.TissueColumn = b.tissue_column;
  p.TissueExcluded = b.tissue_excluded;
  p.TissueRunCancelled = false;
  p.TissueAbortRun = false;
  p.ledger.end = RunEnd::NotRun;
  MainForm& f = p.form;
  f.SynchFrame.visible = true;
  f.SynchDataBox.visible = true;
  f.Directions.visible = true;
  f.MicroLabel.visible = p.ResultsInMicrospheres;
  SetBusyPointer(p, false);
  SetBusy(p, false);
}

}  // namespace kolvane
