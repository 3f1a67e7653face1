// In this file: comparing a results file's record lines with a simulator's truth file
// (BASENAME.truth.tsv: "#" comment lines, a heading "Record" plus one column per colour and
// perhaps "Max. Tissue", then one line per P and S record, labelled and rounded as the results
// file writes them).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace kolvane::truth {

using Row = std::vector<std::string>;

// The lines of a text (CR LF or LF ends), split at TABs, those whose first cell passes `keep`
// (an empty line has no cells; its first cell counts as empty).
template <typename Keep>
std::vector<Row> Lines(const std::string& text, Keep keep) {
  std::vector<Row> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Row cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, '\t');) cells.push_back(cell);
    if (!line.empty() && line.back() == '\t') cells.push_back("");  // an empty last cell
    if (keep(cells.empty() ? "" : cells[0])) rows.push_back(cells);
  }
  return rows;
}

inline bool IsRecord(const std::string& label) {
  return label.size() > 1 && (label[0] == 'P' || label[0] == 'S') &&
         label.find_first_not_of("0123456789", 1) == std::string::npos;
}

struct Expect {
  // 0: every value the same text as the truth's; otherwise the largest difference allowed.
  double tolerance = 0;
  // Not empty: results in microspheres/ml, pure k entered as micros[k]; a value is then the
  // truth's times micros[k] / (pure k's own truth) times `solvent`.
  std::vector<double> micros;
  double solvent = 1;
};

// Every truth line has a results line with the same label, in the same order, and no other
// record lines. The scan results carry SS, R^2, Max. Tissue and the Hi-Lo flag after the values.
inline void Compare(const std::string& results, const std::string& truth_text, const Expect& e) {
  const std::vector<Row> truth = Lines(truth_text, IsRecord);
  const Row heading = Lines(truth_text, [](const std::string& c) { return c == "Record"; }).at(0);
  const std::vector<Row> got = Lines(results, IsRecord);
  const bool tissue = heading.back() == "Max. Tissue";
  const std::size_t n = heading.size() - 1 - tissue;
  ASSERT_EQ(got.size(), truth.size());
  ASSERT_GT(truth.size(), n);
  int wrong = 0;
  for (std::size_t r = 0; r < truth.size() && wrong < 5; ++r) {
    ASSERT_EQ(got[r][0], truth[r][0]);
    ASSERT_GE(got[r].size(), tissue ? n + 4 : n + 1) << got[r][0];
    for (std::size_t k = 1; k <= n + tissue; ++k) {
      const bool max_tissue = k > n;
      const std::string& want = truth[r][k];
      const std::string& have = got[r][max_tissue ? n + 3 : k];
      double expected = std::atof(want.c_str());
      if (!e.micros.empty() && !max_tissue)
        expected *= e.micros[k - 1] * e.solvent / std::atof(truth[k - 1][k].c_str());
      const bool same = e.tolerance == 0 && e.micros.empty()
                            ? have == want
                            : std::fabs(std::atof(have.c_str()) - expected) <= e.tolerance;
      if (!same && ++wrong <= 5)
        ADD_FAILURE() << got[r][0] << " column " << k << ": " << have << ", truth " << want
                      << " (expected " << expected << ")";
    }
  }
}

}  // namespace kolvane::truth
