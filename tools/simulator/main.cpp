// kolvane-simulate: writes measurement files as a fluorimeter's software would, with the ground
// truth beside them, for examples, tests and benchmarks.
#include <CLI/CLI.hpp>
#include <iostream>

#include "simulator/fixed_sim.h"
#include "simulator/flow_sim.h"
#include "simulator/scan_sim.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kWriteError = 1;

int Report(const std::string& problem, int status) {
  if (problem.empty()) return 0;
  std::cerr << "kolvane-simulate: " << problem << "\n";
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  using kolvane::sim::FixedOptions;
  using kolvane::sim::ScanOptions;
  CLI::App app{"Writes simulated fluorimeter files (with their ground truth) for KOLVANE"};
  app.require_subcommand(1);

  FixedOptions f;
  CLI::App* fixed = app.add_subcommand(
      "fixed", "Fixed-wavelength file BASENAME.fix with .blk, .ctl, .spl and .truth.tsv");
  fixed->add_option("--colors", f.colors, "Reading columns, tissue included (1..30)")
      ->capture_default_str();
  fixed->add_option("--samples", f.samples, "Sample records (0..32767)")->capture_default_str();
  fixed->add_flag("--tissue", f.tissue, "Colour 1 is Tissue; samples carry autofluorescence");
  fixed->add_flag("--auto-delivery", f.auto_delivery,
                  "Autosampler: Delivery Auto, a tube field in every record");
  fixed->add_option("--noise", f.noise, "Standard deviation of the reading noise")
      ->capture_default_str();
  fixed->add_option("--seed", f.seed, "Seed of the random numbers")->capture_default_str();
  fixed->add_option("--drift", f.drift, "Fractional gain lost over the run (0..0.5)")
      ->capture_default_str();
  fixed->add_flag("--no-pures", f.no_pures, "No P records: the matrix is in BASENAME.spl");
  fixed->add_option("-o,--output", f.basename, "Path of the files, without extension")->required();

  ScanOptions s;
  CLI::App* scan =
      app.add_subcommand("scan", "Synchronous-scan file BASENAME.syn with .slk and .truth.tsv");
  scan->add_option("--pures", s.pures, "Pures, one dye each (1..30)")->capture_default_str();
  scan->add_option("--points", s.points, "Values per scan (1..1000)")->capture_default_str();
  scan->add_option("--records", s.records, "Sample records")->capture_default_str();
  scan->add_option("--lower", s.lower, "First scan point, nm")->capture_default_str();
  scan->add_option("--interval", s.interval, "Step between points, nm")->capture_default_str();
  scan->add_flag("--tissue", s.tissue, "Samples carry tissue autofluorescence");
  scan->add_flag("--blanks", s.blanks, "A solvent blank under every scan, in BASENAME.slk");
  scan->add_option("--noise", s.noise, "Standard deviation of the noise")->capture_default_str();
  scan->add_option("--seed", s.seed, "Seed of the random numbers")->capture_default_str();
  scan->add_option("-o,--output", s.basename, "Path of the files, without extension")->required();

  kolvane::sim::FlowSimOptions w;
  CLI::App* flow = app.add_subcommand(
      "flow", "Blood-flow study: BASENAME.fix (as fixed), .sheet.tsv and .flows.tsv (the truth)");
  flow->add_option("--animals", w.animals, "Animals (1..100)")->capture_default_str();
  flow->add_option("--colors", w.colors, "Injections, one dye colour each (1..13)")
      ->capture_default_str();
  flow->add_option("--spheres", w.spheres, "Spheres injected per colour")->capture_default_str();
  flow->add_option("--references", w.references, "Reference samples per animal (1 or 2)")
      ->capture_default_str();
  flow->add_option("--withdrawal", w.withdrawal, "Withdrawal rate of a reference, ml/min")
      ->capture_default_str();
  flow->add_option("--micros-per-ml", w.micros_per_ml,
                   "Microspheres/ml of every pure (give it to kolvane-batch fixed)")
      ->capture_default_str();
  flow->add_option("--seed", w.seed, "Seed of the random numbers")->capture_default_str();
  flow->add_option("-o,--output", w.basename, "Path of the files, without extension")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help is no error; every other parse failure is a usage error.
    return app.exit(e) == 0 ? 0 : kUsageError;
  }

  if (fixed->parsed()) {
    std::string problem = kolvane::sim::CheckFixedOptions(f);
    if (!problem.empty()) return Report(problem, kUsageError);
    return Report(kolvane::sim::WriteFixedDataset(f), kWriteError);
  }
  if (flow->parsed()) {
    std::string problem = kolvane::sim::CheckFlowOptions(w);
    if (!problem.empty()) return Report(problem, kUsageError);
    return Report(kolvane::sim::WriteFlowStudy(w), kWriteError);
  }
  std::string problem = kolvane::sim::CheckScanOptions(s);
  if (!problem.empty()) return Report(problem, kUsageError);
  return Report(kolvane::sim::WriteScanDataset(s), kWriteError);
}
