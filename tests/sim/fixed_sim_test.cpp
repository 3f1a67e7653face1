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
  bool auto_delivery = false;
  std::vector<std::string> labels;
  std::vector<std::vector<double>> readings;
};

// The colour line as the loader takes it apart: everything up to "Tube" dropped, a leading TAB
// dropped, then one name per TAB-separated field.
std::vector<std::string> ColourNames(std::string line) {
  size_t tube = line.find("Tube");
  if (tube != std::string::npos) line = line.substr(tube + 4);
  if (!line.empty() && line[0] == '\t') line = line.substr(1);
  return SplitTabs(line);
}

FixedFile ReadFix(const std::string& path) {
  FixedFile f;
  std::vector<std::string> lines = CrLfLines(path);
  size_t i = 0;
  for (; i < lines.size(); ++i) {
    f.header.push_back(lines[i]);
    if (lines[i].find("Delivery") != std::string::npos) {
      f.auto_delivery = lines[i].find("Auto") != std::string::npos;
    }
    if (lines[i].find("Color") != std::string::npos) break;
  }
  EXPECT_LT(i, lines.size()) << "no colour line";
  f.names = ColourNames(f.header.back());
  const size_t first = f.auto_delivery ? 2 : 1;
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
    for (const CompanionRecord& r : records) {
      if (r.number == 1) v.push_back(static_cast<float>(r.values[c]));
    }
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
  for (const CompanionRecord& r : records) {
    if (r.number != 1 && r.number < s) values = r.values;
  }
  return values;
}

std::vector<double> RowNormalised(std::vector<std::vector<double>> m) {
  const size_t n = m.size();
  std::vector<double> flat(n * n);
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j < n; ++j) flat[i * n + j] = m[i][j] / m[i][i];
  }
  return flat;
}

// Intensity levels for every P and S record, worked out with the program's method from the
// files alone: background from the blanks, control ratio, spillover matrix from the pures (or
// the matrix file), one solve per record, negative values raised to 0.
std::vector<std::vector<double>> Recover(const std::string& base, bool from_matrix_file,
                                         bool control_correction) {
  FixedFile fix = ReadFix(base + ".fix");
  const size_t n = fix.names.size();
  std::vector<CompanionRecord> blanks = ReadCompanion(base + ".blk", n);
  std::vector<CompanionRecord> controls = ReadCompanion(base + ".ctl", n);
  std::vector<double> background = FirstGroupMedian(blanks);
  std::vector<double> reference = FirstGroupMedian(controls);

  std::vector<std::vector<double>> raw;
  if (from_matrix_file) {
    for (const std::string& line : CrLfLines(base + ".spl")) {
      std::vector<double> row;
      for (const std::string& cell : SplitTabs(line)) row.push_back(Number(cell) / 100.0);
      raw.push_back(row);
    }
  } else {
    for (size_t k = 0; k < n; ++k) {
      std::vector<double> row;
      for (size_t c = 0; c < n; ++c) {
        row.push_back(std::max(0.0, fix.readings[k][c] - background[c]));
      }
      raw.push_back(row);
    }
  }
  std::vector<double> spill = RowNormalised(raw);
  std::vector<double> system(n * n);
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j < n; ++j) system[i * n + j] = spill[j * n + i];
  }

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

// ---------------------------------------------------------------------------------------------

TEST_F(SimFolder, FixedSameSeedGivesTheSameFilesAndAnotherSeedOthers) {
  // The companions name the data file, so both runs use the same name in folders of their own.
  for (const char* folder : {"a", "b", "c"}) std::filesystem::create_directory(Base(folder));
  FixedOptions o = Options(Base("a") + "/d", 6, 30);
  o.seed = 7;
  o.noise = 1.5;
  o.tissue = true;
  ASSERT_EQ(WriteFixedDataset(o), "");
  o.basename = Base("b") + "/d";
  ASSERT_EQ(WriteFixedDataset(o), "");
  o.basename = Base("c") + "/d";
  o.seed = 8;
  ASSERT_EQ(WriteFixedDataset(o), "");
  for (const char* ext : {".fix", ".blk", ".ctl", ".spl", ".truth.tsv"}) {
    EXPECT_EQ(ReadAll(Base("a") + "/d" + ext), ReadAll(Base("b") + "/d" + ext)) << ext;
  }
  EXPECT_NE(ReadAll(Base("a") + "/d.fix"), ReadAll(Base("c") + "/d.fix"));
}

