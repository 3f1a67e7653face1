#include "cli/batch_summary.h"

#include <algorithm>
#include <array>

namespace kolvane {

namespace {

constexpr int kBarWidth = 40;
constexpr std::array<const char*, 5> kOutcomes = {"complete", "stopped", "aborted", "skipped",
                                                  "not started"};

// A message on one line: its TABs and line ends become single blanks.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    const bool gap = c == '\t' || c == '\r' || c == '\n';
    if (!gap) {
      line += c;
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// Why the file stopped, and where the lines it wrote are.
std::string Message(const FileSummary& row) {
  const std::string& kept = row.ledger.incomplete;
  const std::string where = kept.empty() ? "" : "lines kept in " + EscapedName(kept);
  const std::string message = OneLine(row.message);
  return message.empty() || where.empty() ? message + where : message + "; " + where;
}

std::vector<std::string> Cells(const FileSummary& row) {
  return {EscapedName(row.file),
          row.outcome,
          std::to_string(row.ledger.records_read),
          std::to_string(row.ledger.lines_written),
          std::to_string(row.ledger.ol_cells),
          Message(row)};
}

}  // namespace

std::string EscapedName(const std::string& name) {
  std::string text;
  for (char c : name) {
    if (c == '\t')
      text += "\\t";
    else if (c == '\n')
      text += "\\n";
    else if (c == '\r')
      text += "\\r";
    else
      text += c;
  }
  return text;
}

std::string SummaryLine(const FileSummary& row) {
  std::string line = EscapedName(row.file) + ": " + row.outcome;
  const RunLedger& l = row.ledger;
  if (row.outcome != "skipped" && row.outcome != "not started") {
    line += ", " + std::to_string(l.records_read) + " records, " + std::to_string(l.lines_written) +
            " result lines, " + std::to_string(l.ol_cells) + " OL cells";
  }
  const std::string message = Message(row);
  if (!message.empty()) line += ": " + message;
  return line;
}

std::string SummaryTable(const std::vector<FileSummary>& rows) {
  std::vector<std::vector<std::string>> table = {
      {"file", "outcome", "records", "result lines", "OL cells", "message"}};
  for (const FileSummary& row : rows) table.push_back(Cells(row));
  std::array<std::size_t, 6> width{};
  for (const auto& cells : table)
    for (std::size_t c = 0; c < width.size(); ++c) width[c] = std::max(width[c], cells[c].size());
  std::string text;
  for (const auto& cells : table) {
    std::string line;
    for (std::size_t c = 0; c < width.size(); ++c) {
      const std::string& cell = cells[c];
      // Counts stand to the right of their column, words to the left.
      const bool count = c >= 2 && c <= 4;
      const std::string pad(width[c] - cell.size(), ' ');
      line += count ? pad + cell : cell + (c + 1 < width.size() ? pad : "");
      if (c + 1 < width.size()) line += "  ";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
  }
  text += std::to_string(rows.size()) + " files:";
  for (const char* outcome : kOutcomes) {
    const auto n = std::count_if(rows.begin(), rows.end(),
                                 [&](const FileSummary& r) { return r.outcome == outcome; });
    if (n > 0) text += " " + std::to_string(n) + " " + outcome + ",";
  }
  text.back() = '\n';
  return text;
}

std::string SummaryTsv(const std::vector<FileSummary>& rows) {
  std::string text = "file\toutcome\trecords\tresult_lines\tol_cells\tmessage\n";
  for (const FileSummary& row : rows) {
    const std::vector<std::string> cells = Cells(row);
    for (std::size_t c = 0; c < cells.size(); ++c)
      text += cells[c] + (c + 1 < cells.size() ? "\t" : "\n");
  }
  return text;
}

StudyOutput::StudyOutput(std::FILE* out, std::FILE* err, std::size_t files, bool bar)
    : out_(out), err_(err), files_(files), bar_(bar) {}

void StudyOutput::Message(const std::string& file, const std::string& text) {
  std::string lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines += EscapedName(file) + ": " + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  std::lock_guard<std::mutex> hold(lock_);
  ClearBar();
  std::fputs(lines.c_str(), err_);
  std::fflush(err_);
  DrawBar();
}

void StudyOutput::Finished(const FileSummary& row) {
  const std::string line = SummaryLine(row) + "\n";
  std::lock_guard<std::mutex> hold(lock_);
  ClearBar();
  std::fputs(line.c_str(), out_);
  std::fflush(out_);
  ++done_;
  DrawBar();
}

void StudyOutput::CloseBar() {
  std::lock_guard<std::mutex> hold(lock_);
  if (drawn_) std::fputc('\n', err_);
  std::fflush(err_);
  drawn_ = false;
  bar_ = false;
}

void StudyOutput::ClearBar() {
  if (!drawn_) return;
  std::fprintf(err_, "\r%*s\r", kBarWidth + 24, "");
  drawn_ = false;
}

void StudyOutput::DrawBar() {
  if (!bar_ || files_ == 0) return;
  const auto filled = static_cast<std::size_t>(done_ * kBarWidth / files_);
  std::string line = "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') +
                     "] " + std::to_string(done_) + " of " + std::to_string(files_) + " files";
  std::fputs(line.c_str(), err_);
  std::fflush(err_);
  drawn_ = true;
}

}  // namespace kolvane
