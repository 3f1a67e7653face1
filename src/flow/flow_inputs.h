// In this file: what the blood-flow step reads. A results file (.scf) of either path gives, per
// record label (S12, P3), the corrected value of each colour, its "Amount of solvent" and, from
// its run record beside it (NAME.scf.json), the unit of those values. The sample sheet says what
// each sample is: a tissue piece with its weight, a reference blood sample with its withdrawal
// rate, an injectate sample, or nothing to use. Every refusal names the file, and for the sheet
// the line and column.
//
// src/flow/ is the blood-flow computation: results files and a sample sheet in, flows per piece
// and organ out. It knows base/ and numeric/ only, never Qt, so that the batch and the window
// show the same numbers.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace kolvane::flow {

// What an unknown number is inside this folder; never written (a cell is empty instead).
inline constexpr double kUnknown = NAN;

enum class Unit { Intensity, Microspheres };

struct ResultsTable {
  struct Row {
    std::string label;           // the record label, the line's first cell
    int line = 0;                // 1-based line of the file
    std::vector<double> values;  // one per colour; kUnknown for "OL" or an empty cell
  };
  std::string path;
  Unit unit = Unit::Intensity;
  bool unit_from_record = false;  // the run record beside the file named the unit
  bool scan = false;              // a synchronous-scan results file
  double solvent_ml = 2.0;        // "Amount of solvent" of its header
  std::vector<std::string> colors;
  std::vector<Row> rows;

  // The first row of that label; `second` receives a later one, when the label appears twice.
  const Row* Find(const std::string& label, const Row** second = nullptr) const;
  int ColorIndex(const std::string& name) const;  // -1 when the file has no such colour
  // The corrected value per ml of extract: a scan's microspheres already hold its amount of
  // solvent, which is taken out again here.
  double PerMl(double value) const;
};

// Empty, or the refusal ("PATH: reason" or "PATH, line L: reason").
std::string ReadResultsTable(const std::string& path, ResultsTable& table);
// The unit named by the run record beside a results file (`choices.results`); empty when there
// is no record. A record that cannot be read or names no unit is refused through `error`.
std::optional<Unit> RecordedUnit(const std::string& results_path, std::string& error);

enum class Kind { Tissue, Reference, Injectate, Ignore };

struct SheetRow {
  int line = 0;
  Kind kind = Kind::Ignore;
  std::string sample, animal, organ, side, region, results;
  double weight_g = kUnknown, withdrawal_ml_min = kUnknown, volume_ml = kUnknown,
         dilution = kUnknown;
};

struct Sheet {
  std::string path;
  std::vector<std::string> columns;  // the header's names, lower case, as they stand
  std::vector<SheetRow> rows;
  // "PATH, line L, column C (name)", or "PATH, line L (no name column)".
  std::string Where(int line, const std::string& column) const;
};

// Empty, or the refusal naming file, line and column.
std::string ReadSheet(const std::string& path, Sheet& sheet);

}  // namespace kolvane::flow
