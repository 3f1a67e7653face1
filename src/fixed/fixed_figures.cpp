#include "fixed/fixed_figures.h"

#include "numeric/matrix_quality.h"

namespace kolvane {

namespace {

// The blank records numbered 1 at the start of the blanks file: the starting background is
// their median.
int FirstGroupSize(const CompanionTable& table) {
  int g = 0;
  while (g < table.Count() && table.Number(g + 1) == 1) ++g;
  return g;
}

// How the run treats a Tissue column: left out of the correction and passed through, or
// corrected with the others, its spillover from the file's tissue pure, the stored tissue
// sample or the matrix file.
std::string TissueHandling(const Program& p) {
  if (p.TissueExcluded) return "passed through";
  if (!p.TissueColumn || !p.TissueInFile) return "none";
  if (p.MatrixFromFile) return "used, from the matrix file";
  return p.FirstNormalizedColor == 2 ? "used, the stored tissue sample"
                                     : "used, the data file's tissue pure";
}

}  // namespace

void FillFixedFigures(Program& p, const double (&matrix)[kSolveDim][kSolveDim], int n,
                      const int* slot_of) {
  RunFigures& f = p.figures;
  ResetRunFigures(f);
  f.tissue = TissueHandling(p);
  f.m = f.n = n;
  f.row_names.assign(n + 1, "");
  f.colour_names.assign(n + 1, "");
  f.matrix.assign(n + 1, std::vector<double>(n + 1, 0.0));
  f.micros_per_ml.assign(n + 1, 0.0);
  for (int i = 1; i <= n; ++i) {
    f.row_names[i] = f.colour_names[i] = p.form.Color[slot_of[i]].caption;
    f.micros_per_ml[i] = p.MicrosPerMlValues[slot_of[i]];
    for (int j = 1; j <= n; ++j) f.matrix[i][j] = matrix[i][j];
  }
  const MatrixQuality q = AssessMatrix(f.matrix, n, n);
  TakeMatrixQuality(f, q, q.status == SvdStatus::Decomposed);
  if (!f.decomposed || !p.BlanksPresent) return;
  const CompanionTable& blanks = p.fixed.BlankTable;
  f.blank_records = FirstGroupSize(blanks);
  if (f.blank_records < 3) return;
  f.blank_spread.assign(n + 1, 0.0);
  for (int j = 1; j <= n; ++j) {
    std::vector<double> values;
    for (int k = 1; k <= f.blank_records; ++k) values.push_back(blanks(slot_of[j], k));
    f.blank_spread[j] = RobustSpread(values).value_or(0.0);
  }
}

}  // namespace kolvane
