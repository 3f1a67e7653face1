// In this file: tables of cases kept as data under tests/data: one case a line, cells
// separated by TABs, "#" lines and empty lines left out. In a cell \t, \r, \n, \\ and \xHH stand
// for those characters.
#pragma once

#include <string>
#include <vector>

namespace kolvane {

using TableRow = std::vector<std::string>;

// The rows of tests/data/<name> whose first cell is `kind` (all rows if empty), that cell left
// out when given.
std::vector<TableRow> ReadTable(const std::string& name, const std::string& kind = "");

// A cell as a double ("inf", "-inf" and "nan" included).
double Number(const std::string& cell);
// The numbers of a cell, separated by blanks.
std::vector<double> Numbers(const std::string& cell);

}  // namespace kolvane
