// In this file: the tables of the fixed-wavelength path: the header values that the run needs
// again, the blank and control records with the values derived from them, the record being
// read, the pure matrix and the matrix of a matrix file. A load fills them; the run reads them
// and moves the blank and control pointers on.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kolvane {

// The records of a blanks or controls file: for record k (1..Count()) its number and the
// readings of colours 1..colors. Stored record by record, so that a file of any length is read
// in linear time; index 0 exists and is not used.
class CompanionTable {
 public:
  // Empties the table for records of `colors` readings each.
  void Reset(int colors) {
    colors_ = colors;
    cells_.assign(static_cast<std::size_t>(colors + 1), 0.0);  // record 0
  }
  int Colors() const { return colors_; }
  int Count() const {
    return static_cast<int>(cells_.size() / static_cast<std::size_t>(colors_ + 1)) - 1;
  }
  // Appends a record and returns its index.
  int Append() {
    cells_.resize(cells_.size() + static_cast<std::size_t>(colors_ + 1), 0.0);
    return Count();
  }
  // Row 0 of a record is its number, rows 1..colors its readings (the table's (row, column)
  // addressing: column k is record k).
  double& operator()(int row, int record) { return cells_[Index(row, record)]; }
  double operator()(int row, int record) const { return cells_[Index(row, record)]; }
  double& Number(int record) { return (*this)(0, record); }
  double Number(int record) const { return (*this)(0, record); }

 private:
  std::size_t Index(int row, int record) const {
    return static_cast<std::size_t>(record) * static_cast<std::size_t>(colors_ + 1) +
           static_cast<std::size_t>(row);
  }
  int colors_ = 0;
  std::vector<double> cells_ = std::vector<double>(1, 0.0);
};

struct FixedTables {
  using Slots = std::array<double, 31>;                   // 0..30
  using Square = std::array<std::array<double, 32>, 32>;  // 0..31 x 0..31
  static constexpr std::int16_t kNoRecord = 32767;

  // Header values kept for the echo into the results file.
  bool AutoDelivery = false;
  std::array<std::string, 4> WavelengthLines;  // "ex sl", "em sl", "ex wl", "em wl"

  // Blanks and controls.
  CompanionTable BlankTable;
  CompanionTable ControlTable;
  Slots PureBackground{};
  Slots SampleBackground{};
  Slots ControlReference{};
  Slots ControlCurrent{};
  std::int16_t NextBlankStart = kNoRecord;
  std::int16_t NextBlankIndex = kNoRecord;
  std::int16_t NextControlStart = kNoRecord;
  std::int16_t NextControlIndex = kNoRecord;
  std::string ControlsFileName;  // for the messages about its values at Analyze

  // The record read last from the data file.
  std::string RecordType;
  std::int16_t RecordNumber = 0;
  Slots Readings{};
  // Why the last record could not be read (the record named), for the caller's message.
  std::string RecordProblem;

  // The pure readings at load (background subtracted when a blanks file was given), pure k
  // at colour c; the source of the run's matrix when colours are left out.
  Square PureMatrix{};
  // The matrix as read from a matrix file (fractions), the source of the run's matrix when
  // the matrix came from a file and colours are left out.
  Square FileMatrix{};
};

}  // namespace kolvane