struct HeaderCase {
  bool tissue;
  bool auto_delivery;
  bool no_pures;
  std::vector<std::string> names;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
  *os << (c.tissue ? "tissue " : "") << (c.auto_delivery ? "auto " : "manual ")
      << (c.no_pures ? "no pures" : "pures");
}

class FixedHeader : public SimFolder, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(FixedHeader, HoldsTheLinesTheLoaderLooksFor) {
  const HeaderCase& hc = GetParam();
  FixedOptions o = Options(Base("h"), 4, 5);
  o.tissue = hc.tissue;
  o.auto_delivery = hc.auto_delivery;
  o.no_pures = hc.no_pures;
  ASSERT_EQ(WriteFixedDataset(o), "");
  FixedFile f = ReadFix(Base("h") + ".fix");

  std::map<std::string, int> found;  // keyword -> header line index
  for (size_t i = 0; i < f.header.size(); ++i) {
    EXPECT_EQ(f.header[i].find(','), std::string::npos) << "a comma splits the item";
    for (const char* key : {"Pures", "Wavelengths", "Amount of solvent", "Delivery", "ex sl",
                            "em sl", "ex wl", "em wl", "Color"}) {
      if (f.header[i].find(key) != std::string::npos) {
        EXPECT_EQ(found.count(key), 0u) << key << " twice";
        found[key] = static_cast<int>(i);
      }
    }
  }
  ASSERT_EQ(found.size(), 9u);
  EXPECT_EQ(f.header[found["Pures"]], hc.no_pures ? "Pures\t0" : "Pures\t4");
  EXPECT_EQ(f.header[found["Wavelengths"]], "Wavelengths\t4");
  EXPECT_EQ(f.header[found["Amount of solvent"]], "Amount of solvent\t2.0");
  EXPECT_EQ(f.header[found["Delivery"]], hc.auto_delivery ? "Delivery\tAuto" : "Delivery\tManual");
  EXPECT_EQ(found["Color"], static_cast<int>(f.header.size()) - 1);
  for (const char* key : {"ex sl", "em sl", "ex wl", "em wl"}) {
    // The Auto cut of the loader only applies to lines after the Delivery line; every line
    // carries a field per colour plus the keyword, and the tube field with Auto delivery.
    EXPECT_LT(found["Delivery"], found[key]);
    EXPECT_EQ(SplitTabs(f.header[found[key]]).size(), 5u + (hc.auto_delivery ? 1 : 0)) << key;
  }
  EXPECT_EQ(f.names, hc.names);

  std::vector<std::string> expected_labels;
  if (!hc.no_pures) expected_labels = {"P1", "P2", "P3", "P4"};
  for (int s = 1; s <= 5; ++s) expected_labels.push_back("S" + std::to_string(s));
  EXPECT_EQ(f.labels, expected_labels);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FixedHeader,
    ::testing::Values(
        HeaderCase{false, false, false, {"Blue", "Blue-Green", "Green", "Yellow-Green"}},
        HeaderCase{true, false, false, {"Tissue", "Blue", "Blue-Green", "Green"}},
        HeaderCase{true, true, false, {"Tissue", "Blue", "Blue-Green", "Green"}},
        HeaderCase{false, true, true, {"Blue", "Blue-Green", "Green", "Yellow-Green"}}));

