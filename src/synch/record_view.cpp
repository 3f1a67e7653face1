#include "synch/record_view.h"

#include "base/input_channel.h"
#include "synch/scan_fit.h"

namespace kolvane {

namespace {

bool EndsLabel(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The record whose label starts at `offset`, read as the run's reader reads it.
bool ReadRecordAt(InputChannel& in, long long offset, int points, std::string& name, float* out) {
  if (!in.Seek(offset)) return false;
  char c = 0;
  do {
    if (in.ReadChar(c) == ReadStatus::End) return false;
  } while (EndsLabel(c));
  name.clear();
  for (;;) {
    name.push_back(c);
    if (in.ReadChar(c) == ReadStatus::End) return false;
    if (EndsLabel(c)) break;
  }
  bool beyond_single = false;
  return in.ReadSingles(out, points, beyond_single) == points && !beyond_single;
}

}  // namespace

void FitScanRecord(Program& p, int row) {
  ResultsTable& table = p.results;
  const ScanTables& s = p.scan;
  RecordFit& fit = table.fit;
  fit = RecordFit{};
  fit.row = row;
  ++table.generation;
  const int index = table.RecordIndex(row);
  if (index < 0 || index >= static_cast<int>(s.RecordPlaces.size())) {
    fit.problem = "No scan record belongs to this row.";
    return;
  }
  const ScanTables::RecordPlace place = s.RecordPlaces[static_cast<std::size_t>(index)];
  const std::string expected(table.text(row, 0));
  const std::string changed = "The data file " + s.RunDataPath + " changed since the run: record " +
                              expected + " cannot be read back.";
  InputChannel in;
  if (!in.Open(s.RunDataPath)) {
    fit.problem = "Can't open file: " + s.RunDataPath;
    return;
  }
  PointFloats spectrum{};
  PointFloats blank = s.RunStartBlank;
  std::string name;
  const int points = s.RunScanPoints;
  if (!ReadRecordAt(in, place.record, points, name, spectrum.data() + 1) || name != expected) {
    fit.problem = changed;
    return;
  }
  if (s.RunBackground && place.blank >= 0 &&
      !ReadRecordAt(in, place.blank, points, name, blank.data() + 1)) {
    fit.problem = changed;
    return;
  }
  if (s.RunBackground)
    for (int i = 1; i <= points; ++i) spectrum[i] = spectrum[i] - blank[i];

  // The run's own pure matrix and decomposition, so the figures are the run's to the bit.
  const int n = s.RunPures;
  const int m = 5 * n;
  ScanFit decomposed;
  const SvdStatus status = DecomposeFitMatrix(s.RunFitMatrix, n, decomposed);
  if (status != SvdStatus::Decomposed) {
    fit.problem = SvdMessage(status);
    return;
  }
  const auto at = [&](int r) { return static_cast<int>(s.RunFitPoints[r]); };
  Vector observed(static_cast<std::size_t>(m) + 1, 0.0), x(static_cast<std::size_t>(n) + 1, 0.0);
  for (int r = 1; r <= m; ++r) observed[r] = spectrum[at(r)];
  SolveRecord(decomposed, observed, x);
  Vector fitted(observed.size()), residual(observed.size()), centred(observed.size());
  const FitQuality quality =
      FitQualityOf(s.RunFitMatrix, m, n, observed, x, fitted, residual, centred);

  fit.name = expected;
  fit.ss = quality.ss;
  fit.r2 = quality.r2;
  fit.r2_defined = quality.r2_defined;
  // Each pure's column is its spectrum over its own peak value (peak: its third fit point).
  for (int i = 1; i <= points; ++i) {
    double value = 0.0;
    for (int k = 1; k <= n; ++k)
      value += x[static_cast<std::size_t>(k)] * s.RunPureSpectra(k, i) /
               s.RunPureSpectra(k, at(5 * (k - 1) + 3));
    fit.nm.push_back(s.RunPointWavelength[i]);
    fit.reading.push_back(spectrum[i]);
    fit.fitted.push_back(value);
  }
  for (int r = 1; r <= m; ++r) {
    fit.point_nm.push_back(s.RunPointWavelength[at(r)]);
    fit.point_reading.push_back(spectrum[at(r)]);
  }
}

}  // namespace kolvane
