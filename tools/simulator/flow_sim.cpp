#include "simulator/flow_sim.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "simulator/dyes.h"
#include "simulator/fixed_sim.h"
#include "simulator/random.h"
#include "simulator/text_out.h"

namespace kolvane::sim {
namespace {

constexpr double kSolventMl = 2.0;  // the fixed simulator's "Amount of solvent"
constexpr double kDilution = 100;   // the injectate sample holds this fraction of a dose

struct Organ {
  const char* name;
  double flow_ml_min_g;  // typical of a small mammal at rest
  int pieces;
  bool sided;  // pieces alternate between L and R
};
constexpr Organ kOrgans[] = {
    {"heart", 6.0, 3, false},
    {"kidney", 4.0, 4, true},
    {"brain", 0.8, 3, false},
    {"muscle", 0.25, 2, false},
};

struct Sample {
  std::string kind, animal, organ, side;
  double weight_g = 0;              // pieces
  std::vector<double> flow_ml_min;  // true flow per colour (pieces)
  std::vector<long> spheres;        // drawn per colour
};

}  // namespace

std::string CheckFlowOptions(const FlowSimOptions& o) {
  if (o.animals < 1 || o.animals > 100) return "--animals must be 1 to 100";
  if (o.colors < 1 || o.colors > kTableDyes) return "--colors must be 1 to 13";
  if (o.references < 1 || o.references > 2) return "--references must be 1 or 2";
  if (!(o.spheres >= 1000 && o.spheres <= 1e8)) return "--spheres must be 1000 to 1e8";
  if (!(o.withdrawal > 0 && o.withdrawal <= 10))
    return "--withdrawal must be above 0 and at most 10";
  if (!(o.micros_per_ml >= 1 && o.micros_per_ml <= 1e9)) return "--micros-per-ml must be 1 to 1e9";
  if (o.basename.empty()) return "-o BASENAME is required";
  return "";
}

std::string WriteFlowStudy(const FlowSimOptions& o) {
  std::string problem = CheckFlowOptions(o);
  if (!problem.empty()) return problem;
  // Its own stream, so that the fixed simulator's draws are those of its own seed.
  Random rng(o.seed * 7919 + 17);
  const int k_count = o.colors;
  std::vector<Sample> samples;
  std::vector<std::vector<double>> output(static_cast<std::size_t>(o.animals));
  for (int a = 1; a <= o.animals; ++a) {
    const std::string animal = "A" + std::to_string(a);
    std::vector<double>& co = output[static_cast<std::size_t>(a - 1)];
    for (int k = 0; k < k_count; ++k) co.push_back(ReadBack(FixedText(rng.Uniform(12, 20), 4)));
    auto draw = [&](Sample s, auto expected) {
      for (int k = 0; k < k_count; ++k) s.spheres.push_back(rng.Poisson(expected(k)));
      samples.push_back(s);
    };
    for (int r = 0; r < o.references; ++r)
      draw(Sample{"reference", animal, "", "", 0, {}, {}},
           [&](int k) { return o.spheres * o.withdrawal / co[k]; });
    draw(Sample{"injectate", animal, "", "", 0, {}, {}},
         [&](int) { return o.spheres / kDilution; });
    for (const Organ& organ : kOrgans) {
      std::vector<double> change;
      for (int k = 0; k < k_count; ++k) change.push_back(k == 0 ? 1.0 : rng.Uniform(0.8, 1.25));
      for (int p = 0; p < organ.pieces; ++p) {
        Sample s{"tissue", animal, organ.name, organ.sided ? (p % 2 ? "R" : "L") : "", 0, {}, {}};
        s.weight_g = ReadBack(FixedText(rng.Uniform(0.05, 0.25), 4));
        const double spread = std::exp(0.15 * rng.Normal());
        for (int k = 0; k < k_count; ++k)
          s.flow_ml_min.push_back(organ.flow_ml_min_g * change[k] * spread * s.weight_g);
        draw(s, [&](int k) { return o.spheres * s.flow_ml_min[k] / co[k]; });
      }
    }
  }

  FixedOptions f;
  f.colors = k_count;
  f.samples = static_cast<int>(samples.size());
  f.seed = o.seed;
  f.basename = o.basename;
  // n spheres in the extract: n / V per ml, which the run reports as factor x intensity with
  // factor = micros-per-ml / the pure's own intensity.
  f.amounts = [&](int s, const std::vector<double>& pure_own) {
    std::vector<double> amount;
    for (int k = 0; k < k_count; ++k)
      amount.push_back(
          samples[static_cast<std::size_t>(s - 1)].spheres[static_cast<std::size_t>(k)] /
          kSolventMl * pure_own[static_cast<std::size_t>(k)] / o.micros_per_ml);
    return amount;
  };
  problem = WriteFixedDataset(f);
  if (!problem.empty()) return problem;

  const std::vector<Dye> dyes = Dyes(k_count);
  LineFile sheet, truth;
  if (!sheet.Open(o.basename + ".sheet.tsv")) return "Can't create file: " + sheet.Path();
  if (!truth.Open(o.basename + ".flows.tsv")) return "Can't create file: " + truth.Path();
  sheet.Line("sample\tkind\tanimal\torgan\tside\tweight_g\twithdrawal_ml_min\tdilution");
  truth.Line("# True flows written by kolvane-simulate flow, seed " + std::to_string(o.seed) +
             ": " + ShortText(o.spheres) +
             " spheres injected per colour, references withdrawn at " + ShortText(o.withdrawal) +
             " ml/min, injectate diluted " + ShortText(kDilution) + " times.");
  truth.Line("# Analyse " + std::filesystem::path(o.basename).filename().string() +
             ".fix with --blanks, --controls, --control-correction on,");
  truth.Line("# --format microspheres and --micros-per-ml " + ShortText(o.micros_per_ml) +
             " for every colour.");
  truth.Line("kind\tanimal\tsample\torgan\tside\tcolour\tflow_ml_min\tflow_ml_min_g\tspheres");
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const Sample& s = samples[i];
    const std::string label = "S" + std::to_string(i + 1);
    std::string line = label + "\t" + s.kind + "\t" + s.animal + "\t" + s.organ + "\t" + s.side;
    line += "\t" + (s.kind == "tissue" ? FixedText(s.weight_g, 4) : "");
    line += "\t" + (s.kind == "reference" ? ShortText(o.withdrawal) : "");
    line += "\t" + (s.kind == "injectate" ? ShortText(kDilution) : "");
    sheet.Line(line);
    for (int k = 0; k < k_count && s.kind == "tissue"; ++k)
      truth.Line("piece\t" + s.animal + "\t" + label + "\t" + s.organ + "\t" + s.side + "\t" +
                 dyes[static_cast<std::size_t>(k)].name + "\t" +
                 ShortText(s.flow_ml_min[static_cast<std::size_t>(k)]) + "\t" +
                 ShortText(s.flow_ml_min[static_cast<std::size_t>(k)] / s.weight_g) + "\t" +
                 std::to_string(s.spheres[static_cast<std::size_t>(k)]));
  }
  for (int a = 0; a < o.animals; ++a)
    for (int k = 0; k < k_count; ++k)
      truth.Line("cardiac_output\tA" + std::to_string(a + 1) + "\t\t\t\t" +
                 dyes[static_cast<std::size_t>(k)].name + "\t" +
                 ShortText(output[static_cast<std::size_t>(a)][static_cast<std::size_t>(k)]) +
                 "\t\t");
  const bool sheet_ok = sheet.Close();
  if (!truth.Close()) return "Error writing file: " + truth.Path();
  return sheet_ok ? "" : "Error writing file: " + sheet.Path();
}

}  // namespace kolvane::sim
