// In this file: the rows of a results file as the window's table shows them. The table is read
// back from the file the run wrote, so that it shows what the file holds to the last digit: each
// cell keeps the file's own text, with the number it reads as for sorting. One row per record
// line (pures, blank records, samples) and the pures' background line; one column per colour and,
// for a scan, SS, R^2, the 350 nm reading and the Hi-Lo flag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

enum class ResultsRowKind { Pure, Sample, Blank, Background };
enum class ResultsFilter { All, Pures, Samples, Flagged };
enum class ResultsColumnKind { Record, Color, Figure, Flag };

struct ResultsColumn {
  std::string heading;
  ResultsColumnKind kind = ResultsColumnKind::Color;
};

// One cell: where its text lies in the file's text, and its number when it is one.
struct ResultsCell {
  std::uint32_t offset = 0;
  std::uint16_t length = 0;
  bool numeric = false;
  bool marked = false;  // "OL" (an overloaded pure) or "***" (the Hi-Lo flag)
  double value = 0.0;
};

// The spectrum of one scan record and its fit, as the record viewer draws it: every scan point's
// wavelength, reading and fitted value, and the fit points with their readings.
struct RecordFit {
  int row = -1;  // the table's row; -1: nothing shown
  std::string name;
  std::string problem;  // why the record could not be read back (then nothing else is set)
  std::vector<double> nm, reading, fitted;
  std::vector<double> point_nm, point_reading;
  double ss = 0.0, r2 = 0.0;
  bool r2_defined = false;
};

class ResultsTable {
 public:
  // Reads the table of a results file. False, with `problem` naming the file and the reason,
  // when it cannot be read or holds no column heading line.
  bool Load(const std::string& path, std::string& problem);
  // Forgets every row; the table is empty.
  void Clear();

  bool empty() const { return columns_.empty(); }
  bool scan() const { return scan_; }
  const std::string& path() const { return path_; }
  int rows() const { return static_cast<int>(kinds_.size()); }
  int columns() const { return static_cast<int>(columns_.size()); }
  const ResultsColumn& column(int c) const { return columns_[static_cast<std::size_t>(c)]; }
  ResultsRowKind kind(int row) const { return kinds_[static_cast<std::size_t>(row)]; }
  const ResultsCell& cell(int row, int c) const {
    return cells_[static_cast<std::size_t>(row) * columns_.size() + static_cast<std::size_t>(c)];
  }
  std::string_view text(int row, int c) const;
  // A row with an OL cell or a set Hi-Lo flag.
  bool flagged(int row) const;
  bool Passes(int row, ResultsFilter filter) const;
  // Row order by column c: numbers by value before any text, texts by their characters;
  // equal cells keep the rows' file order.
  bool Less(int row_a, int row_b, int c) const;
  // The cells of `rows` x `cols` (in the order given) as TAB-separated lines, headed by the
  // columns' headings, each line ended by a line feed.
  std::string SelectionText(const std::vector<int>& rows, const std::vector<int>& cols) const;
  // The row of a scan run's n-th record line (0-based): for a scan every row is a record line.
  int RecordIndex(int row) const { return scan_ ? row : -1; }

  // What the window shows of it; raised at every change so that the view refreshes only then,
  // and `loads` at every change of the rows.
  std::uint64_t generation = 0;
  std::uint64_t loads = 0;
  ResultsFilter filter = ResultsFilter::All;
  RecordFit fit;

 private:
  bool scan_ = false;
  std::string path_;
  std::string text_;
  std::vector<ResultsColumn> columns_;
  std::vector<ResultsRowKind> kinds_;
  std::vector<ResultsCell> cells_;
};

}  // namespace kolvane