TEST_F(SimFolder, FixedCompanionsHaveAFirstGroupAndLaterRecordsInOrder) {
  FixedOptions o = Options(Base("c"), 3, 95);
  o.drift = 0.2;
  ASSERT_EQ(WriteFixedDataset(o), "");
  for (const char* ext : {".blk", ".ctl"}) {
    std::vector<CompanionRecord> records = ReadCompanion(Base("c") + ext, 3);
    ASSERT_GE(records.size(), 4u) << ext;
    int previous = 1;
    size_t first_group = 0;
    for (const CompanionRecord& r : records) {
      if (r.number == 1) {
        EXPECT_EQ(previous, 1) << ext << ": a record numbered 1 after a later record";
        ++first_group;
      } else {
        EXPECT_GT(r.number, previous) << ext;
        EXPECT_LT(r.number, 95) << ext << ": a record no sample reaches";
        previous = r.number;
      }
      for (double v : r.values) EXPECT_GT(v, 0.0) << ext;
    }
    EXPECT_EQ(first_group, 3u) << ext;
    // Drift and creep: the last record differs from the first group.
    EXPECT_NE(records.back().values, records.front().values) << ext;
  }
  // Controls capture a loss of gain: the last control lies below the first at every colour.
  std::vector<CompanionRecord> controls = ReadCompanion(Base("c") + ".ctl", 3);
  for (size_t c = 0; c < 3; ++c) EXPECT_LT(controls.back().values[c], controls[0].values[c]);
}

struct RecoveryCase {
  const char* name;
  int colors;
  int samples;
  bool tissue;
  bool auto_delivery;
  bool no_pures;
  double drift;
};

void PrintTo(const RecoveryCase& c, std::ostream* os) {
  *os << c.name;
}

class FixedRecovery : public SimFolder, public ::testing::WithParamInterface<RecoveryCase> {};

