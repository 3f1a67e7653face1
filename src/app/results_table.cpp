#include "app/results_table.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

namespace kolvane {

namespace {

// The lines of `text` as views; a line ends at CR LF, LF or CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string_view> SplitCells(std::string_view line) {
  std::vector<std::string_view> cells;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) break;
    cells.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  cells.push_back(line.substr(start));
  return cells;
}

std::string_view FirstCell(std::string_view line) {
  return line.substr(0, line.find('\t'));
}

// A record's kind by its name: the pures' background line, else the last type letter of the
// label (the scan reader's rule; fixed labels hold one letter).
ResultsRowKind KindOf(std::string_view name) {
  if (name.substr(0, 2) == "BG") return ResultsRowKind::Background;
  const std::size_t at = name.find_last_of("BPS");
  if (at == std::string_view::npos) return ResultsRowKind::Sample;
  if (name[at] == 'P') return ResultsRowKind::Pure;
  if (name[at] == 'B') return ResultsRowKind::Blank;
  return ResultsRowKind::Sample;
}

}  // namespace

void ResultsTable::Clear() {
  scan_ = false;
  path_.clear();
  text_.clear();
  columns_.clear();
  kinds_.clear();
  cells_.clear();
  filter = ResultsFilter::All;
  fit = RecordFit{};
  ++generation;
  ++loads;
}

bool ResultsTable::Load(const std::string& path, std::string& problem) {
  Clear();
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  if (!in || !(content << in.rdbuf()) || in.bad()) {
    problem = "The results file " + path + " could not be read.";
    return false;
  }
  text_ = content.str();
  if (text_.size() >= std::numeric_limits<std::uint32_t>::max()) {
    text_.clear();
    problem = "The results file " + path + " is too large to be shown.";
    return false;
  }
  const std::string_view all(text_);
  const std::vector<std::string_view> lines = SplitLines(all);
  std::size_t head = 0;
  while (head < lines.size() && FirstCell(lines[head]) != "Sample/Color" &&
         FirstCell(lines[head]) != "Sample/Wl")
    ++head;
  if (head == lines.size()) {
    text_.clear();
    problem = "The results file " + path + " holds no result lines.";
    return false;
  }
  scan_ = FirstCell(lines[head]) == "Sample/Wl";
  const std::vector<std::string_view> headings = SplitCells(lines[head]);
  columns_.push_back({std::string(headings[0]), ResultsColumnKind::Record});
  if (scan_) {
    // The colour names stand on the line above the wavelengths of the pures' peaks.
    const std::vector<std::string_view> names =
        head > 0 ? SplitCells(lines[head - 1]) : std::vector<std::string_view>{};
    std::size_t c = 1;
    for (; c < headings.size() && headings[c] != "SS"; ++c) {
      std::string heading = c < names.size() ? std::string(names[c]) : std::string();
      heading += heading.empty() ? "" : " ";
      heading += std::string(headings[c]) + " nm";
      columns_.push_back({heading, ResultsColumnKind::Color});
    }
    for (; c < headings.size(); ++c)
      columns_.push_back({std::string(headings[c]), headings[c] == "Hi-Lo Flag"
                                                        ? ResultsColumnKind::Flag
                                                        : ResultsColumnKind::Figure});
  } else {
    for (std::size_t c = 1; c < headings.size(); ++c)
      columns_.push_back({std::string(headings[c]), ResultsColumnKind::Color});
  }

  const std::size_t width = columns_.size();
  for (std::size_t l = head + 1; l < lines.size() && !lines[l].empty(); ++l) {
    const std::vector<std::string_view> cells = SplitCells(lines[l]);
    kinds_.push_back(KindOf(cells[0]));
    const std::size_t line_end =
        static_cast<std::size_t>(lines[l].data() - all.data()) + lines[l].size();
    for (std::size_t c = 0; c < width; ++c) {
      ResultsCell cell;
      if (c < cells.size()) {
        const std::string_view t = cells[c];
        cell.offset = static_cast<std::uint32_t>(t.data() - all.data());
        cell.length = static_cast<std::uint16_t>(t.size());
        const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), cell.value);
        cell.numeric = c > 0 && !t.empty() && error == std::errc() && end == t.data() + t.size();
        if (!cell.numeric) cell.value = 0.0;
        cell.marked = t == "OL" || t == "***";
      } else {
        cell.offset = static_cast<std::uint32_t>(line_end);
      }
      cells_.push_back(cell);
    }
  }
  path_ = path;
  ++generation;
  ++loads;
  return true;
}

std::string_view ResultsTable::text(int row, int c) const {
  const ResultsCell& x = cell(row, c);
  return std::string_view(text_).substr(x.offset, x.length);
}

bool ResultsTable::flagged(int row) const {
  for (int c = 1; c < columns(); ++c)
    if (cell(row, c).marked) return true;
  return false;
}

bool ResultsTable::Passes(int row, ResultsFilter f) const {
  switch (f) {
    case ResultsFilter::All:
      return true;
    case ResultsFilter::Pures:
      return kind(row) == ResultsRowKind::Pure;
    case ResultsFilter::Samples:
      return kind(row) == ResultsRowKind::Sample;
    case ResultsFilter::Flagged:
      return flagged(row);
  }
  return true;
}

bool ResultsTable::Less(int a, int b, int c) const {
  const ResultsCell& x = cell(a, c);
  const ResultsCell& y = cell(b, c);
  if (x.numeric != y.numeric) return x.numeric;
  if (x.numeric && x.value != y.value) return x.value < y.value;
  if (!x.numeric) {
    const int order = text(a, c).compare(text(b, c));
    if (order != 0) return order < 0;
  }
  return a < b;
}

std::string ResultsTable::SelectionText(const std::vector<int>& rows,
                                        const std::vector<int>& cols) const {
  std::string out;
  if (cols.empty()) return out;
  auto line = [&](auto cell_text) {
    for (std::size_t i = 0; i < cols.size(); ++i) {
      if (i > 0) out += '\t';
      out += cell_text(cols[i]);
    }
    out += '\n';
  };
  line([&](int c) { return std::string_view(column(c).heading); });
  for (int r : rows) line([&](int c) { return text(r, c); });
  return out;
}

}  // namespace kolvane
