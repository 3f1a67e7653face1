// The synchronous-scan simulation: header items and records as the readers take them, and a
// ground truth that the program's fit, worked independently here, gets back from noiseless data.
#include "simulator/scan_sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "sim_files.h"

namespace kolvane::sim::test {
namespace {

struct ScanRecord {
  std::string label;
  std::vector<double> values;
};

struct ScanFile {
  std::vector<std::string> header;
  std::map<std::string, double> items;  // value after the TAB of the recognised items
  int points = 0;
  std::vector<ScanRecord> records;
};

// Records as the reader takes them: a label ended by a blank, then `points` numbers ended by
// blanks or line ends, over as many lines as they need.
std::vector<ScanRecord> ReadRecords(const std::vector<std::string>& lines, size_t from,
                                    int points) {
  std::vector<std::string> tokens;
  for (size_t i = from; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].find_first_of(",\t"), std::string::npos) << lines[i];
    size_t start = 0;
    while (start < lines[i].size()) {
      size_t end = lines[i].find(' ', start);
      if (end == std::string::npos) end = lines[i].size();
      if (end > start) tokens.push_back(lines[i].substr(start, end - start));
      start = end + 1;
    }
  }
  std::vector<ScanRecord> records;
  EXPECT_EQ(tokens.size() % (points + 1), 0u);
  for (size_t t = 0; t + points < tokens.size(); t += points + 1) {
    ScanRecord r{tokens[t], {}};
    for (int i = 1; i <= points; ++i) r.values.push_back(Number(tokens[t + i]));
    records.push_back(r);
  }
  return records;
}

ScanFile ReadSyn(const std::string& path) {
  ScanFile f;
  std::vector<std::string> lines = CrLfLines(path);
  size_t i = 0;
  for (; i < lines.size(); ++i) {
    f.header.push_back(lines[i]);
    EXPECT_EQ(lines[i].find(','), std::string::npos) << "a comma splits the item";
    for (const char* key : {"Pures", "Amount of solvent", "Delivery", "Scan lower", "Scan upper",
                            "Scan data interval", "Date/Time"}) {
      if (lines[i].find(key) != std::string::npos) {
        EXPECT_EQ(f.items.count(key), 0u) << key << " twice";
        std::vector<std::string> cells = SplitTabs(lines[i]);
        f.items[key] = cells.size() > 1 ? std::strtod(cells[1].c_str(), nullptr) : 0.0;
      }
    }
    if (lines[i].find("Date/Time") != std::string::npos) break;
  }
  EXPECT_LT(i, lines.size()) << "no Date/Time item";
  f.points = static_cast<int>(std::nearbyint((f.items["Scan upper"] - f.items["Scan lower"]) /
                                             f.items["Scan data interval"]));
  f.records = ReadRecords(lines, i + 1, f.points);
  return f;
}

// Peak and flank points (0-based) of a blank-subtracted pure, by the rule the pure search
// uses: the highest point (first of equal ones), and on each side the last points at or above
// three quarters and one half of the height above the spectrum's lowest value (the end point
// when the flank never falls below).
std::vector<int> FitPointsOf(const std::vector<float>& s) {
  const int n = static_cast<int>(s.size());
  const int peak = static_cast<int>(std::max_element(s.begin(), s.end()) - s.begin());
  const double bottom = *std::min_element(s.begin(), s.end()), height = s[peak] - bottom;
  auto walk = [&](double share, int step) {
    int j = peak;
    while (j + step >= 0 && j + step < n && s[j + step] >= bottom + share * height) j += step;
    return j;
  };
  return {walk(0.5, -1), walk(0.75, -1), peak, walk(0.75, 1), walk(0.5, 1)};
}

struct Recovered {
  std::vector<std::string> labels;
  std::vector<std::vector<double>> x;
  std::vector<double> at350;
  std::vector<double> pure_peak_nm;
};

// The program's fit from the files alone: the blank record of the data file (the median of
// the initial blanks, as the header test shows) subtracted, every value stored and subtracted in
// single precision, the 5n x n matrix of the pures' fit points, and least squares by the normal
// equations.
Recovered Recover(const std::string& base, bool blanks) {
  ScanFile f = ReadSyn(base + ".syn");
  const int points = f.points;
  const int n = static_cast<int>(f.items.at("Pures"));
  const double lower = f.items.at("Scan lower"), step = f.items.at("Scan data interval");
  std::vector<float> blank(points, 0.0f);
  Recovered out;
  std::vector<std::vector<float>> pures;
  std::vector<std::vector<float>> spectra;
  for (const ScanRecord& r : f.records) {
    std::vector<float> s(points);
    for (int i = 0; i < points; ++i) s[i] = static_cast<float>(r.values[i]);
    if (r.label[0] == 'B' && blanks) {
      blank = s;
      continue;
    }
    for (int i = 0; i < points; ++i) s[i] -= blank[i];
    if (r.label[0] == 'P') pures.push_back(s);
    out.labels.push_back(r.label);
    spectra.push_back(s);
  }
  EXPECT_EQ(static_cast<int>(pures.size()), n);
  std::vector<int> fit;
  std::vector<int> peaks;
  for (const auto& p : pures) {
    std::vector<int> five = FitPointsOf(p);
    fit.insert(fit.end(), five.begin(), five.end());
    peaks.push_back(five[2]);
    out.pure_peak_nm.push_back(static_cast<float>(five[2] * step + lower));
  }
  const int m = 5 * n;
  std::vector<double> a(m * n);
  for (int r = 0; r < m; ++r)
    for (int k = 0; k < n; ++k)
      a[r * n + k] = static_cast<double>(pures[k][fit[r]]) / pures[k][peaks[k]];
  std::vector<double> normal(n * n, 0.0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int r = 0; r < m; ++r) normal[i * n + j] += a[r * n + i] * a[r * n + j];
  int point350 = lower <= 350 ? static_cast<int>(std::nearbyint((350 - lower) / step)) : -1;
  for (const auto& s : spectra) {
    std::vector<double> rhs(n, 0.0);
    for (int k = 0; k < n; ++k)
      for (int r = 0; r < m; ++r) rhs[k] += a[r * n + k] * s[fit[r]];
    out.x.push_back(SolveDense(normal, rhs));
    out.at350.push_back(point350 >= 0 && point350 < points ? s[point350] : NAN);
  }
  return out;
}

