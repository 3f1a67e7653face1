#include "simulator/scan_sim.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "simulator/dyes.h"
#include "simulator/linear.h"
#include "simulator/random.h"
#include "simulator/text_out.h"
#include "simulator/truth.h"

namespace kolvane::sim {
namespace {

constexpr int kValueDecimals = 2;  // scan values, as the instrument writes them
constexpr int kValuesPerLine = 10;
constexpr int kInitialBlanks = 3;
constexpr int kResultDecimals = 3;  // intensity levels in the results file
constexpr int kTissueDecimals = 2;  // the value at 350 nm in the results file
constexpr double kHighestValue = 950.0;
constexpr double kNameWindow = 3.0;  // a peak names a colour slot within 3 nm

struct Grid {
  std::vector<double> nm;          // wavelength of each point, 0-based
  int point350 = 0;                // 1-based index of the 350 nm point, 0 when the scan has none
  std::string lower, upper, step;  // the header's texts
};

// The scan points as the program will see them: ScanPoints and the 350 nm point are worked out
// from the header's texts, so a header that would give a different count is refused.
bool MakeGrid(const ScanOptions& o, Grid& g) {
  g.lower = ShortText(o.lower);
  g.step = ShortText(o.interval);
  g.upper = ShortText(o.lower + o.points * o.interval);
  double lower = ReadBack(g.lower);
  double step = ReadBack(g.step);
  double points = RoundHalfEven((ReadBack(g.upper) - lower) / step);
  if (points != o.points) return false;
  g.nm.clear();
  for (int i = 0; i < o.points; ++i) g.nm.push_back(i * step + lower);
  g.point350 = 0;
  if (lower <= 350.0) {
    double p = RoundHalfEven((350.0 - lower) / step + 1.0);
    if (p >= 1 && p <= o.points) g.point350 = static_cast<int>(p);
  }
  return true;
}

// The grid point where a dye's band is highest (the first of equal values).
int BandPeak(const Dye& dye, const Grid& g) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(g.nm.size()); ++i) {
    if (ScanBand(dye, g.nm[i]) > ScanBand(dye, g.nm[best])) best = i;
  }
  return best;
}

// The five fit points of one pure (0-based), found as the program finds them: the peak, and on
// each flank the last points at or above three quarters and one half of the peak height.
struct FitPoints {
  int at[5] = {0, 0, 0, 0, 0};
  bool ambiguous = false;  // a value lies so close to a level that rounding could move a point
};

FitPoints LocatePeak(const std::vector<float>& s) {
  FitPoints f;
  const int n = static_cast<int>(s.size());
  float max = 0.0f;
  float min = 32767.0f;
  int peak = -1;
  for (int i = 0; i < n; ++i) {
    if (s[i] > max) {
      max = s[i];
      peak = i;
    }
    if (s[i] < min) min = s[i];
  }
  if (peak < 0) {
    f.ambiguous = true;
    return f;
  }
  const double half = min + 0.5 * (static_cast<double>(max) - min);
  const double quarter = min + 0.75 * (static_cast<double>(max) - min);
  const double margin = 1e-4 * (static_cast<double>(max) - min);
  for (float v : s) {
    if (std::fabs(v - half) < margin || std::fabs(v - quarter) < margin) f.ambiguous = true;
  }
  f.at[2] = peak;
  f.at[0] = f.at[1] = 0;
  bool quarter_set = false;
  for (int j = peak; j >= 0; --j) {
    if (s[j] < quarter && !quarter_set) {
      f.at[1] = j + 1;
      quarter_set = true;
    }
    if (s[j] < half) {
      f.at[0] = j + 1;
      break;
    }
  }
  f.at[3] = f.at[4] = n - 1;
  quarter_set = false;
  for (int j = peak; j < n; ++j) {
    if (s[j] < quarter && !quarter_set) {
      f.at[3] = j - 1;
      quarter_set = true;
    }
    if (s[j] < half) {
      f.at[4] = j - 1;
      break;
    }
  }
  return f;
}

float Subtracted(double value, float blank) {
  return static_cast<float>(value) - blank;
}

