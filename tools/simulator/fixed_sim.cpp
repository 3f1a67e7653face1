#include "simulator/fixed_sim.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <vector>

#include "simulator/dyes.h"
#include "simulator/linear.h"
#include "simulator/random.h"
#include "simulator/text_out.h"
#include "simulator/truth.h"

namespace kolvane::sim {
namespace {

constexpr int kReadingDecimals = 3;  // readings, blanks and controls, as the instrument writes
constexpr int kPercentDecimals = 4;  // the matrix file
constexpr int kTruthDecimals = 3;    // intensity levels in the results file
constexpr int kFirstGroup = 3;       // records numbered 1 at the head of blanks and controls
// Every noiseless reading stays below this, clear of the program's overload mark (998).
constexpr double kHighestReading = 950.0;
constexpr int kTubesInRack = 60;

struct Column {
  std::string name;
  double nm;
  bool tissue;
  int ex_wl;
  int em_wl;
  int ex_slit;
  int em_slit;
};

std::vector<Column> MakeColumns(const FixedOptions& o) {
  std::vector<Column> columns;
  int dye_count = o.colors - (o.tissue ? 1 : 0);
  if (o.tissue) columns.push_back({"Tissue", kTissueWavelength, true, 330, 360, 5, 5});
  for (const Dye& d : Dyes(dye_count)) {
    // The fixed pair of a dye: excited just below and read just above its synchronous peak.
    int nm = static_cast<int>(d.wavelength);
    columns.push_back({d.name, d.wavelength, false, nm - 8, nm + 17, 3, 3});
  }
  return columns;
}

// A blank or control record after the first group: samples numbered above `number` take it.
struct LaterRecord {
  int number = 0;
  std::vector<double> in_force;   // the noiseless values, as the program reads them back
  std::vector<std::string> text;  // what the file holds (with noise, if any)
};

// What one companion file holds.
struct Companion {
  std::vector<std::vector<std::string>> first_group;  // kFirstGroup records numbered 1
  std::vector<double> first_in_force;  // the program's median of a noiseless first group
  std::vector<LaterRecord> later;
};

// Where the run has got to, 0 at the first sample and 1 at the last.
double RunPosition(int number, int samples) {
  return samples > 1 ? static_cast<double>(number - 1) / (samples - 1) : 0.0;
}

std::string Noisy(double clean, double sigma, Random& rng, int decimals) {
  return FixedText(std::max(0.0, clean + rng.Noise(sigma)), decimals);
}

// The noiseless value of a first group as the program holds it: the median of equal readings
// is that reading in single precision.
double FirstGroupValue(double clean) {
  return Single(ReadBack(FixedText(clean, kReadingDecimals)));
}

// value_at(i, position) is the noiseless reading of column i at that point of the run.
using ValueAt = std::function<double(int column, double position)>;

Companion MakeCompanion(int n, int interval, int samples, double sigma, Random& rng,
                        const ValueAt& value_at) {
  Companion c;
  std::vector<double> start(n);
  for (int i = 0; i < n; ++i) start[i] = value_at(i, 0.0);
  // Repeated readings scatter a little; one lies above and one below the middle one, so the
  // median that the program takes is the middle reading itself.
  std::vector<double> spread(n);
  for (int i = 0; i < n; ++i) spread[i] = start[i] * rng.Uniform(0.002, 0.008);
  const double side[kFirstGroup] = {1.0, 0.0, -1.0};
  for (int g = 0; g < kFirstGroup; ++g) {
    std::vector<std::string> record;
    for (int i = 0; i < n; ++i) {
      record.push_back(Noisy(start[i] + side[g] * spread[i], sigma, rng, kReadingDecimals));
    }
    c.first_group.push_back(record);
  }
  for (int i = 0; i < n; ++i) c.first_in_force.push_back(FirstGroupValue(start[i]));
  for (int number = interval; number < samples; number += interval) {
    LaterRecord r;
    r.number = number;
    double position = RunPosition(number, samples);
    for (int i = 0; i < n; ++i) {
      double clean = value_at(i, position);
      r.in_force.push_back(ReadBack(FixedText(clean, kReadingDecimals)));
      r.text.push_back(Noisy(clean, sigma, rng, kReadingDecimals));
    }
    c.later.push_back(r);
  }
  return c;
}

// The values in force for sample `number`: the first group's, or the last later record whose
// number is below the sample's.
const std::vector<double>& InForce(const Companion& c, int number) {
  const std::vector<double>* values = &c.first_in_force;
  for (const LaterRecord& r : c.later) {
    if (r.number < number) values = &r.in_force;
  }
  return *values;
}

// The spillover matrix as the program completes it: each row divided by its own diagonal.
std::vector<double> Normalised(std::vector<double> raw, int n) {
  for (int i = 0; i < n; ++i) {
    double diagonal = raw[i * n + i];
    for (int j = 0; j < n; ++j) {
      if (j != i) raw[i * n + j] /= diagonal;
    }
    raw[i * n + i] = 1.0;
  }
  return raw;
}

// The system the program solves for every record: row i is colour i, column j pure j.
bool FactorSystem(const std::vector<double>& spill, int n, SquareSolver& solver) {
  std::vector<double> a(n * n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) a[i * n + j] = spill[j * n + i];
  }
  return solver.Factor(a, n);
}

// The program's answer for one record: readings less background, control corrected, solved,
// negative values raised to 0.
std::vector<double> Reported(const SquareSolver& solver, const std::vector<double>& readings,
                             const std::vector<double>& background,
                             const std::vector<double>* reference,
                             const std::vector<double>* current) {
  std::vector<double> rhs(readings.size());
  for (size_t i = 0; i < readings.size(); ++i) {
    rhs[i] = readings[i] - background[i];
    if (reference != nullptr) rhs[i] = (*reference)[i] / (*current)[i] * rhs[i];
  }
  std::vector<double> x = solver.Solve(rhs);
  for (double& v : x) v = std::max(0.0, v);
  return x;
}

std::string JoinTab(const std::string& first, const std::vector<std::string>& cells) {
  std::string line = first;
  for (const std::string& c : cells) line += "\t" + c;
  return line;
}

struct Files {
  LineFile fix, blk, ctl, spl, truth;
};

std::string OpenAll(const std::string& base, Files& f) {
  LineFile* files[] = {&f.fix, &f.blk, &f.ctl, &f.spl, &f.truth};
  const char* ext[] = {".fix", ".blk", ".ctl", ".spl", ".truth.tsv"};
  for (int i = 0; i < 5; ++i) {
    if (!files[i]->Open(base + ext[i])) return "Can't create file: " + base + ext[i];
  }
  return "";
}

std::string CloseAll(Files& f) {
  LineFile* files[] = {&f.fix, &f.blk, &f.ctl, &f.spl, &f.truth};
  std::string message;
  for (LineFile* file : files) {
    if (!file->Close() && message.empty()) message = "Error writing file: " + file->Path();
  }
  return message;
}

void WriteHeader(const FixedOptions& o, const std::vector<Column>& columns, LineFile& fix) {
  auto row = [&](const char* keyword, auto value) {
    std::vector<std::string> cells;
    if (o.auto_delivery) cells.push_back("1");  // the tube column of the rack layout
    for (const Column& c : columns) cells.push_back(std::to_string(value(c)));
    fix.Line(JoinTab(keyword, cells));
  };
  fix.Line("Instrument\tsimulated fluorimeter (kolvane-simulate)");
  fix.Line("Experiment\tfixed-wavelength microsphere readings");
  fix.Line("Seed\t" + std::to_string(o.seed));
  fix.Line("Pures\t" + std::to_string(o.no_pures ? 0 : o.colors));
  fix.Line("Wavelengths\t" + std::to_string(o.colors));
  fix.Line("Amount of solvent\t2.0");
  fix.Line(o.auto_delivery ? "Delivery\tAuto" : "Delivery\tManual");
  row("ex sl", [](const Column& c) { return c.ex_slit; });
  row("em sl", [](const Column& c) { return c.em_slit; });
  row("ex wl", [](const Column& c) { return c.ex_wl; });
  row("em wl", [](const Column& c) { return c.em_wl; });
  std::vector<std::string> names;
  for (const Column& c : columns) names.push_back(c.name);
  fix.Line(JoinTab(o.auto_delivery ? "Color\tTube" : "Color Tube", names));
}

void WriteCompanion(LineFile& file, const char* what, char letter, const FixedOptions& o,
                    const std::vector<Column>& columns, const Companion& c) {
  std::vector<std::string> names;
  for (const Column& col : columns) names.push_back(col.name);
  file.Line(std::string(what) + "\tsimulated fluorimeter (kolvane-simulate)");
  file.Line("Data file\t" + std::filesystem::path(o.basename).filename().string() + ".fix");
  file.Line(JoinTab("Record", names));
  for (const auto& record : c.first_group) file.Line(JoinTab(std::string(1, letter) + "1", record));
  for (const LaterRecord& r : c.later) {
    file.Line(JoinTab(letter + std::to_string(r.number), r.text));
  }
}

std::string BodyLine(const FixedOptions& o, const std::string& label, int tube,
                     const std::vector<std::string>& readings) {
  std::string first = label;
  if (o.auto_delivery) first += "\t" + std::to_string((tube - 1) % kTubesInRack + 1);
  return JoinTab(first, readings);
}

}  // namespace

