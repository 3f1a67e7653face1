#include "fixed/pure_matrix.h"

#include <cmath>
#include <string>

#include "app/main_form_ops.h"
#include "app/run_cancel.h"
#include "app/status_line.h"
#include "app/tissue_choices.h"
#include "fixed/records.h"

namespace kolvane {

Flow BuildPureMatrix(Program& p) {
  FixedTables& t = p.fixed;
  for (int k = 1; k <= p.NumColors; ++k) {
    RecordRead r = ReadDataRecord(p);
    if (r == RecordRead::Ending) return Flow::ProgramEnding;
    if (r == RecordRead::Bad) {
      p.host.ShowMessage(t.RecordProblem + "  The file was not loaded.");
      return Flow::Stop;
    }
    if (r == RecordRead::End || t.RecordNumber != k || t.RecordType != "P") {
      p.host.ShowMessage(
          "Problem computing spillover matrix. Pure samples are not present "
          "or in the wrong order.  Please check the data file.");
      EndProgram(p);
      return Flow::ProgramEnding;
    }
    for (int c = 1; c <= p.NumColors; ++c) {
      double value = t.Readings[c];
      if (p.BlanksPresent) {
        value -= t.SampleBackground[c];
        if (!(value >= 0)) value = 0;
      }
      p.SpillMatrix[k][c] = t.PureMatrix[k][c] = value;
    }
  }
  p.MatrixReady = true;
  p.MatrixSize = p.NumColors;
  return Flow::Continue;
}

void CompactMatrix(Program& p) {
  const FixedTables::Square& source = p.MatrixFromFile ? p.fixed.FileMatrix : p.fixed.PureMatrix;
  int s = p.TissueExcluded ? 2 : 1;
  int row = 0;
  for (int r = s; r <= p.NumColors; ++r) {
    if (!p.ColorSelected[r]) continue;
    ++row;
    int col = 0;
    for (int c = s; c <= p.NumColors; ++c)
      if (p.ColorSelected[c]) p.SpillMatrix[row][++col] = source[r][c];
  }
}

Flow NormalizeSpillMatrix(Program& p) {
  p.FirstNormalizedColor = 1;
  if (p.ColorIsTissue[1] && p.TissueInFile && !p.TissueExcluded && !p.MatrixFromFile) {
    ShowTissueOptionsDialog(p);
    if (p.Ending) return Flow::ProgramEnding;
    if (p.TissueAbortRun) return CancelRunBeforeStart(p);
  }
  auto& m = p.SpillMatrix;
  for (int i = p.FirstNormalizedColor; i <= p.MatrixSize; ++i) {
    double diagonal = m[i][i];
    bool usable = diagonal != 0 && std::isfinite(diagonal);
    for (int j = p.FirstNormalizedColor; usable && j <= p.MatrixSize; ++j)
      usable = std::isfinite(m[i][j] / diagonal);
    if (!usable) {
      // Dividing by it would put infinities into the matrix and the results.
      ShowRunStop(p, "The pure " + p.MatrixColorNames[i] +
                         " has no signal at its own color, so the spillover matrix cannot be "
                         "completed.  Please edit data file or enter new spillover matrix.");
      return Flow::Stop;
    }
    for (int j = p.FirstNormalizedColor; j <= p.MatrixSize; ++j)
      if (j != i) m[i][j] = m[i][j] / diagonal;
    m[i][i] = 1;
  }
  return Flow::Continue;
}

}  // namespace kolvane