double Clean(double value) {
  return ReadBack(FixedText(std::max(0.0, value), kValueDecimals));
}

void WriteRecord(LineFile& file, const std::string& label, const std::vector<std::string>& values) {
  file.Text(label + " ");
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) file.Text(i % kValuesPerLine == 0 ? "\r\n" : " ");
    file.Text(values[i]);
  }
  file.EndLine();
}

std::vector<std::string> Texts(const std::vector<double>& values, double sigma, Random& rng) {
  std::vector<std::string> text(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    double v = sigma > 0.0 ? std::max(0.0, values[i] + rng.Noise(sigma)) : values[i];
    text[i] = FixedText(v, kValueDecimals);
  }
  return text;
}

}  // namespace

std::string CheckScanOptions(const ScanOptions& o) {
  if (o.pures < 1 || o.pures > kMaxScanPures) {
    return "--pures must be 1 to 30; got " + std::to_string(o.pures);
  }
  if (o.points < 1 || o.points > kMaxScanPoints) {
    return "--points must be 1 to 1000; got " + std::to_string(o.points);
  }
  if (o.records < 0 || o.records > kMaxScanRecords) {
    return "--records must be 0 to 32767; got " + std::to_string(o.records);
  }
  int total = o.records + o.pures + (o.blanks ? 1 : 0);
  if (total > kMaxScanRecords) {
    return "The data file would hold " + std::to_string(total) +
           " records (samples, pures and blanks); a scan file holds at most 32767";
  }
  if (!std::isfinite(o.lower) || o.lower <= 0.0) return "--lower must be a wavelength above 0 nm";
  if (!std::isfinite(o.interval) || o.interval <= 0.0) return "--interval must be above 0 nm";
  if (!std::isfinite(o.noise) || o.noise < 0.0) return "--noise must be 0 or more";
  if (o.basename.empty()) return "-o BASENAME is required";
  Grid g;
  if (!MakeGrid(o, g)) {
    return "--lower and --interval give a header from which the program would count another "
           "number of points than " +
           std::to_string(o.points);
  }
  const double first = g.nm.front();
  const double last = g.nm.back();
  for (const Dye& d : Dyes(o.pures)) {
    if (d.wavelength - ScanBandBlueReach(d) < first || d.wavelength + ScanBandRedReach(d) > last) {
      return "The scan from " + ShortText(first) + " to " + ShortText(last) +
             " nm does not hold the band of " + d.name + " (" + ShortText(d.wavelength) + " nm, " +
             ShortText(d.wavelength - ScanBandBlueReach(d)) + " to " +
             ShortText(d.wavelength + ScanBandRedReach(d)) +
             " nm): use more points or "
             "another --lower";
    }
    double peak = g.nm[BandPeak(d, g)];
    if (d.in_table && !(d.wavelength - kNameWindow < peak && peak < d.wavelength + kNameWindow)) {
      return "With --interval " + g.step + " the peak of " + d.name + " falls on " +
             ShortText(peak) + " nm, more than 3 nm from " + ShortText(d.wavelength) +
             " nm, and would name no colour: use a finer interval";
    }
  }
  return "";
}

