// In this file: the report of a run as one self-contained HTML page (no external files,
// scripts or fonts): a summary, the inputs with their hashes, the matrix picture as inline
// SVG, the per-colour figures and, for scans, a histogram of R^2 over the records and the
// spectrum of the worst-fitting record with its fit.
#pragma once

#include <string>
#include <vector>

#include "app/run_record.h"

namespace kolvane {

struct Program;

// The report of the run the ledger tells of.
std::string RunReportHtml(const Program& p, const std::vector<RecordInput>& inputs);

// The R^2 histogram's counts: bins equal parts of [low, 1], low the smallest value rounded
// down to a hundredth (at most 0.99); 1 falls in the last bin.
std::vector<long> R2Histogram(const std::vector<double>& r2, int bins, double& low);

}  // namespace kolvane
