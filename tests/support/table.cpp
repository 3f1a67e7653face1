#include "support/table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kolvane {

namespace {
std::string Unescape(const std::string& cell) {
  std::string text;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != '\\' || i + 1 == cell.size()) {
      text += cell[i];
      continue;
    }
    const char c = cell[++i];
    if (c == 'x') {
      text += static_cast<char>(std::stoi(cell.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      text += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
    }
  }
  return text;
}
}  // namespace

std::vector<TableRow> ReadTable(const std::string& name, const std::string& kind) {
  std::ifstream in(std::string(KOLVANE_TEST_DATA) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << name;
  std::vector<TableRow> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    TableRow cells;
    std::istringstream fields(line + "\t");
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(Unescape(cell));
    if (kind.empty() || cells[0] == kind)
      rows.emplace_back(cells.begin() + !kind.empty(), cells.end());
  }
  EXPECT_FALSE(rows.empty()) << name << " " << kind;
  return rows;
}

double Number(const std::string& cell) {
  return std::strtod(cell.c_str(), nullptr);
}

std::vector<double> Numbers(const std::string& cell) {
  std::istringstream in(cell);
  std::vector<double> values;
  for (std::string item; in >> item;) values.push_back(Number(item));
  return values;
}

}  // namespace kolvane
