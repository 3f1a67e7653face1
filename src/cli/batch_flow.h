// In this file: kolvane-batch flow, regional blood flow from results files and a sample sheet.
// The command line only; the computation is src/flow's.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

namespace kolvane {

struct FlowCommandLine {
  std::vector<std::string> results;
  std::string samples, output, summary, html, colors, units;
  double min_spheres = 400;
  double max_reference_difference = 15;
};

// Adds the "flow" subcommand to the batch's command line, filling `line` when it is parsed.
CLI::App* AddFlowCommand(CLI::App& app, FlowCommandLine& line);
// Runs it: 0 when every flow was written, 1 when a check withheld flows or a file could not be
// written, 2 for a refusal of the inputs.
int RunFlowCommand(const FlowCommandLine& line);

}  // namespace kolvane
