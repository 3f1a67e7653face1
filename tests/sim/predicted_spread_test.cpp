// The result spread the run record predicts from the blanks holds for the results themselves:
// 2 000 records of one mixture with readings of known noise, one colour (or pure) at 1 % of its
// two bright neighbours, then 2 000 records of no dye. The simulator gives the file's header and
// matrix (or pures); the readings are worked here, plus Gaussian noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <vector>

#include "sim/spread_support.h"

namespace kolvane {
namespace {

using namespace spread;

// Readings with Gaussian noise of a known spread at each position (a column, a scan point).
struct Noisy {
  std::vector<double> noise;
  bool scan;  // a scan's records: ten readings to a line, 2 decimals; else one line, 3 decimals
  std::mt19937 random;
  std::normal_distribution<double> gauss;

  // One record: the clean readings plus, at each position, `z` times its noise (a Gaussian draw
  // of that spread when z is NaN).
  std::string Record(const std::string& label, const std::vector<double>& clean, double z) {
    std::string text = label;
    char cell[32];
    for (std::size_t i = 0; i < clean.size(); ++i) {
      const double e = noise[i] * (std::isnan(z) ? gauss(random) : z);
      const char* gap = !scan ? "\t" : i % 10 || i == 0 ? " " : "\r\n";
      std::snprintf(cell, sizeof cell, scan ? "%s%.2f" : "%s%.3f", gap, clean[i] + e);
      text += cell;
    }
    return text + "\r\n";
  }

  // 99 starting blanks at the noise's quantiles (i - 1/2) / 99, so that 1.4826 x their median
  // absolute deviation is 1.4826 x 0.6822 = 1.0114 times the noise (by the normal table) and no
  // draw's luck enters; their median is the blank.
  std::string Blanks(const std::vector<double>& blank) {
    std::string text;
    for (int i = 1; i <= 99; ++i) text += Record("B1", blank, Quantile((i - 0.5) / 99));
    return text;
  }

