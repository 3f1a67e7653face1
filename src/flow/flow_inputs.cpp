#include "flow/flow_inputs.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/input_channel.h"
#include "base/numbers.h"

namespace kolvane::flow {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::string> SplitCells(const std::string& line, char separator) {
  std::vector<std::string> cells;
  std::string::size_type start = 0;
  for (;;) {
    const auto end = line.find(separator, start);
    cells.push_back(line.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return cells;
    start = end + 1;
  }
}

// A sheet cell without surrounding blanks and the double quotes a spreadsheet may add.
std::string CleanCell(const std::string& cell) {
  std::string text = TrimSpaces(cell);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = TrimSpaces(text.substr(1, text.size() - 2));
  return text;
}

bool ReadLines(const std::string& path, std::vector<std::string>& lines, std::string& error) {
  InputChannel in;
  if (!in.Open(path)) {
    error = "Can't open file: " + path;
    return false;
  }
  std::string line;
  while (in.ReadLine(line) == ReadStatus::Ok) lines.push_back(line);
  if (in.Failed()) {
    error = "Can't read file: " + in.Failure();
    return false;
  }
  return true;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

}  // namespace

const ResultsTable::Row* ResultsTable::Find(const std::string& label, const Row** second) const {
  const Row* first = nullptr;
  if (second != nullptr) *second = nullptr;
  for (const Row& r : rows) {
    if (r.label != label) continue;
    if (first != nullptr) {
      if (second != nullptr) *second = &r;
      break;
    }
    first = &r;
  }
  return first;
}

int ResultsTable::ColorIndex(const std::string& name) const {
  for (std::size_t i = 0; i < colors.size(); ++i)
    if (Lower(colors[i]) == Lower(name)) return static_cast<int>(i);
  return -1;
}

double ResultsTable::PerMl(double value) const {
  return scan && unit == Unit::Microspheres ? value / solvent_ml : value;
}

std::string ReadResultsTable(const std::string& path, ResultsTable& table) {
  table = ResultsTable{};
  table.path = path;
  std::vector<std::string> lines;
  std::string error;
  if (!ReadLines(path, lines, error)) return error;
  std::size_t heading = lines.size();
  for (std::size_t i = 0; i < lines.size() && heading == lines.size(); ++i) {
    const std::string& line = lines[i];
    if (StartsWith(line, "Amount of solvent\t")) {
      const std::optional<double> v = ParseStrictNumber(line.substr(18));
      if (!v || !(*v > 0))
        return path + ", line " + std::to_string(i + 1) +
               ": the amount of solvent is not a number above 0";
      table.solvent_ml = *v;
    } else if (StartsWith(line, "Sample/Color\t")) {
      table.colors = SplitCells(line, '\t');
      heading = i;
    } else if (StartsWith(line, "Sample/Wl\t") && i > 0) {
      // The scan's colour names stand on the line above, one cell per pure after an empty one.
      table.scan = true;
      table.colors = SplitCells(lines[i - 1], '\t');
      heading = i;
    }
  }
  if (heading == lines.size())
    return path + ": no \"Sample/Color\" or \"Sample/Wl\" heading: not a results file";
  table.colors.erase(table.colors.begin());
  for (std::string& c : table.colors) c = TrimSpaces(c);
  for (std::size_t i = heading + 1; i < lines.size(); ++i) {
    std::vector<std::string> cells = SplitCells(lines[i], '\t');
    const std::string label = TrimSpaces(cells[0]);
    if (label.empty() || label == "BG (Pures)") continue;
    ResultsTable::Row row{label, static_cast<int>(i + 1), {}};
    for (std::size_t k = 0; k < table.colors.size(); ++k) {
      const std::optional<double> v =
          k + 1 < cells.size() ? ParseStrictNumber(cells[k + 1]) : std::nullopt;
      row.values.push_back(v ? *v : kUnknown);
    }
    table.rows.push_back(std::move(row));
  }
  return "";
}

std::optional<Unit> RecordedUnit(const std::string& results_path, std::string& error) {
  const std::string record = results_path + ".json";
  std::ifstream in(record, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  const nlohmann::json j = nlohmann::json::parse(text.str(), nullptr, false);
  if (!j.is_discarded() && j.is_object() && j.contains("choices") && j["choices"].is_object()) {
    const nlohmann::json& unit = j["choices"].value("results", nlohmann::json());
    if (unit == "microspheres/ml") return Unit::Microspheres;
    if (unit == "intensity") return Unit::Intensity;
  }
  error = record + ": a run record that does not name the unit of the results (choices.results)";
  return std::nullopt;
}

std::string Sheet::Where(int line, const std::string& column) const {
  const auto at = std::find(columns.begin(), columns.end(), column);
  std::string where = path + ", line " + std::to_string(line);
  if (at == columns.end()) return where + " (no " + column + " column)";
  return where + ", column " + std::to_string(at - columns.begin() + 1) + " (" + column + ")";
}

std::string ReadSheet(const std::string& path, Sheet& sheet) {
  sheet = Sheet{};
  sheet.path = path;
  std::vector<std::string> lines;
  std::string error;
  if (!ReadLines(path, lines, error)) return error;
  std::size_t first = 0;
  while (first < lines.size() && TrimSpaces(lines[first]).empty()) ++first;
  if (first == lines.size()) return path + ": an empty sample sheet";
  const char separator = lines[first].find('\t') != std::string::npos ? '\t' : ',';
  for (const std::string& cell : SplitCells(lines[first], separator))
    sheet.columns.push_back(Lower(CleanCell(cell)));
  const int header_line = static_cast<int>(first + 1);
  for (const char* needed : {"sample", "kind"})
    if (std::find(sheet.columns.begin(), sheet.columns.end(), needed) == sheet.columns.end())
      return path + ", line " + std::to_string(header_line) + ": no \"" + needed + "\" column";

  for (std::size_t i = first + 1; i < lines.size(); ++i) {
    if (TrimSpaces(lines[i]).empty()) continue;
    const std::vector<std::string> cells = SplitCells(lines[i], separator);
    SheetRow row;
    row.line = static_cast<int>(i + 1);
    for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
      const std::string cell = c < cells.size() ? CleanCell(cells[c]) : "";
      const std::string& name = sheet.columns[c];
      const std::string where = sheet.Where(row.line, name);
      double* number = name == "weight_g"            ? &row.weight_g
                       : name == "withdrawal_ml_min" ? &row.withdrawal_ml_min
                       : name == "volume_ml"         ? &row.volume_ml
                       : name == "dilution"          ? &row.dilution
                                                     : nullptr;
      if (number != nullptr) {
        if (cell.empty()) continue;
        const std::optional<double> v = ParseStrictNumber(cell);
        if (!v) return where + ": \"" + cell + "\" is not a number";
        *number = *v;
      } else if (name == "sample") {
        row.sample = cell;
      } else if (name == "kind") {
        const std::string kind = Lower(cell);
        if (kind == "tissue")
          row.kind = Kind::Tissue;
        else if (kind == "reference")
          row.kind = Kind::Reference;
        else if (kind == "injectate")
          row.kind = Kind::Injectate;
        else if (kind == "ignore")
          row.kind = Kind::Ignore;
        else
          return where + ": \"" + cell + "\" is not tissue, reference, injectate or ignore";
      } else if (name == "animal") {
        row.animal = cell;
      } else if (name == "organ") {
        row.organ = cell;
      } else if (name == "side") {
        row.side = cell;
        std::transform(row.side.begin(), row.side.end(), row.side.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (!row.side.empty() && row.side != "L" && row.side != "R")
          return where + ": \"" + cell + "\" is not L, R or empty";
      } else if (name == "region") {
        row.region = cell;
      } else if (name == "results") {
        row.results = cell;
      }
    }
    if (row.sample.empty()) return sheet.Where(row.line, "sample") + ": no sample label";
    sheet.rows.push_back(std::move(row));
  }
  return "";
}

}  // namespace kolvane::flow