TEST_P(FixedRecovery, NoiselessReadingsGiveBackTheTruthToTheLastDecimal) {
  const RecoveryCase& rc = GetParam();
  FixedOptions o = Options(Base("r"), rc.colors, rc.samples);
  o.tissue = rc.tissue;
  o.auto_delivery = rc.auto_delivery;
  o.no_pures = rc.no_pures;
  o.drift = rc.drift;
  o.seed = 11;
  ASSERT_EQ(WriteFixedDataset(o), "");
  std::vector<std::string> heading;
  auto truth = TruthRows(Base("r") + ".truth.tsv", &heading);
  FixedFile fix = ReadFix(Base("r") + ".fix");
  ASSERT_EQ(heading.size(), static_cast<size_t>(rc.colors) + 1);
  EXPECT_EQ(std::vector<std::string>(heading.begin() + 1, heading.end()), fix.names);

  auto recovered = Recover(Base("r"), rc.no_pures, true);
  ASSERT_EQ(recovered.size(), truth.size());
  int differing = 0;
  for (size_t r = 0; r < truth.size(); ++r) {
    ASSERT_EQ(truth[r][0], fix.labels[r]);
    for (int c = 0; c < rc.colors; ++c) {
      if (Decimals(recovered[r][c], 3) != truth[r][c + 1] && ++differing < 5) {
        ADD_FAILURE() << truth[r][0] << " colour " << c + 1 << ": recovered " << recovered[r][c]
                      << ", truth " << truth[r][c + 1];
      }
    }
  }
  EXPECT_EQ(differing, 0);

  // Noiseless readings stay clear of the overload mark.
  for (const auto& row : fix.readings) {
    for (double v : row) EXPECT_LE(v, 950.0);
  }

  // Without the control correction the drift shows: the last sample comes out differently.
  if (rc.drift > 0 && rc.samples > 20) {
    auto uncorrected = Recover(Base("r"), rc.no_pures, false);
    double largest = 0;
    for (int c = 0; c < rc.colors; ++c) {
      largest = std::max(largest, std::fabs(uncorrected.back()[c] - recovered.back()[c]));
    }
    EXPECT_GT(largest, 0.01);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Datasets, FixedRecovery,
    ::testing::Values(RecoveryCase{"ThirteenColours", 13, 80, false, false, false, 0.1},
                      RecoveryCase{"TissueAutoDelivery", 5, 60, true, true, false, 0.05},
                      RecoveryCase{"MatrixFile", 6, 45, true, false, true, 0.3},
                      RecoveryCase{"ThirtyColours", 30, 40, true, false, false, 0.05},
                      RecoveryCase{"NoDrift", 4, 25, false, false, false, 0.0},
                      RecoveryCase{"OneColour", 1, 12, false, false, false, 0.05}),
    [](const ::testing::TestParamInfo<RecoveryCase>& info) { return info.param.name; });

TEST_F(SimFolder, FixedPuresReproduceThemselvesAndTheMatrixFileHoldsTheirMatrix) {
  ASSERT_EQ(WriteFixedDataset(Options(Base("p"), 5, 3)), "");
  auto truth = TruthRows(Base("p") + ".truth.tsv", nullptr);
  FixedFile fix = ReadFix(Base("p") + ".fix");
  std::vector<double> background = FirstGroupMedian(ReadCompanion(Base("p") + ".blk", 5));
  std::vector<std::string> spl = CrLfLines(Base("p") + ".spl");
  ASSERT_EQ(spl.size(), 5u);
  for (size_t k = 0; k < 5; ++k) {
    // Pure k shows its own corrected intensity at colour k and nothing elsewhere.
    for (size_t c = 0; c < 5; ++c) {
      std::string expected =
          c == k ? Decimals(fix.readings[k][k] - background[k], 3) : std::string("0.000");
      EXPECT_EQ(truth[k][c + 1], expected) << "P" << k + 1 << " colour " << c + 1;
    }
    std::vector<std::string> row = SplitTabs(spl[k]);
    ASSERT_EQ(row.size(), 5u);
    for (size_t c = 0; c < 5; ++c) {
      double percent = 100.0 * std::max(0.0, fix.readings[k][c] - background[c]) /
                       (fix.readings[k][k] - background[k]);
      EXPECT_NEAR(Number(row[c]), percent, 0.00005 + 1e-9) << "row " << k + 1;
    }
    EXPECT_EQ(row[k], "100.0000");
  }
}

TEST_F(SimFolder, FixedNoiseMovesTheReadingsButNotFarFromTheTruth) {
  FixedOptions o = Options(Base("n"), 6, 50);
  o.noise = 0.5;
  ASSERT_EQ(WriteFixedDataset(o), "");
  auto truth = TruthRows(Base("n") + ".truth.tsv", nullptr);
  auto recovered = Recover(Base("n"), false, true);
  int differing = 0;
  for (size_t r = 6; r < truth.size(); ++r) {
    for (int c = 0; c < 6; ++c) {
      double t = Number(truth[r][c + 1]);
      if (Decimals(recovered[r][c], 3) != truth[r][c + 1]) ++differing;
      // A noise of 0.5 on readings of a few hundred, through a matrix whose inverse has
      // entries of order 1, stays within a few units.
      EXPECT_NEAR(recovered[r][c], t, 6.0);
    }
  }
  EXPECT_GT(differing, 100);
}

TEST_F(SimFolder, FixedLargestSampleCountIsWritten) {
  ASSERT_EQ(WriteFixedDataset(Options(Base("l"), 2, kMaxFixedSamples)), "");
  std::vector<std::string> lines = CrLfLines(Base("l") + ".fix");
  EXPECT_EQ(SplitTabs(lines.back())[0], "S32767");
  auto truth = TruthRows(Base("l") + ".truth.tsv", nullptr);
  EXPECT_EQ(truth.size(), 2u + 32767u);
}

TEST(FixedOptionsCheck, RefusesWhatTheProgramCannotRead) {
  struct Case {
    int colors, samples;
    double noise, drift;
    bool tissue;
    const char* basename;
    const char* message_part;  // empty: accepted
  };
  const Case cases[] = {
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
    FixedOptions o;
    o.colors = c.colors;
    o.samples = c.samples;
    o.noise = c.noise;
    o.drift = c.drift;
    o.tissue = c.tissue;
    o.basename = c.basename;
    std::string message = CheckFixedOptions(o);
    if (std::string(c.message_part).empty()) {
      EXPECT_EQ(message, "") << c.colors << " colours, " << c.samples << " samples";
    } else {
      EXPECT_NE(message.find(c.message_part), std::string::npos)
          << "got '" << message << "' for " << c.colors << " colours, " << c.samples << " samples";
    }
  }
}

TEST_F(SimFolder, FixedReportsAFolderItCannotWriteTo) {
  std::string base = Base("missing") + "/d";
  EXPECT_EQ(WriteFixedDataset(Options(base, 3, 3)), "Can't create file: " + base + ".fix");
}

}  // namespace
}  // namespace kolvane::sim::test