  // Records S1 to S`records` hold the mixture, the next `records` no dye at all.
  std::string Samples(const std::vector<double>& mixture, const std::vector<double>& blank,
                      int records) {
    std::string text;
    for (int r = 1; r <= 2 * records; ++r)
      text += Record("S" + std::to_string(r), r <= records ? mixture : blank, NAN);
    return text;
  }
};

TEST(PredictedSpread, HoldsForAFaintColourBetweenBrightOnes) {
  const Folder dir("kolvane-spread-");
  const std::string base = (dir.path / "d").string();
  ASSERT_EQ(Launch(dir.path, "simulate fixed --colors 7 --no-pures --samples 0 -o " + base).status,
            0);
  constexpr int n = 7, records = 2000;
  // The noise differs by column (0.3 to 0.6), so that a spread taken from another column than
  // the one it belongs to shows.
  Noisy readings{{0.3, 0.6, 0.35, 0.55, 0.4, 0.5, 0.45}, false, std::mt19937(1407), {}};
  // Row k of the matrix file: pure k's reading in every column, in percent of its own.
  std::vector<std::vector<double>> spill;
  std::istringstream spl(Read(base + ".spl"));
  for (std::string line; std::getline(spl, line);) spill.push_back(Numbers(line));
  ASSERT_EQ(spill.size(), std::size_t{n});
  std::istringstream blk(Read(base + ".blk"));
  std::string head, line;
  for (int i = 0; i < 3; ++i) std::getline(blk, line), head += line + "\n";
  std::getline(blk, line);
  const std::vector<double> blank = NumbersAfterLabel(line);
  std::ofstream(base + ".blk", std::ios::binary) << head + readings.Blanks(blank);

  const double amount[n] = {100, 100, 500, 5, 500, 100, 100};
  std::vector<double> mixture = blank;
  for (int c = 0; c < n; ++c)
    for (int k = 0; k < n; ++k) mixture[c] += amount[k] * spill[k][c] / spill[k][k];
  std::ofstream(base + ".fix", std::ios::binary | std::ios::app)
      << readings.Samples(mixture, blank, records);

  ASSERT_EQ(Launch(dir.path, "batch fixed " + base + ".fix --blanks " + base + ".blk --matrix " +
                                 base + ".spl -o " + base + ".scf")
                .status,
            0);
  const auto record = nlohmann::json::parse(Read(base + ".scf.json"));
  CheckBlankSpreads(record["matrix"], readings.noise);
  CheckSpreads(Read(base + ".scf"), std::vector<double>(amount, amount + n),
               record["matrix"]["result_spread"], records);
}

struct ScanRecord {
  std::string label;
  std::vector<double> values;
};

// The records after the ten header lines: a word beginning with a letter starts a record.
std::vector<ScanRecord> Records(const std::string& text, std::string& header) {
  std::istringstream in(text);
  std::string line;
  for (int i = 0; i < 10 && std::getline(in, line); ++i) header += line + "\n";
  std::vector<ScanRecord> records;
  for (std::string word; in >> word;)
    if (std::isalpha(static_cast<unsigned char>(word[0])))
      records.push_back({word, {}});
    else
      records.back().values.push_back(std::stod(word));
  return records;
}

// The same for a scan: the middle of five pures at 1 % of its neighbours. The simulator gives
// the header, the blank and the pures; the scans are worked from the pures' shapes over the
// whole spectrum.
TEST(PredictedSpread, HoldsForAFaintPureOfAScan) {
  const Folder dir("kolvane-scan-");
  const std::string base = (dir.path / "d").string();
  // Blue, Blue-Green, Green, Yellow-Green and Yellow, from 360 to 540 nm.
  ASSERT_EQ(Launch(dir.path,
                   "simulate scan --pures 5 --points 180 --lower 360 --records 0 "
                   "--blanks -o " +
                       base)
                .status,
            0);
  constexpr int n = 5, records = 2000;
  std::string header;
  const std::vector<ScanRecord> file = Records(Read(base + ".syn"), header);
  ASSERT_EQ(file.size(), std::size_t{n + 1});  // B1, P1 to P5
  ASSERT_EQ(file[0].label, "B1");
  const std::vector<double>& blank = file[0].values;
  const std::size_t points = blank.size();
  ASSERT_EQ(points, 180u);

  // Each pure less the blank, in parts of its own highest value: a pure's result is its height
  // at its peak, so a mixture of amounts a(k) times these shapes gives back a(k).
  const double amount[n] = {100, 300, 3, 300, 100};
  // In microspheres/ml a result is x(k) times the pure's microspheres/ml over its height at its
  // peak, times the 2.0 ml of solvent of the header. Whole numbers: the values keep every
  // spread above 1, where the rounding's variance is 1/12.
  const std::vector<double> per_ml = {2000, 1000, 1500, 2000, 2500};
  std::vector<double> microspheres(n);
  std::vector<double> mixture = blank;
  for (int k = 0; k < n; ++k) {
    const std::vector<double>& pure = file[k + 1].values;
    double top = 0;
    for (std::size_t i = 0; i < points; ++i) top = std::max(top, pure[i] - blank[i]);
    for (std::size_t i = 0; i < points; ++i) mixture[i] += amount[k] * (pure[i] - blank[i]) / top;
    microspheres[k] = amount[k] * per_ml[k] / top * 2.0;
  }

  // The noise grows along the scan, from 0.2 at 360 nm to 0.8 at 540 nm, so that a spread
  // taken at another point than the fit point it belongs to shows.
  Noisy readings{std::vector<double>(points), true, std::mt19937(1408), {}};
  for (std::size_t i = 0; i < points; ++i) readings.noise[i] = 0.2 + 0.6 * i / points;
  std::ofstream(base + ".slk", std::ios::binary)
      << "Blanks\tworked by the test\r\nData file\td.syn\r\nScan lower\t360\r\n" +
             readings.Blanks(blank);
  std::string data = header;
  for (const ScanRecord& r : file) data += readings.Record(r.label, r.values, 0);
  std::ofstream(base + ".syn", std::ios::binary)
      << data + readings.Samples(mixture, blank, records);

  const std::string run = "batch scan " + base + ".syn --blanks " + base + ".slk -o " + base;
  ASSERT_EQ(Launch(dir.path, run + ".scf").status, 0);
  ASSERT_EQ(Launch(dir.path, run + "-m.scf --format microspheres --micros-per-ml 2000,1000,1500,"
                                   "2000,2500")
                .status,
            0);
  const auto record = nlohmann::json::parse(Read(base + ".scf.json"));
  // The rows are the fit points, named by their wavelength: 5 for each pure.
  std::vector<double> noise_at;
  for (const std::string name : record["matrix"]["rows"])
    noise_at.push_back(readings.noise[static_cast<std::size_t>(std::stod(name) - 360)]);
  ASSERT_EQ(noise_at.size(), std::size_t{5 * n});
  CheckBlankSpreads(record["matrix"], noise_at);
  CheckSpreads(Read(base + ".scf"), std::vector<double>(amount, amount + n),
               record["matrix"]["result_spread"], records);
  const auto in_microspheres = nlohmann::json::parse(Read(base + "-m.scf.json"));
  EXPECT_EQ(in_microspheres["choices"]["microspheres_per_ml"], per_ml);
  CheckSpreads(Read(base + "-m.scf"), microspheres, in_microspheres["matrix"]["result_spread"],
               records, true);
}

}  // namespace
}  // namespace kolvane
