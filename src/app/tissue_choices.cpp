#include "app/tissue_choices.h"

#include <algorithm>

namespace kolvane {

namespace {

// The stored tissue sample: tissue read at a dye's wavelength, and the dye read at the tissue
// wavelength, as fractions of each one's own reading.
struct StoredTissue {
  const char* color;
  double tissue_at_color;  // SpillMatrix(1, k)
  double color_at_tissue;  // SpillMatrix(k, 1)
};
constexpr StoredTissue kStoredTissue[] = {
    {"Blue", 0.6165, 0.1034},
    {"Blue-Green", 0.0266, 0.0019},
};

}  // namespace

void TissueOpt_Click(TissueForm& f, int index) {
  f.selected = index == 0 ? 0 : 1;
  if (!f.program) return;
  f.program->TissueInFile = f.selected == 0;
  f.program->TissueExcluded = f.selected != 0;
}

void TissueOk_Click(TissueForm& f) {
  if (f.program) f.program->TissueRunCancelled = false;
  f.closed = true;
}

void TissueCancel_Click(TissueForm& f) {
  if (f.program) f.program->TissueRunCancelled = true;
  f.closed = true;
}

void TissueOptionsUseProvided_Click(TissueOptionsForm& f) {
  f.closed = true;
}

void TissueOptionsUseStored_Click(TissueOptionsForm& f) {
  if (f.program) UseStoredTissueSample(*f.program);
  f.closed = true;
}

void TissueOptionsAbort_Click(TissueOptionsForm& f) {
  if (f.program) f.program->TissueAbortRun = true;
  f.closed = true;
}

void ShowTissueDialog(Program& p) {
  const bool in_file = p.TissueInFile, excluded = p.TissueExcluded;
  TissueForm f;
  f.program = &p;
  TissueOpt_Click(f, 1);
  p.host.ShowTissueDialog(f);
  // Cancel Analysis (or Escape) leaves the tissue choice as it was before the dialog.
  if (p.TissueRunCancelled) {
    p.TissueInFile = in_file;
    p.TissueExcluded = excluded;
  }
}

void ShowTissueOptionsDialog(Program& p) {
  TissueOptionsForm f;
  f.program = &p;
  p.TissueAbortRun = false;
  p.host.ShowTissueOptionsDialog(f);
}

void UseStoredTissueSample(Program& p) {
  int m = std::min<int>(std::max<int>(p.MatrixSize, 0), kMaxColors);
  int n = std::min<int>(std::max<int>(p.NumColors, 0), kMaxColors);
  p.SpillMatrix[1][1] = 1.0;
  for (int i = 2; i <= m; ++i) {
    p.SpillMatrix[1][i] = 0.0;
    p.SpillMatrix[i][1] = 0.0;
  }
  p.FirstNormalizedColor = 2;
  for (int k = 1; k <= n; ++k) {
    for (const StoredTissue& s : kStoredTissue) {
      if (p.MatrixColorNames[k] == s.color) {
        p.SpillMatrix[1][k] = s.tissue_at_color;
        p.SpillMatrix[k][1] = s.color_at_tissue;
      }
    }
  }
}

}  // namespace kolvane