std::string CheckFixedOptions(const FixedOptions& o) {
  if (o.colors < 1 || o.colors > kMaxFixedColors) {
    return "--colors must be 1 to 30 (a data file holds at most 30 colours); got " +
           std::to_string(o.colors);
  }
  if (o.tissue && o.colors < 2) return "--tissue needs at least 2 colours (tissue and a dye)";
  if (o.samples < 0 || o.samples > kMaxFixedSamples) {
    return "--samples must be 0 to 32767 (sample counts are 16-bit); got " +
           std::to_string(o.samples);
  }
  if (!std::isfinite(o.noise) || o.noise < 0.0) return "--noise must be 0 or more";
  if (!std::isfinite(o.drift) || o.drift < 0.0 || o.drift > 0.5) {
    return "--drift must be between 0 and 0.5";
  }
  if (o.basename.empty()) return "-o BASENAME is required";
  return "";
}

std::string WriteFixedDataset(const FixedOptions& o) {
  std::string problem = CheckFixedOptions(o);
  if (!problem.empty()) return problem;
  const std::vector<Column> columns = MakeColumns(o);
  const int n = o.colors;
  Random rng(o.seed);

  // A control every `interval` samples, a blank every second one: often enough that the
  // steps of the lamp's drift stay small, rarely enough to keep the companions short.
  const int interval = std::max(10, (o.samples + 99) / 100);
  std::vector<double> blank_start(n), control_start(n);
  for (int i = 0; i < n; ++i) {
    blank_start[i] = 6.0 + 18.0 * std::exp(-(columns[i].nm - kTissueWavelength) / 90.0);
  }
  for (int i = 0; i < n; ++i) control_start[i] = rng.Uniform(350.0, 550.0);
  // The solvent blank creeps up a little over the run; the lamp loses gain, a little faster
  // in the red.
  Companion blanks = MakeCompanion(
      n, 2 * interval, o.samples, o.noise, rng,
      [&](int i, double position) { return blank_start[i] * (1.0 + 0.03 * position); });
  Companion controls =
      MakeCompanion(n, interval, o.samples, o.noise, rng, [&](int i, double position) {
        double red = (columns[i].nm - kTissueWavelength) / 400.0;
        return control_start[i] * (1.0 - o.drift * position * (0.8 + 0.4 * red));
      });

  std::vector<double> physical(n * n);
  for (int k = 0; k < n; ++k) {
    for (int c = 0; c < n; ++c) {
      physical[k * n + c] =
          FixedSpill(columns[k].nm, columns[k].tissue, columns[c].nm, columns[c].tissue);
    }
  }

  // The matrix the program will use: from the pures' readings less the first blanks, or from
  // the matrix file's percentages.
  std::vector<double> spill;
  std::vector<std::vector<std::string>> pure_text;
  std::vector<std::vector<double>> pure_truth;
  std::vector<std::string> percent_text(n * n);
  SquareSolver solver;
  const std::vector<double>& pure_background = blanks.first_in_force;
  if (o.no_pures) {
    std::vector<double> raw(n * n);
    for (int i = 0; i < n * n; ++i) {
      percent_text[i] = FixedText(100.0 * physical[i], kPercentDecimals);
      raw[i] = ReadBack(percent_text[i]) / 100.0;
    }
    spill = Normalised(raw, n);
    if (!FactorSystem(spill, n, solver)) return "The spillover matrix is singular";
  } else {
    bool settled = false;
    for (int attempt = 0; attempt < 1000 && !settled; ++attempt) {
      std::vector<std::vector<double>> clean(n, std::vector<double>(n));
      std::vector<double> raw(n * n);
      for (int k = 0; k < n; ++k) {
        double own = columns[k].tissue ? rng.Uniform(250.0, 350.0) : rng.Uniform(600.0, 850.0);
        for (int c = 0; c < n; ++c) {
          clean[k][c] =
              ReadBack(FixedText(blank_start[c] + own * physical[k * n + c], kReadingDecimals));
          raw[k * n + c] = std::max(0.0, clean[k][c] - pure_background[c]);
        }
      }
      spill = Normalised(raw, n);
      if (!FactorSystem(spill, n, solver)) continue;
      pure_truth.clear();
      settled = true;
      for (int k = 0; k < n && settled; ++k) {
        pure_truth.push_back(Reported(solver, clean[k], pure_background, nullptr, nullptr));
        settled = !NearRoundingHalf(pure_truth.back(), kTruthDecimals);
      }
      if (settled) {
        pure_text.assign(n, std::vector<std::string>(n));
        for (int k = 0; k < n; ++k) {
          for (int c = 0; c < n; ++c) {
            double written = o.noise > 0.0 ? clean[k][c] + rng.Noise(o.noise) : clean[k][c];
            pure_text[k][c] = FixedText(std::max(0.0, written), kReadingDecimals);
          }
        }
        for (int i = 0; i < n * n; ++i) {
          percent_text[i] = FixedText(100.0 * spill[i], kPercentDecimals);
        }
      }
    }
    if (!settled) return "No usable set of pures found";
  }

  Files files;
  problem = OpenAll(o.basename, files);
  if (!problem.empty()) {
    CloseAll(files);
    return problem;
  }
  WriteHeader(o, columns, files.fix);
  WriteCompanion(files.blk, "Blanks", 'B', o, columns, blanks);
  WriteCompanion(files.ctl, "Controls", 'C', o, columns, controls);
  for (int k = 0; k < n; ++k) {
    std::vector<std::string> row(percent_text.begin() + k * n, percent_text.begin() + (k + 1) * n);
    std::string line = row[0];
    for (int c = 1; c < n; ++c) line += "\t" + row[c];
    files.spl.Line(line);
  }

  std::vector<std::string> names;
  for (const Column& c : columns) names.push_back(c.name);
  TruthWriter truth(files.truth, kTruthDecimals);
  truth.Comment("Ground truth written by kolvane-simulate fixed, seed " + std::to_string(o.seed) +
                ".");
  truth.Comment("Each colour's intensity at its own reading, spillover removed: what the program");
  truth.Comment("reports as intensity levels with the blanks and controls read, background");
  truth.Comment("subtraction and control correction on, every colour in use and the tissue column");
  truth.Comment(
      "(if any) used as a colour. With noise 0 the results equal these to the last decimal.");
  if (o.no_pures) truth.Comment("The spillover matrix comes from the matrix file (.spl).");
  truth.Heading(names);

  std::vector<double> pure_own(n, 0.0);
  for (int k = 0; k < n && !o.no_pures; ++k) pure_own[k] = pure_truth[k][k];
  int tube = 0;
  if (!o.no_pures) {
    for (int k = 0; k < n; ++k) {
      files.fix.Line(BodyLine(o, "P" + std::to_string(k + 1), ++tube, pure_text[k]));
      truth.Record("P" + std::to_string(k + 1), pure_truth[k]);
    }
  }
  for (int s = 1; s <= o.samples; ++s) {
    const std::vector<double>& background = InForce(blanks, s);
    const std::vector<double>& current = InForce(controls, s);
    const std::vector<double>& reference = controls.first_in_force;
    std::vector<double> clean(n), reported;
    for (int attempt = 0;; ++attempt) {
      std::vector<double> amount(n);
      if (o.amounts) amount = o.amounts(s, pure_own);
      for (int k = 0; k < n && !o.amounts; ++k) {
        if (columns[k].tissue) {
          amount[k] = rng.Uniform(10.0, 120.0);
        } else {
          // Most samples hold some of every dye, a few none of one; amounts skew low.
          double u = rng.Uniform();
          double v = rng.Uniform();
          amount[k] = u < 0.1 ? 0.0 : 300.0 * v * v;
        }
      }
      std::vector<double> signal(n, 0.0);
      for (int c = 0; c < n; ++c) {
        for (int k = 0; k < n; ++k) signal[c] += amount[k] * spill[k * n + c];
      }
      // The reading carries the gain that the control in force shows against the reference.
      double highest = 0.0;
      for (int c = 0; c < n; ++c) {
        highest = std::max(highest, background[c] + current[c] / reference[c] * signal[c]);
      }
      if (o.amounts && highest > kHighestReading) {
        CloseAll(files);
        return "Sample S" + std::to_string(s) + " would read above " +
               FixedText(kHighestReading, 0) + ": fewer spheres or more microspheres per ml";
      }
      double scale = highest > kHighestReading ? kHighestReading / highest : 1.0;
      for (int c = 0; c < n; ++c) {
        double value = background[c] + current[c] / reference[c] * signal[c] * scale;
        clean[c] = ReadBack(FixedText(value, kReadingDecimals));
      }
      reported = Reported(solver, clean, background, &reference, &current);
      if (o.amounts || !NearRoundingHalf(reported, kTruthDecimals) || attempt == 100) break;
    }
    std::vector<std::string> text(n);
    for (int c = 0; c < n; ++c) {
      text[c] = o.noise > 0.0 ? Noisy(clean[c], o.noise, rng, kReadingDecimals)
                              : FixedText(clean[c], kReadingDecimals);
    }
    files.fix.Line(BodyLine(o, "S" + std::to_string(s), ++tube, text));
    truth.Record("S" + std::to_string(s), reported);
  }
  return CloseAll(files);
}

}  // namespace kolvane::sim