std::string WriteScanDataset(const ScanOptions& o) {
  std::string problem = CheckScanOptions(o);
  if (!problem.empty()) return problem;
  Grid g;
  MakeGrid(o, g);
  const int n = o.pures;
  const int points = o.points;
  const int m = 5 * n;
  const std::vector<Dye> dyes = Dyes(n);
  Random rng(o.seed);

  // The blank under every scan, and the blank spectrum the program will subtract.
  std::vector<double> blank_true(points, 0.0);
  std::vector<double> blank_clean(points, 0.0);
  std::vector<float> blank_in_force(points, 0.0f);
  if (o.blanks) {
    for (int i = 0; i < points; ++i) {
      blank_true[i] = ScanBlank(g.nm[i]);
      blank_clean[i] = Clean(blank_true[i]);
      blank_in_force[i] = static_cast<float>(blank_clean[i]);
    }
  }

  // The pures, their fit points, and the program's pure matrix.
  std::vector<std::vector<double>> pure_clean(n);
  std::vector<std::vector<double>> shape(n, std::vector<double>(points));
  std::vector<int> fit(m);
  std::vector<double> a(m * n);
  LeastSquares fitter;
  for (int k = 0; k < n; ++k) {
    bool settled = false;
    for (int attempt = 0; attempt < 100 && !settled; ++attempt) {
      double height = rng.Uniform(500.0, 850.0);
      std::vector<float> spectrum(points);
      pure_clean[k].assign(points, 0.0);
      for (int i = 0; i < points; ++i) {
        pure_clean[k][i] = Clean(blank_true[i] + height * ScanBand(dyes[k], g.nm[i]));
        spectrum[i] = Subtracted(pure_clean[k][i], blank_in_force[i]);
      }
      FitPoints f = LocatePeak(spectrum);
      if (f.ambiguous) continue;
      double peak_nm = static_cast<float>(g.nm[f.at[2]]);
      if (dyes[k].in_table && !(dyes[k].wavelength - kNameWindow < peak_nm &&
                                peak_nm < dyes[k].wavelength + kNameWindow)) {
        continue;
      }
      const double top = spectrum[f.at[2]];
      for (int i = 0; i < points; ++i) shape[k][i] = spectrum[i] / top;
      for (int j = 0; j < 5; ++j) fit[5 * k + j] = f.at[j];
      settled = true;
    }
    if (!settled) return "No usable pure found for " + dyes[k].name;
  }
  for (int r = 0; r < m; ++r) {
    for (int k = 0; k < n; ++k) a[r * n + k] = shape[k][fit[r]];
  }
  if (!fitter.Factor(a, m, n)) return "The pures' fit points do not tell the pures apart";

  // The program's answer for a record whose values are `clean`.
  auto reported = [&](const std::vector<double>& clean) {
    std::vector<double> b(m);
    for (int r = 0; r < m; ++r) b[r] = Subtracted(clean[fit[r]], blank_in_force[fit[r]]);
    return fitter.Solve(b);
  };
  auto tissue_cell = [&](const std::vector<double>& clean) {
    std::vector<std::string> cells;
    if (g.point350 > 0) {
      int p = g.point350 - 1;
      cells.push_back(FixedText(Subtracted(clean[p], blank_in_force[p]), kTissueDecimals));
    }
    return cells;
  };

  LineFile syn, slk, truth_file;
  if (!syn.Open(o.basename + ".syn")) return "Can't create file: " + o.basename + ".syn";
  if (o.blanks && !slk.Open(o.basename + ".slk")) {
    syn.Close();
    return "Can't create file: " + o.basename + ".slk";
  }
  if (!truth_file.Open(o.basename + ".truth.tsv")) {
    syn.Close();
    slk.Close();
    return "Can't create file: " + o.basename + ".truth.tsv";
  }

  syn.Line("Instrument\tsimulated fluorimeter (kolvane-simulate)");
  syn.Line("Experiment\tsynchronous scans of microsphere samples");
  syn.Line("Seed\t" + std::to_string(o.seed));
  syn.Line("Pures\t" + std::to_string(n));
  syn.Line("Amount of solvent\t2.0");
  syn.Line("Delivery\tManual");
  syn.Line("Scan lower\t" + g.lower);
  syn.Line("Scan upper\t" + g.upper);
  syn.Line("Scan data interval\t" + g.step);
  syn.Line("Date/Time\t2024-03-14 09:30:00");

  if (o.blanks) {
    slk.Line("Blanks\tsimulated fluorimeter (kolvane-simulate)");
    slk.Line("Data file\t" + std::filesystem::u8path(o.basename).filename().u8string() + ".syn");
    slk.Line("Scan lower\t" + g.lower + "\tScan data interval\t" + g.step);
    // Repeated blanks scatter a little; at every point one lies above and one below the middle
    // blank, so the median that the program takes is the middle blank, which the data file's
    // own blank repeats.
    std::vector<double> spread(points);
    for (int i = 0; i < points; ++i) spread[i] = blank_clean[i] * rng.Uniform(0.005, 0.02);
    const double side[kInitialBlanks] = {1.0, 0.0, -1.0};
    for (int b = 0; b < kInitialBlanks; ++b) {
      std::vector<double> values(points);
      for (int i = 0; i < points; ++i) values[i] = blank_clean[i] + side[b] * spread[i];
      WriteRecord(slk, "B1", Texts(values, o.noise, rng));
    }
    // A blank measured halfway through the run: counted by the program, not used.
    if (o.records >= 2) {
      WriteRecord(slk, "B" + std::to_string(o.records / 2), Texts(blank_clean, o.noise, rng));
    }
    WriteRecord(syn, "B1", Texts(blank_clean, o.noise, rng));
  }

  TruthWriter truth(truth_file, kResultDecimals);
  truth.Comment("Ground truth written by kolvane-simulate scan, seed " + std::to_string(o.seed) +
                ".");
  truth.Comment("Each pure's intensity at its own peak point (the fit's coefficient), as the");
  truth.Comment("program reports intensity levels with the blanks file read and background");
  truth.Comment("subtraction on. With noise 0 and no tissue the results equal these to the last");
  truth.Comment("decimal; tissue autofluorescence is not a pure, so with --tissue the fit reports");
  truth.Comment("more than these.");
  // A dye beyond the colour table names no slot; the results file heads its column with the
  // peak's wavelength, and so does the truth.
  std::vector<std::string> heading;
  for (const Dye& d : dyes)
    heading.push_back(d.in_table ? d.name : ShortText(d.wavelength) + " nm");
  if (g.point350 > 0) heading.push_back("Max. Tissue");
  truth.Heading(heading);

  for (int k = 0; k < n; ++k) {
    std::string label = "P" + std::to_string(k + 1);
    WriteRecord(syn, label, Texts(pure_clean[k], o.noise, rng));
    truth.Record(label, reported(pure_clean[k]), tissue_cell(pure_clean[k]));
  }
  std::vector<double> tissue_profile(points);
  for (int i = 0; i < points; ++i) tissue_profile[i] = ScanTissue(g.nm[i]);
  std::vector<double> clean(points), with_tissue(points), amount(n), dye_sum(points);
  std::vector<std::string> text(points);
  for (int s = 1; s <= o.records; ++s) {
    std::vector<double> x;
    for (int attempt = 0;; ++attempt) {
      for (int k = 0; k < n; ++k) {
        double u = rng.Uniform();
        amount[k] = 2.0 + 400.0 * u * u;
      }
      double tissue = o.tissue ? rng.Uniform(20.0, 250.0) : 0.0;
      double highest = 0.0;
      for (int i = 0; i < points; ++i) {
        dye_sum[i] = 0.0;
        for (int k = 0; k < n; ++k) dye_sum[i] += amount[k] * shape[k][i];
        highest = std::max(highest, dye_sum[i] + tissue * tissue_profile[i] + blank_true[i]);
      }
      double scale = highest > kHighestValue ? kHighestValue / highest : 1.0;
      // The truth is the fit of the scan without its tissue; without tissue that is the scan.
      for (int i = 0; i < points; ++i) {
        double value = blank_true[i] + scale * (dye_sum[i] + tissue * tissue_profile[i]);
        text[i] = FixedText(std::max(0.0, value), kValueDecimals);
        with_tissue[i] = ReadBack(text[i]);
        clean[i] = o.tissue ? Clean(blank_true[i] + scale * dye_sum[i]) : with_tissue[i];
      }
      x = reported(clean);
      if (!NearRoundingHalf(x, kResultDecimals) || attempt == 100) break;
    }
    std::string label = "S" + std::to_string(s);
    WriteRecord(syn, label, o.noise > 0.0 ? Texts(with_tissue, o.noise, rng) : text);
    truth.Record(label, x, tissue_cell(with_tissue));
  }

  bool ok = syn.Close();
  ok = (!o.blanks || slk.Close()) && ok;
  ok = truth_file.Close() && ok;
  return ok ? "" : "Error writing the files of " + o.basename;
}

}  // namespace kolvane::sim
