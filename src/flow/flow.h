// In this file: regional blood flow by the reference-sample method. Per animal and colour (one
// injection): a sample's signal S = c x V (its corrected value times its extract volume), the
// reference's rate Q_ref and signal S_ref summed over the animal's references, a piece's flow
// Q = S x Q_ref / S_ref in ml/min and Q / weight in ml/min/g, cardiac output from an injectate
// sample, the per-organ figures, and the checks that keep a flow that cannot be trusted from
// being written as if it could: too few spheres in a reference withholds the colour's flows for
// that animal, pieces with few spheres, negative signals and references that disagree are
// flagged.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "flow/flow_inputs.h"

namespace kolvane::flow {

struct FlowOptions {
  std::vector<std::string> colors;       // empty: every colour but Tissue
  double min_spheres = 400;              // --min-spheres
  double max_reference_difference = 15;  // --max-reference-difference, percent
  std::optional<Unit> units;             // --units, for results files without a run record
};

// The flags of a piece's row.
inline constexpr const char* kLowSpheres = "LOW_SPHERES";
inline constexpr const char* kNegative = "NEGATIVE";
inline constexpr const char* kReferencesDisagree = "REFERENCES_DISAGREE";
inline constexpr const char* kOverload = "OVERLOAD";

// Numbers not known are kUnknown (written as empty cells).
struct PieceFlow {
  std::string animal, sample, organ, side, region, color;
  double flow_ml_min = kUnknown, flow_ml_min_g = kUnknown, weight_g = kUnknown;
  double spheres = kUnknown, error_pct = kUnknown, percent_co = kUnknown;
  std::vector<std::string> flags;
};

struct OrganFlow {
  std::string animal, organ, color;
  int pieces = 0;
  double weight_g = 0, flow_ml_min = kUnknown, flow_ml_min_g = kUnknown;
  double mean_ml_min_g = kUnknown, sd_ml_min_g = kUnknown, rd = kUnknown;
  double left_right = kUnknown, change_pct = kUnknown;  // against the first colour
  double cardiac_output = kUnknown;
  std::vector<std::string> flags;
};

// One animal and colour's references: what the report shows of their counts and agreement.
struct ReferenceCheck {
  std::string animal, color;
  std::vector<std::string> samples;
  std::vector<double> spheres;  // each reference's spheres (kUnknown with intensity results)
  double rate_ml_min = 0, signal = 0;
  double difference_pct = kUnknown;  // between the references' own flows, with two or more
  double cardiac_output = kUnknown;
  bool withheld = false;  // the colour's flows for the animal are not written
};

struct FlowResult {
  FlowOptions options;  // as the computation used them
  Unit unit = Unit::Intensity;
  std::vector<std::string> colors;
  std::vector<PieceFlow> pieces;
  std::vector<OrganFlow> organs;
  std::vector<ReferenceCheck> references;
  std::vector<std::string> withheld;  // one message per animal and colour not written (exit 1)
  std::vector<std::string> notes;     // said once: sphere checks not possible
};

struct FlowInputs {
  std::vector<ResultsTable> results;
  Sheet sheet;
};

// Reads the results files (with their units) and the sheet. Empty, or the refusal.
std::string LoadFlowInputs(const std::vector<std::string>& results, const std::string& sheet,
                           const FlowOptions& options, FlowInputs& inputs);
// Checks the sheet against the results and computes every flow. Empty, or the refusal (then
// nothing may be written).
std::string ComputeFlows(const FlowInputs& inputs, const FlowOptions& options, FlowResult& out);

// The 95 % error of a piece's flow in percent, v spheres in the reference and w in the piece.
double FlowErrorPercent(double reference_spheres, double piece_spheres);

}  // namespace kolvane::flow
