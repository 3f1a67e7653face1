// In this file: what a run found out about its own matrix and data beyond the results file:
// the matrix it solved with, how well each colour is determined by it (condition number,
// noise gains, the closest pair of colours), the spread of the blanks and the detection limit
// of each colour. The runs fill it (what they counted is in app/run_ledger.h); the window's
// matrix picture, the run record and the report read it. Nothing here changes a result.
#pragma once

#include <string>
#include <vector>

#include "app/flow.h"
#include "app/host.h"
#include "app/run_ledger.h"

namespace kolvane {

struct Program;

struct RunFigures {
  bool ready = false;  // the matrix figures below belong to the matrix in force
  bool scan = false;
  int m = 0;  // reading positions (fixed: colours in use; scan: fit points)
  int n = 0;  // colours in use
  std::vector<std::string> row_names;     // 1..m
  std::vector<std::string> colour_names;  // 1..n
  // 1..n: each colour's microspheres/ml as the run took it (the boxes are cleared afterwards)
  std::vector<double> micros_per_ml;
  std::vector<std::vector<double>> matrix;  // (1..m)(1..n): as solved with
  std::vector<std::vector<double>> pinv;    // (1..n)(1..m)
  bool decomposed = false;                  // the SVD converged
  bool singular = false;
  double condition = 0.0;    // sigma_max / sigma_min; 0 when singular
  std::vector<double> gain;  // 1..n
  int pair_a = 0, pair_b = 0;
  double pair_cosine = 0.0;
  // How a Tissue column took part, as the run settled it (closing the dataset afterwards
  // unticks its box and clears the flags): "none", "passed through" or "used, ...".
  std::string tissue = "none";

  // Blanks: the records the starting background's median is taken over, and per reading
  // position the spread of those records (empty: no blanks or fewer than 3 records).
  int blank_records = 0;
  std::vector<double> blank_spread;     // 1..m
  std::vector<double> result_spread;    // 1..n, in the units of the results
  std::vector<double> detection_limit;  // 1..n: 3 x result_spread
  std::string units;                    // "intensity" or "microspheres/ml"

  // Scans: R^2 of every record, and the worst-fitting record's spectrum with its fit.
  std::vector<double> r2;
  std::string worst_name;
  double worst_r2 = 2.0;
  std::vector<double> worst_wavelength, worst_observed, worst_fitted;
};

// The files the last load's dialogs were answered with, for the run record.
struct ChosenFileSet {
  std::string data, blanks, controls, results;
};
// Keeps the answer of a file dialog by its role; a new data file starts afresh.
void NoteChosenFile(ChosenFileSet& files, FileRole role, const std::string& answer);

// Takes the assessment of the matrix in f.matrix into the figures (the runs pass the numeric
// layer's MatrixQuality, which this layer knows only by the members read here; decomposed:
// its SVD converged, else the matrix has no figures). f.m and f.n are set.
template <class Quality>
void TakeMatrixQuality(RunFigures& f, const Quality& q, bool decomposed) {
  f.ready = true;
  f.decomposed = decomposed;
  if (!decomposed) return;
  f.singular = q.singular;
  f.condition = q.condition;
  f.gain = q.gain;
  f.pair_a = q.pair_a;
  f.pair_b = q.pair_b;
  f.pair_cosine = q.pair_cosine;
  f.pinv.assign(f.n + 1, std::vector<double>(f.m + 1, 0.0));
  for (int i = 1; i <= f.n; ++i)
    for (int j = 1; j <= f.m; ++j) f.pinv[i][j] = q.pinv(i, j);
}

// Clears the figures of the last run.
void ResetRunFigures(RunFigures& f);

// Spreads from the blanks and the result factors: result_spread(i) = factor(i) * sigma_i and
// the detection limit 3 times that. factor is 1-based over the colours in use.
void SetResultSpreads(RunFigures& f, const std::vector<double>& factor, bool microspheres);

// The question before a run when the matrix amplifies noise beyond ConditionThreshold (or is
// singular): Continue for Yes (or no question), Stop for No.
Flow AskAboutCondition(Program& p);
constexpr double kDefaultConditionThreshold = 1000.0;
extern const char* const kConditionTitle;  // "Spillover Matrix Quality"
std::string ConditionText(const RunFigures& f);

}  // namespace kolvane
