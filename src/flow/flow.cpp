#include "flow/flow.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>

namespace kolvane::flow {
namespace {

bool Known(double v) {
  return std::isfinite(v);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string FileName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// A count as the messages give it: seven significant digits at most, so 399.6 is no "400".
std::string Number(double v) {
  char text[40];
  const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 7);
  return std::string(text, end.ptr);
}

// A sheet row tied to its record in one of the results files.
struct Sample {
  const SheetRow* row;
  const ResultsTable* table;
  const ResultsTable::Row* record;
};

// The sample's signal for colour column k of its results file: c x V, times the dilution of an
// injectate.
double Signal(const Sample& s, int k) {
  const double c = s.record->values[static_cast<std::size_t>(k)];
  if (!Known(c)) return kUnknown;
  const double volume = Known(s.row->volume_ml) ? s.row->volume_ml : s.table->solvent_ml;
  const double dilution =
      s.row->kind == Kind::Injectate && Known(s.row->dilution) ? s.row->dilution : 1.0;
  return s.table->PerMl(c) * volume * dilution;
}

// A record label that stands twice in its results file cannot say which line is the sample.
std::string Twice(const Sheet& sheet, const SheetRow& row, const ResultsTable& t,
                  const ResultsTable::Row* first, const ResultsTable::Row* second) {
  return sheet.Where(row.line, "sample") + ": sample " + row.sample + " stands twice in " + t.path +
         " (lines " + std::to_string(first->line) + " and " + std::to_string(second->line) + ")";
}

std::string Resolve(const Sheet& sheet, const SheetRow& row,
                    const std::vector<ResultsTable>& tables, Sample& out) {
  out = Sample{&row, nullptr, nullptr};
  const ResultsTable::Row* second = nullptr;
  if (!row.results.empty()) {
    // The path as given, else the file name alone when it names one file only.
    int by_name = 0;
    for (const ResultsTable& t : tables) {
      if (t.path == row.results) {
        out.table = &t;
        by_name = 1;
        break;
      }
      if (FileName(t.path) == FileName(row.results) && ++by_name == 1) out.table = &t;
    }
    if (by_name != 1)
      return sheet.Where(row.line, "results") + ": \"" + row.results + "\" " +
             (by_name == 0 ? "is not one of the results files given"
                           : "names more than one of the results files given");
    out.record = out.table->Find(row.sample, &second);
    if (out.record == nullptr)
      return sheet.Where(row.line, "sample") + ": sample " + row.sample + " is not in " +
             out.table->path;
    return second ? Twice(sheet, row, *out.table, out.record, second) : "";
  }
  for (const ResultsTable& t : tables) {
    const ResultsTable::Row* r = t.Find(row.sample, &second);
    if (r == nullptr) continue;
    if (second != nullptr) return Twice(sheet, row, t, r, second);
    if (out.table != nullptr)
      return sheet.Where(row.line, "sample") + ": sample " + row.sample + " is in both " +
             out.table->path + " and " + t.path + "; the results column must say which";
    out.table = &t;
    out.record = r;
  }
  if (out.table == nullptr)
    return sheet.Where(row.line, "sample") + ": sample " + row.sample + " is not in the results";
  return "";
}

std::string CheckRow(const Sheet& sheet, const SheetRow& row) {
  const std::string& s = row.sample;
  if (row.kind == Kind::Tissue && !(row.weight_g > 0))
    return sheet.Where(row.line, "weight_g") + ": tissue sample " + s + " needs a weight above 0";
  if (row.kind == Kind::Reference && !(row.withdrawal_ml_min > 0))
    return sheet.Where(row.line, "withdrawal_ml_min") + ": reference sample " + s +
           " needs a withdrawal rate above 0";
  if (Known(row.volume_ml) && !(row.volume_ml > 0))
    return sheet.Where(row.line, "volume_ml") + ": the volume of " + s + " must be above 0";
  if (Known(row.dilution) && !(row.dilution > 0))
    return sheet.Where(row.line, "dilution") + ": the dilution of " + s + " must be above 0";
  return "";
}

void AddFlag(std::vector<std::string>& flags, const std::string& flag) {
  if (std::find(flags.begin(), flags.end(), flag) == flags.end()) flags.push_back(flag);
}

struct Animal {
  std::string name;
  int first_line = 0;
  std::vector<Sample> tissue, references, injectates;
};

// One animal and colour: the reference check, then the pieces' flows.
struct ColorFlows {
  ReferenceCheck check;
  std::string message;  // why the colour is withheld
  double signal_injectate = kUnknown;
  bool disagree = false;
  std::vector<PieceFlow> pieces;  // one per tissue sample, in sheet order
};

ColorFlows ComputeColor(const Animal& a, const std::string& color, Unit unit,
                        const FlowOptions& o) {
  ColorFlows cf;
  ReferenceCheck& check = cf.check;
  check.animal = a.name;
  check.color = color;
  const std::string who =
      (a.name.empty() ? std::string("Colour ") : "Animal " + a.name + ", colour ") + color;
  const bool spheres = unit == Unit::Microspheres;
  std::vector<double> rates;
  for (const Sample& r : a.references) {
    const double s = Signal(r, r.table->ColorIndex(color));
    check.samples.push_back(r.row->sample);
    check.spheres.push_back(spheres ? s : kUnknown);
    check.rate_ml_min += r.row->withdrawal_ml_min;
    check.signal += s;
    rates.push_back(r.row->withdrawal_ml_min / s);
    if (!Known(s) && cf.message.empty())
      cf.message = who + ": reference " + r.row->sample +
                   " has no value (overloaded): the flows of this colour are not written";
    else if (spheres && s < o.min_spheres && cf.message.empty())
      cf.message = who + ": reference " + r.row->sample + " holds " + Number(s) +
                   " spheres, fewer than " + Number(o.min_spheres) +
                   ": the flows of this colour are not written (a reference with too few "
                   "spheres makes flows come out low and cardiac output high)";
  }
  if (cf.message.empty() && !(check.signal > 0))
    cf.message = who +
                 ": the reference signal is not above 0: the flows of this colour are not "
                 "written";
  if (rates.size() >= 2 &&
      std::all_of(rates.begin(), rates.end(), [](double r) { return Known(r) && r > 0; })) {
    const auto [low, high] = std::minmax_element(rates.begin(), rates.end());
    double mean = 0;
    for (double r : rates) mean += r / static_cast<double>(rates.size());
    check.difference_pct = 100 * (*high - *low) / mean;
    cf.disagree = check.difference_pct > o.max_reference_difference;
  } else if (rates.size() >= 2) {
    cf.disagree = true;  // a reference without a positive signal cannot agree with another
  }
  check.withheld = !cf.message.empty();
  if (check.withheld) return cf;

  const double per_signal = check.rate_ml_min / check.signal;  // ml/min per unit of signal
  if (!a.injectates.empty()) {
    const Sample& inj = a.injectates.front();
    cf.signal_injectate = Signal(inj, inj.table->ColorIndex(color));
    if (Known(cf.signal_injectate)) check.cardiac_output = cf.signal_injectate * per_signal;
  }
  for (const Sample& t : a.tissue) {
    PieceFlow p;
    p.animal = a.name;
    p.sample = t.row->sample;
    p.organ = t.row->organ;
    p.side = t.row->side;
    p.region = t.row->region;
    p.color = color;
    p.weight_g = t.row->weight_g;
    const double s = Signal(t, t.table->ColorIndex(color));
    if (!Known(s)) {
      AddFlag(p.flags, kOverload);
    } else {
      p.flow_ml_min = s * per_signal;
      p.flow_ml_min_g = p.flow_ml_min / p.weight_g;
      if (cf.signal_injectate > 0) p.percent_co = 100 * s / cf.signal_injectate;
      if (s < 0) AddFlag(p.flags, kNegative);
      if (spheres) {
        p.spheres = s;
        if (s > 0) p.error_pct = FlowErrorPercent(check.signal, s);
        if (s < o.min_spheres) AddFlag(p.flags, kLowSpheres);
      }
    }
    if (cf.disagree) AddFlag(p.flags, kReferencesDisagree);
    cf.pieces.push_back(std::move(p));
  }
  return cf;
}

// Flow per gram of the pieces on one side (or both, side empty); kUnknown without any.
double SideFlow(const std::vector<const PieceFlow*>& pieces, const std::string& side) {
  double q = 0, w = 0;
  for (const PieceFlow* p : pieces)
    if (Known(p->flow_ml_min) && (side.empty() || p->side == side)) {
      q += p->flow_ml_min;
      w += p->weight_g;
    }
  return w > 0 ? q / w : kUnknown;
}

OrganFlow Organ(const std::string& animal, const std::string& organ, const ColorFlows& cf) {
  OrganFlow o;
  o.animal = animal;
  o.organ = organ;
  o.color = cf.check.color;
  o.cardiac_output = cf.check.cardiac_output;
  std::vector<const PieceFlow*> pieces;
  std::vector<double> f;
  for (const PieceFlow& p : cf.pieces) {
    if (p.organ != organ) continue;
    pieces.push_back(&p);
    for (const std::string& flag : p.flags) AddFlag(o.flags, flag);
    if (!Known(p.flow_ml_min)) continue;
    o.flow_ml_min = (Known(o.flow_ml_min) ? o.flow_ml_min : 0) + p.flow_ml_min;
    o.weight_g += p.weight_g;
    f.push_back(p.flow_ml_min_g);
  }
  o.pieces = static_cast<int>(pieces.size());
  if (f.empty()) return o;
  o.flow_ml_min_g = o.flow_ml_min / o.weight_g;
  double mean = 0;
  for (double v : f) mean += v / static_cast<double>(f.size());
  o.mean_ml_min_g = mean;
  if (f.size() >= 2) {
    double squares = 0;
    for (double v : f) squares += (v - mean) * (v - mean);
    o.sd_ml_min_g = std::sqrt(squares / static_cast<double>(f.size() - 1));
    if (mean != 0) o.rd = o.sd_ml_min_g / mean;
  }
  const double left = SideFlow(pieces, "L"), right = SideFlow(pieces, "R");
  if (Known(left) && Known(right) && right != 0) o.left_right = left / right;
  return o;
}

}  // namespace

double FlowErrorPercent(double reference_spheres, double piece_spheres) {
  return 196 * std::sqrt(1 / reference_spheres + 1 / piece_spheres);
}

std::string LoadFlowInputs(const std::vector<std::string>& results, const std::string& sheet,
                           const FlowOptions& options, FlowInputs& inputs) {
  inputs = FlowInputs{};
  for (const std::string& path : results) {
    ResultsTable table;
    std::string error = ReadResultsTable(path, table);
    if (!error.empty()) return error;
    const std::optional<Unit> recorded = RecordedUnit(path, error);
    if (!error.empty()) return error;
    if (recorded && options.units && *recorded != *options.units)
      return path + ": its run record says the results are " +
             (*recorded == Unit::Microspheres ? "microspheres/ml" : "intensity levels") +
             ", not what --units says";
    table.unit_from_record = recorded.has_value();
    table.unit = recorded.value_or(options.units.value_or(Unit::Intensity));
    if (!inputs.results.empty() && table.unit != inputs.results.front().unit)
      return path + ": its results are not in the unit of " + inputs.results.front().path +
             " (intensity levels and microspheres/ml cannot be mixed)";
    inputs.results.push_back(std::move(table));
  }
  if (inputs.results.empty()) return "No results file given";
  return ReadSheet(sheet, inputs.sheet);
}

std::string ComputeFlows(const FlowInputs& in, const FlowOptions& o, FlowResult& out) {
  out = FlowResult{};
  out.options = o;
  out.unit = in.results.front().unit;
  out.colors = o.colors;
  if (out.colors.empty())
    for (const std::string& c : in.results.front().colors)
      if (Lower(c) != "tissue") out.colors.push_back(c);
  if (out.colors.empty()) return in.results.front().path + ": no colour to compute flows for";
  for (std::size_t i = 0; i < out.colors.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (Lower(out.colors[i]) == Lower(out.colors[j]))
        return "The colour \"" + out.colors[i] + "\" is named twice";
  for (const ResultsTable& t : in.results)
    for (const std::string& c : out.colors)
      if (t.ColorIndex(c) < 0) return t.path + ": no colour \"" + c + "\" in its results";

  std::vector<Animal> animals;
  std::map<std::pair<const ResultsTable*, std::string>, int> seen;
  for (const SheetRow& row : in.sheet.rows) {
    if (row.kind == Kind::Ignore) continue;
    Sample s;
    std::string error = Resolve(in.sheet, row, in.results, s);
    if (error.empty()) error = CheckRow(in.sheet, row);
    if (!error.empty()) return error;
    const auto [at, fresh] = seen.emplace(std::make_pair(s.table, row.sample), row.line);
    if (!fresh)
      return in.sheet.Where(row.line, "sample") + ": sample " + row.sample +
             " is listed twice (first on line " + std::to_string(at->second) + ")";
    auto a = std::find_if(animals.begin(), animals.end(),
                          [&](const Animal& x) { return x.name == row.animal; });
    if (a == animals.end())
      a = animals.insert(animals.end(), Animal{row.animal, row.line, {}, {}, {}});
    if (row.kind == Kind::Injectate && !a->injectates.empty())
      return in.sheet.Where(row.line, "kind") + ": a second injectate sample for " +
             (row.animal.empty() ? std::string("the animal") : "animal " + row.animal);
    (row.kind == Kind::Tissue      ? a->tissue
     : row.kind == Kind::Reference ? a->references
                                   : a->injectates)
        .push_back(s);
  }
  for (const Animal& a : animals)
    if (a.references.empty())
      return in.sheet.Where(a.first_line, "animal") + ": " +
             (a.name.empty() ? std::string("the animal") : "animal " + a.name) +
             " has no reference sample";

  if (out.unit == Unit::Intensity)
    out.notes.push_back(
        "The results are intensity levels: sphere counts are not known, so the checks of the "
        "spheres in references and pieces and the flows' errors are not possible.");
  for (const Animal& a : animals) {
    std::vector<ColorFlows> colors;
    for (const std::string& c : out.colors) {
      colors.push_back(ComputeColor(a, c, out.unit, o));
      out.references.push_back(colors.back().check);
      if (!colors.back().message.empty()) out.withheld.push_back(colors.back().message);
    }
    for (std::size_t piece = 0; piece < a.tissue.size(); ++piece)
      for (const ColorFlows& cf : colors)
        if (!cf.check.withheld) out.pieces.push_back(cf.pieces[piece]);
    std::vector<std::string> organs;
    for (const Sample& t : a.tissue)
      if (std::find(organs.begin(), organs.end(), t.row->organ) == organs.end())
        organs.push_back(t.row->organ);
    for (const std::string& organ : organs) {
      std::size_t first = std::string::npos;  // the first colour's row, when written
      for (const ColorFlows& cf : colors) {
        if (cf.check.withheld) continue;
        out.organs.push_back(Organ(a.name, organ, cf));
        if (cf.check.color == out.colors.front()) {
          first = out.organs.size() - 1;
          continue;
        }
        OrganFlow& o = out.organs.back();
        const double base = first != std::string::npos ? out.organs[first].flow_ml_min_g : kUnknown;
        if (Known(base) && base != 0 && Known(o.flow_ml_min_g))
          o.change_pct = 100 * (o.flow_ml_min_g - base) / base;
      }
    }
  }
  return "";
}

}  // namespace kolvane::flow