ScanOptions Options(const std::string& base, int pures, int points, int records) {
  ScanOptions o;
  o.basename = base;
  o.pures = pures;
  o.points = points;
  o.records = records;
  return o;
}

// ---------------------------------------------------------------------------------------------

struct RecoveryCase {
  const char* name;
  int pures, points, records;
  double lower, interval;
  bool blanks;
  double noise;
};

class ScanRecovery : public SimFolder, public ::testing::WithParamInterface<RecoveryCase> {};

TEST_P(ScanRecovery, HeaderAndScansGiveBackTheTruth) {
  const RecoveryCase& rc = GetParam();
  ScanOptions o = Options(Base("r"), rc.pures, rc.points, rc.records);
  o.lower = rc.lower;
  o.interval = rc.interval;
  o.blanks = rc.blanks;
  o.noise = rc.noise;
  o.seed = 3;
  ASSERT_EQ(WriteScanDataset(o), "");
  std::vector<std::string> heading;
  auto truth = TruthRows(Base("r") + ".truth.tsv", &heading);
  Recovered got = Recover(Base("r"), rc.blanks);

  ScanFile f = ReadSyn(Base("r") + ".syn");
  ASSERT_EQ(f.items.size(), 7u);
  EXPECT_EQ(f.items["Pures"], rc.pures);
  EXPECT_EQ(f.items["Amount of solvent"], 2.0);
  EXPECT_EQ(f.items["Scan lower"], rc.lower);
  EXPECT_EQ(f.items["Scan upper"], rc.lower + rc.points * rc.interval);
  EXPECT_EQ(f.items["Scan data interval"], rc.interval);
  EXPECT_NE(f.header.back().find("Date/Time"), std::string::npos);
  EXPECT_NE(std::find(f.header.begin(), f.header.end(), "Delivery\tManual"), f.header.end());
  std::vector<std::string> labels, want = {rc.blanks ? "B1" : ""};
  for (const ScanRecord& r : f.records) labels.push_back(r.label);
  for (int k = 1; k <= rc.pures; ++k) want.push_back("P" + std::to_string(k));
  for (int k = 1; k <= rc.records; ++k) want.push_back("S" + std::to_string(k));
  EXPECT_EQ(labels, std::vector<std::string>(want.begin() + !rc.blanks, want.end()));
  for (const std::string& line : CrLfLines(Base("r") + ".syn"))  // at most ten values a line
    EXPECT_LE(std::count(line.begin(), line.end(), ' '), 10) << line;
  if (rc.blanks && rc.noise == 0) {
    // Three lines of text, then three initial blanks that scatter about the data file's blank,
    // which is their median at every point.
    std::vector<ScanRecord> b = ReadRecords(CrLfLines(Base("r") + ".slk"), 3, rc.points);
    ASSERT_GE(b.size(), 3u);
    EXPECT_TRUE(b[0].label == "B1" && b[1].label == "B1" && b[2].label == "B1");
    EXPECT_NE(b[0].values, b[1].values);
    for (int i = 0; i < rc.points; ++i) {
      std::vector<double> v = {b[0].values[i], b[1].values[i], b[2].values[i]};
      std::sort(v.begin(), v.end());
      EXPECT_EQ(v[1], f.records[0].values[i]) << "point " << i + 1;
    }
  }

  const bool has350 = heading.back() == "Max. Tissue";
  EXPECT_EQ(has350, rc.lower <= 350);
  ASSERT_EQ(heading.size(), rc.pures + 1u + (has350 ? 1 : 0));
  ASSERT_EQ(truth.size(), got.labels.size());
  ASSERT_EQ(truth.size(), static_cast<size_t>(rc.pures + rc.records));
  int differing = 0;
  for (size_t r = 0; r < truth.size(); ++r) {
    ASSERT_EQ(truth[r][0], got.labels[r]);
    for (int k = 0; k < rc.pures; ++k) {
      const bool same = Decimals(got.x[r][k], 3) == truth[r][k + 1];
      differing += !same;
      if (rc.noise > 0) {
        EXPECT_NEAR(got.x[r][k], Number(truth[r][k + 1]), 15 * rc.noise);
      } else if (!same && differing < 5) {
        ADD_FAILURE() << truth[r][0] << " pure " << k + 1 << ": recovered " << got.x[r][k]
                      << ", truth " << truth[r][k + 1];
      }
    }
    if (has350 && rc.noise == 0) {
      EXPECT_EQ(Decimals(got.at350[r], 2), truth[r].back()) << r;
    }
  }
  if (rc.noise > 0) {
    EXPECT_GT(differing, 100);
    return;
  }
  EXPECT_EQ(differing, 0);
  // The pures peak at their colours' nominal wavelengths, in ascending order.
  for (int k = 0; k < rc.pures; ++k) {
    if (k < static_cast<int>(kColours.size())) {
      EXPECT_EQ(heading[k + 1], kColours[k].first);
      EXPECT_NEAR(got.pure_peak_nm[k], kColours[k].second, 3.0) << heading[k + 1];
    }
    EXPECT_TRUE(k == 0 || got.pure_peak_nm[k] > got.pure_peak_nm[k - 1]) << heading[k + 1];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Datasets, ScanRecovery,
    ::testing::Values(RecoveryCase{"ThirteenPures", 13, 350, 30, 350, 1, true, 0},
                      RecoveryCase{"NoBlanks", 6, 250, 20, 350, 1, false, 0},
                      RecoveryCase{"From300HalfSteps", 4, 500, 15, 300, 0.5, true, 0},
                      RecoveryCase{"Above350", 3, 100, 10, 360, 1.5, true, 0},
                      RecoveryCase{"From340OddSteps", 3, 200, 7, 340, 1.5, true, 0},
                      RecoveryCase{"ThirtyPures", 30, 700, 12, 350, 1, true, 0},
                      RecoveryCase{"Noise", 5, 250, 30, 350, 1, true, 1.0}),
    [](const ::testing::TestParamInfo<RecoveryCase>& info) { return info.param.name; });

TEST_F(SimFolder, ScanTissueRisesTowards350AndIsNotAPure) {
  ScanOptions o = Options(Base("t"), 3, 200, 20);
  o.tissue = true;
  o.blanks = true;
  ASSERT_EQ(WriteScanDataset(o), "");
  auto truth = TruthRows(Base("t") + ".truth.tsv", nullptr);
  Recovered got = Recover(Base("t"), true);
  double largest_excess = 0;
  for (size_t r = 3; r < truth.size(); ++r) {
    // The reading at 350 nm is the tissue's; it falls away to the red.
    EXPECT_GT(got.at350[r], 15.0) << truth[r][0];
    EXPECT_EQ(Decimals(got.at350[r], 2), truth[r].back());
    for (int k = 0; k < 3; ++k)
      largest_excess = std::max(largest_excess, got.x[r][k] - Number(truth[r][k + 1]));
  }
  // Autofluorescence under the Blue pure (380 nm) is fitted as Blue.
  EXPECT_GT(largest_excess, 5.0);
}

TEST(ScanOptionsCheck, RefusesWhatTheProgramCannotRead) {
  struct Case {
    int pures, points, records;
    double lower, interval;
    bool blanks;
    std::string message_part;  // empty: accepted
  } cases[] = {
      {13, 350, 32754, 350, 1, false, ""},
      {30, 700, 10, 350, 1, false, ""},
      {1, 100, 0, 340, 1, false, ""},
      {0, 350, 10, 350, 1, false, "--pures must be 1 to 30"},
      {31, 1000, 10, 350, 1, false, "--pures must be 1 to 30"},
      {13, 0, 10, 350, 1, false, "--points must be 1 to 1000"},
      {13, 1001, 10, 350, 1, false, "--points must be 1 to 1000"},
      {1, 100, 32768, 350, 1, false, "--records must be 0 to 32767"},
      {13, 350, 32754, 350, 1, true, "would hold 32768 records"},
      {13, 350, 32755, 350, 1, false, "would hold 32768 records"},
      {13, 350, 10, 350, 0, false, "--interval must be above 0"},
      {13, 350, 10, -5, 1, false, "--lower must be"},
      {13, 300, 10, 350, 1, false, "does not hold the band of"},
      {1, 10, 10, 355, 10, false, "falls on 385 nm, more than 3 nm from 380 nm"},
  };
  for (const Case& c : cases) {
    ScanOptions o = Options("x", c.pures, c.points, c.records);
    o.lower = c.lower;
    o.interval = c.interval;
    o.blanks = c.blanks;
    const std::string message = CheckScanOptions(o);
    EXPECT_TRUE(c.message_part.empty() ? message.empty()
                                       : message.find(c.message_part) != std::string::npos)
        << "got '" << message << "' for " << c.pures << " pures, " << c.points << " points, "
        << c.records << " records, interval " << c.interval;
  }
}

}  // namespace
}  // namespace kolvane::sim::test
