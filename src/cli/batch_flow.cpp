#include "cli/batch_flow.h"

#include <iostream>

#include "app/run_record.h"
#include "base/numbers.h"
#include "cli/batch_options.h"
#include "flow/flow.h"
#include "flow/flow_output.h"

namespace kolvane {

CLI::App* AddFlowCommand(CLI::App& app, FlowCommandLine& line) {
  CLI::App* flow = app.add_subcommand(
      "flow", "Regional blood flow (ml/min/g) from results files and a sample sheet");
  flow->add_option("RESULTS.scf", line.results, "Results files (.scf) holding the samples")
      ->required()
      ->type_name("")
      ->check(CLI::ExistingFile.description(""));
  flow->add_option("--samples", line.samples,
                   "The sample sheet: sample, kind, animal, organ, side, region, weight_g, "
                   "withdrawal_ml_min, volume_ml, dilution, results (TAB or comma)")
      ->required()
      ->type_name("SHEET")
      ->check(CLI::ExistingFile.description(""));
  flow->add_option("-o,--output", line.output, "Flow per tissue piece and colour")
      ->required()
      ->type_name("FLOW.tsv");
  flow->add_option("--summary", line.summary, "Flow per animal, organ and colour")
      ->type_name("ORGANS.tsv");
  flow->add_option("--html", line.html, "Also write a self-contained report page")
      ->type_name("REPORT.html");
  flow->add_option("--colors", line.colors,
                   "Colour names to compute (default: every colour but Tissue)")
      ->type_name("NAME,NAME,...");
  flow->add_option("--min-spheres", line.min_spheres,
                   "Fewest spheres a reference must hold for its colour's flows to be written")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber.description(""))
      ->capture_default_str();
  flow->add_option("--max-reference-difference", line.max_reference_difference,
                   "Flag rows whose two references disagree by more than P percent")
      ->type_name("P")
      ->check(CLI::NonNegativeNumber.description(""))
      ->capture_default_str();
  flow->add_option("--units", line.units,
                   "Unit of results files without a run record (default: intensity)")
      ->check(CLI::IsMember({"intensity", "microspheres"}).description(""))
      ->type_name("intensity|microspheres");
  return flow;
}

int RunFlowCommand(const FlowCommandLine& line) {
  using namespace flow;
  FlowOptions options;
  options.min_spheres = line.min_spheres;
  options.max_reference_difference = line.max_reference_difference;
  if (!line.units.empty())
    options.units = line.units == "microspheres" ? Unit::Microspheres : Unit::Intensity;
  if (!line.colors.empty()) {
    std::string::size_type start = 0;
    for (;;) {
      const auto comma = line.colors.find(',', start);
      const std::string item = TrimSpaces(line.colors.substr(start, comma - start));
      if (!item.empty()) options.colors.push_back(item);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  auto refuse = [](const std::string& message) {
    std::cerr << message << std::endl;
    return kExitUsage;
  };
  FlowInputs inputs;
  std::string error = LoadFlowInputs(line.results, line.samples, options, inputs);
  FlowResult result;
  if (error.empty()) error = ComputeFlows(inputs, options, result);
  std::vector<std::string> reads = line.results;
  for (const std::string& r : line.results) reads.push_back(r + ".json");
  reads.push_back(line.samples);
  const FlowOutputs outputs{line.output, line.summary, line.html, line.output + ".json"};
  if (error.empty()) error = RefusedOutputs(outputs, reads);
  if (!error.empty()) return refuse(error);

  for (const std::string& note : result.notes) std::cerr << note << std::endl;
  for (const std::string& message : result.withheld) std::cerr << message << std::endl;
  std::vector<FlowInputFile> files;
  for (const std::string& r : line.results) files.push_back({"results", r, FileSha256(r)});
  files.push_back({"sheet", line.samples, FileSha256(line.samples)});
  error = WriteFlowOutputs(outputs, result, files);
  if (!error.empty()) {
    std::cerr << "Can't write file: " << error << std::endl;
    return kExitStopped;
  }
  return result.withheld.empty() ? kExitComplete : kExitStopped;
}

}  // namespace kolvane
