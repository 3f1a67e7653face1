// The fixed-wavelength simulation: the files a reader expects, and a ground truth that the
// program's method, worked independently here, gets back from noiseless data.
#include "simulator/fixed_sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "sim_files.h"

namespace kolvane::sim::test {
namespace {

struct FixedFile {
  std::vector<std::string> header;
  std::vector<std::string> names;
  std::vector<std::string> labels;
  std::vector<std::vector<double>> readings;
};

FixedFile ReadFix(const std::string& path) {
  FixedFile f;
  std::vector<std::string> lines = CrLfLines(path);
  size_t i = 0;
  bool auto_delivery = false;
  for (; i < lines.size(); ++i) {
    f.header.push_back(lines[i]);
    if (lines[i].find("Delivery") != std::string::npos)
      auto_delivery = lines[i].find("Auto") != std::string::npos;
    if (lines[i].find("Color") != std::string::npos) break;
  }
  EXPECT_LT(i, lines.size()) << "no colour line";
  // The colour line as the loader takes it apart: everything up to "Tube" dropped, a leading
  // TAB dropped, then one name per TAB-separated field.
  std::string colours = f.header.back();
  if (colours.find("Tube") != std::string::npos) colours.erase(0, colours.find("Tube") + 4);
  if (!colours.empty() && colours[0] == '\t') colours.erase(0, 1);
  f.names = SplitTabs(colours);
  const size_t first = auto_delivery ? 2 : 1;
  for (++i; i < lines.size(); ++i) {
    std::vector<std::string> cells = SplitTabs(lines[i]);
    EXPECT_EQ(cells.size(), first + f.names.size()) << lines[i];
    f.labels.push_back(cells[0]);
    std::vector<double> r;
    for (size_t c = first; c < cells.size(); ++c) r.push_back(Number(cells[c]));
    f.readings.push_back(r);
  }
  return f;
}

struct CompanionRecord {
  int number;
  std::vector<double> values;
};

std::vector<CompanionRecord> ReadCompanion(const std::string& path, size_t colors) {
  std::vector<std::string> lines = CrLfLines(path);
  std::vector<CompanionRecord> records;
  for (size_t i = 3; i < lines.size(); ++i) {
    std::vector<std::string> cells = SplitTabs(lines[i]);
    EXPECT_EQ(cells.size(), colors + 1) << lines[i];
    CompanionRecord r{static_cast<int>(Number(cells[0].substr(1))), {}};
    for (size_t c = 1; c < cells.size(); ++c) r.values.push_back(Number(cells[c]));
    records.push_back(r);
  }
  return records;
}

// The median of the records numbered 1, taken in single precision as the loader takes it.
std::vector<double> FirstGroupMedian(const std::vector<CompanionRecord>& records) {
  std::vector<double> median;
  for (size_t c = 0; c < records.front().values.size(); ++c) {
    std::vector<float> v;
    for (const CompanionRecord& r : records)
      if (r.number == 1) v.push_back(static_cast<float>(r.values[c]));
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    median.push_back(n % 2 == 1 ? v[n / 2] : (static_cast<double>(v[n / 2 - 1]) + v[n / 2]) / 2);
  }
  return median;
}

// The values in force for sample s: those of the last later record numbered below s.
std::vector<double> InForce(const std::vector<CompanionRecord>& records,
                            const std::vector<double>& first, int s) {
  std::vector<double> values = first;
  for (const CompanionRecord& r : records)
    if (r.number != 1 && r.number < s) values = r.values;
  return values;
}

// The spillover rows: the pures' readings above the background (or the matrix file's percent
// values), each divided by its own colour's value.
std::vector<std::vector<double>> Spillover(const std::string& base, bool from_matrix_file) {
  FixedFile fix = ReadFix(base + ".fix");
  const size_t n = fix.names.size();
  std::vector<double> background = FirstGroupMedian(ReadCompanion(base + ".blk", n));
  std::vector<std::vector<double>> rows;
  std::vector<std::string> spl = CrLfLines(base + ".spl");
  for (size_t k = 0; k < n; ++k) {
    std::vector<double> row;
    std::vector<std::string> cells = SplitTabs(spl[k]);
    for (size_t c = 0; c < n; ++c)
      row.push_back(from_matrix_file ? Number(cells[c])
                                     : std::max(0.0, fix.readings[k][c] - background[c]));
    const double own = row[k];
    for (double& v : row) v /= own;
    rows.push_back(row);
  }
  return rows;
}

// Intensity levels for every P and S record, worked out with the program's method from the
// files alone: background from the blanks, control ratio, one solve per record with the
// transposed spillover matrix, negative values raised to 0.
std::vector<std::vector<double>> Recover(const std::string& base, bool from_matrix_file,
                                         bool control_correction) {
  FixedFile fix = ReadFix(base + ".fix");
  const size_t n = fix.names.size();
  std::vector<CompanionRecord> blanks = ReadCompanion(base + ".blk", n);
  std::vector<CompanionRecord> controls = ReadCompanion(base + ".ctl", n);
  std::vector<double> background = FirstGroupMedian(blanks);
  std::vector<double> reference = FirstGroupMedian(controls);
  std::vector<std::vector<double>> spill = Spillover(base, from_matrix_file);
  std::vector<double> system(n * n);
  for (size_t i = 0; i < n; ++i)
    for (size_t j = 0; j < n; ++j) system[i * n + j] = spill[j][i];
  std::vector<std::vector<double>> results;
  for (size_t r = 0; r < fix.labels.size(); ++r) {
    const bool sample = fix.labels[r][0] == 'S';
    int number = static_cast<int>(Number(fix.labels[r].substr(1)));
    std::vector<double> bg = sample ? InForce(blanks, background, number) : background;
    std::vector<double> current = InForce(controls, reference, number);
    std::vector<double> rhs(n);
    for (size_t c = 0; c < n; ++c) {
      rhs[c] = fix.readings[r][c] - bg[c];
      if (sample && control_correction) rhs[c] = reference[c] / current[c] * rhs[c];
    }
    std::vector<double> x = SolveDense(system, rhs);
    for (double& v : x) v = std::max(0.0, v);
    results.push_back(x);
  }
  return results;
}

FixedOptions Options(const std::string& base, int colors, int samples) {
  FixedOptions o;
  o.basename = base;
  o.colors = colors;
  o.samples = samples;
  return o;
}

struct RecoveryCase {
  const char* name;
  int colors, samples;
  bool tissue, auto_delivery, no_pures;
  double drift, noise;
};

class FixedRecovery : public SimFolder, public ::testing::WithParamInterface<RecoveryCase> {};

TEST_P(FixedRecovery, HeaderAndReadingsGiveBackTheTruth) {
  const RecoveryCase& rc = GetParam();
  FixedOptions o = Options(Base("r"), rc.colors, rc.samples);
  o.tissue = rc.tissue;
  o.auto_delivery = rc.auto_delivery;
  o.no_pures = rc.no_pures;
  o.drift = rc.drift;
  o.noise = rc.noise;
  o.seed = 11;
  ASSERT_EQ(WriteFixedDataset(o), "");
  std::vector<std::string> heading;
  auto truth = TruthRows(Base("r") + ".truth.tsv", &heading);
  FixedFile fix = ReadFix(Base("r") + ".fix");
  std::map<std::string, size_t> found;  // keyword -> header line index
  for (size_t i = 0; i < fix.header.size(); ++i) {
    EXPECT_EQ(fix.header[i].find(','), std::string::npos) << "a comma splits the item";
    for (const char* key : {"Pures", "Wavelengths", "Amount of solvent", "Delivery", "ex sl",
                            "em sl", "ex wl", "em wl", "Color"}) {
      if (fix.header[i].find(key) == std::string::npos) continue;
      EXPECT_EQ(found.count(key), 0u) << key << " twice";
      found[key] = i;
    }
  }
  ASSERT_EQ(found.size(), 9u);
  const std::string count = std::to_string(rc.colors);
  EXPECT_EQ(fix.header[found["Pures"]], "Pures\t" + (rc.no_pures ? "0" : count));
  EXPECT_EQ(fix.header[found["Wavelengths"]], "Wavelengths\t" + count);
  EXPECT_EQ(fix.header[found["Amount of solvent"]], "Amount of solvent\t2.0");
  EXPECT_EQ(fix.header[found["Delivery"]],
            rc.auto_delivery ? "Delivery\tAuto" : "Delivery\tManual");
  EXPECT_EQ(found["Color"], fix.header.size() - 1);
  for (const char* key : {"ex sl", "em sl", "ex wl", "em wl"}) {
    // The loader's Auto cut applies only after the Delivery line; a field per colour plus the
    // keyword, and the tube field with Auto delivery.
    EXPECT_LT(found["Delivery"], found[key]);
    EXPECT_EQ(SplitTabs(fix.header[found[key]]).size(), rc.colors + 1u + rc.auto_delivery) << key;
  }
  ASSERT_EQ(fix.names.size(), static_cast<size_t>(rc.colors));
  for (int c = 0; c < rc.colors; ++c) {
    const int slot = c - rc.tissue;
    if (slot < static_cast<int>(kColours.size())) {
      EXPECT_EQ(fix.names[c], slot < 0 ? "Tissue" : kColours[slot].first) << c + 1;
    }
  }
  std::vector<std::string> labels;
  for (int k = 1; k <= (rc.no_pures ? 0 : rc.colors); ++k)
    labels.push_back("P" + std::to_string(k));
  for (int k = 1; k <= rc.samples; ++k) labels.push_back("S" + std::to_string(k));
  EXPECT_EQ(fix.labels, labels);
  ASSERT_EQ(heading.size(), static_cast<size_t>(rc.colors) + 1);
  EXPECT_EQ(std::vector<std::string>(heading.begin() + 1, heading.end()), fix.names);

  auto recovered = Recover(Base("r"), rc.no_pures, true);
  ASSERT_EQ(recovered.size(), truth.size());
  int differing = 0;
  for (size_t r = 0; r < truth.size(); ++r) {
    ASSERT_EQ(truth[r][0], fix.labels[r]);
    for (int c = 0; c < rc.colors; ++c) {
      const bool same = Decimals(recovered[r][c], 3) == truth[r][c + 1];
      differing += !same;
      if (rc.noise > 0) {
        // Noise on readings of a few hundred, through a matrix whose inverse has entries of
        // order 1, stays within a few units.
        EXPECT_NEAR(recovered[r][c], Number(truth[r][c + 1]), 12 * rc.noise);
      } else if (!same && differing < 5) {
        ADD_FAILURE() << truth[r][0] << " colour " << c + 1 << ": recovered " << recovered[r][c]
                      << ", truth " << truth[r][c + 1];
      }
    }
  }
  if (rc.noise > 0) {
    EXPECT_GT(differing, 100);
    return;
  }
  EXPECT_EQ(differing, 0);
  for (const auto& row : fix.readings)  // clear of the overload mark
    for (double v : row) EXPECT_LE(v, 950.0);
  if (!rc.no_pures) {  // the matrix file holds the pures' matrix in percent, to 4 decimals
    auto from_pures = Spillover(Base("r"), false), from_file = Spillover(Base("r"), true);
    for (int k = 0; k < rc.colors; ++k) {
      EXPECT_EQ(SplitTabs(CrLfLines(Base("r") + ".spl")[k])[k], "100.0000");
      for (int c = 0; c < rc.colors; ++c)
        EXPECT_NEAR(from_file[k][c], from_pures[k][c], 5.01e-7) << k + 1 << "," << c + 1;
    }
  }
  if (rc.drift > 0 && rc.samples > 20) {
    // Companions: a first group of three records numbered 1, then later records in order, each
    // reached by a sample; controls capture the loss of gain at every colour.
    for (const char* ext : {".blk", ".ctl"}) {
      std::vector<CompanionRecord> records = ReadCompanion(Base("r") + ext, rc.colors);
      ASSERT_GE(records.size(), 4u) << ext;
      for (size_t i = 0; i < records.size(); ++i) {
        const int previous = i == 0 ? 0 : records[i - 1].number;
        EXPECT_TRUE(i < 3 ? records[i].number == 1 : records[i].number > previous) << ext << i;
        EXPECT_LT(records[i].number, rc.samples) << ext;
        for (double v : records[i].values) EXPECT_GT(v, 0.0) << ext;
      }
      for (int c = 0; ext[1] == 'c' && c < rc.colors; ++c)
        EXPECT_LT(records.back().values[c], records[0].values[c]) << c + 1;
    }
    // Without the control correction the drift shows in the last sample.
    auto uncorrected = Recover(Base("r"), rc.no_pures, false);
    double largest = 0;
    for (int c = 0; c < rc.colors; ++c)
      largest = std::max(largest, std::fabs(uncorrected.back()[c] - recovered.back()[c]));
    EXPECT_GT(largest, 0.01);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Datasets, FixedRecovery,
    ::testing::Values(RecoveryCase{"ThirteenColours", 13, 80, false, false, false, 0.1, 0},
                      RecoveryCase{"TissueAutoDelivery", 5, 60, true, true, false, 0.05, 0},
                      RecoveryCase{"MatrixFileAutoDelivery", 6, 45, true, true, true, 0.3, 0},
                      RecoveryCase{"ThirtyColours", 30, 40, true, false, false, 0.05, 0},
                      RecoveryCase{"NoDrift", 4, 25, false, false, false, 0.0, 0},
                      RecoveryCase{"OneColour", 1, 12, false, false, false, 0.05, 0},
                      RecoveryCase{"Noise", 6, 50, false, false, false, 0.05, 0.5}),
    [](const ::testing::TestParamInfo<RecoveryCase>& info) { return info.param.name; });

TEST_F(SimFolder, FixedLargestSampleCountIsWritten) {
  ASSERT_EQ(WriteFixedDataset(Options(Base("l"), 2, kMaxFixedSamples)), "");
  EXPECT_EQ(SplitTabs(CrLfLines(Base("l") + ".fix").back())[0], "S32767");
  EXPECT_EQ(TruthRows(Base("l") + ".truth.tsv", nullptr).size(), 2u + 32767u);
}

TEST(FixedOptionsCheck, RefusesWhatTheProgramCannotRead) {
  struct Case {
    int colors, samples;
    double noise, drift;
    bool tissue;
    const char* basename;
    std::string message_part;  // empty: accepted
  } cases[] = {
      {30, 32767, 0, 0.05, false, "x", ""},
      {1, 0, 0, 0, false, "x", ""},
      {0, 10, 0, 0.05, false, "x", "--colors must be 1 to 30"},
      {31, 10, 0, 0.05, false, "x", "--colors must be 1 to 30"},
      {13, 32768, 0, 0.05, false, "x", "--samples must be 0 to 32767"},
      {13, -1, 0, 0.05, false, "x", "--samples must be 0 to 32767"},
      {13, 10, -0.1, 0.05, false, "x", "--noise"},
      {13, 10, NAN, 0.05, false, "x", "--noise"},
      {13, 10, 0, 0.6, false, "x", "--drift"},
      {1, 10, 0, 0.05, true, "x", "--tissue needs at least 2"},
      {13, 10, 0, 0.05, false, "", "-o BASENAME"},
  };
  for (const Case& c : cases) {
    FixedOptions o = Options(c.basename, c.colors, c.samples);
    o.noise = c.noise;
    o.drift = c.drift;
    o.tissue = c.tissue;
    const std::string message = CheckFixedOptions(o);
    EXPECT_TRUE(c.message_part.empty() ? message.empty()
                                       : message.find(c.message_part) != std::string::npos)
        << "got '" << message << "' for " << c.colors << " colours, " << c.samples << " samples";
  }
}

}  // namespace
}  // namespace kolvane::sim::test
