// The result spread a scan run predicts from the blanks holds for its results: 2 000 scans of one
// mixture with values of known noise, the middle of five pures at 1 % of its two neighbours, then
// 2 000 scans of the blank alone. The simulator gives the header, the blank and the pures; the
// scans are worked here from the pures' shapes over the whole spectrum, plus Gaussian noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <random>

#include "sim/spread_support.h"

namespace kolvane {
namespace {

using namespace spread;

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

// One record: the clean values plus, at each point i, `z` times noise[i] (a Gaussian draw of
// that spread when z is NaN); no noise at all when `noise` is empty.
std::string Line(const std::string& label, const std::vector<double>& clean,
                 const std::vector<double>& noise, double z, std::mt19937& random) {
  std::normal_distribution<double> gauss;
  std::string text = label;
  char cell[32];
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const double e = noise.empty() ? 0.0 : noise[i] * (std::isnan(z) ? gauss(random) : z);
    std::snprintf(cell, sizeof cell, "%s%.2f", i % 10 ? " " : (i ? "\r\n" : " "), clean[i] + e);
    text += cell;
  }
  return text + "\r\n";
}

TEST(PredictedSpread, HoldsForAFaintPureOfAScan) {
  const Folder dir("kolvane-scan-");
  const std::string base = (dir.path / "d").string();
  // Blue, Blue-Green, Green, Yellow-Green and Yellow, from 360 to 540 nm.
  ASSERT_EQ(
      Launch("simulate scan --pures 5 --points 180 --lower 360 --records 0 --blanks -o " + base),
      0);
  constexpr int n = 5, records = 2000;
  std::string header, unused;
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
  std::vector<double> noise(points);
  for (std::size_t i = 0; i < points; ++i) noise[i] = 0.2 + 0.6 * i / points;
  // 99 starting blanks at the noise's quantiles (i - 1/2) / 99: their median is the blank, and
  // 1.4826 x their median absolute deviation is 1.0114 times the noise at each point.
  std::mt19937 random(1408);
  std::string blanks = "Blanks\tworked by the test\r\nData file\td.syn\r\nScan lower\t360\r\n";
  for (int i = 1; i <= 99; ++i)
    blanks += Line("B1", blank, noise, Quantile((i - 0.5) / 99), random);
  std::ofstream(base + ".slk", std::ios::binary) << blanks;
  std::string data = header;
  for (const ScanRecord& r : file) data += Line(r.label, r.values, {}, 0, random);
  for (int r = 1; r <= 2 * records; ++r)
    data += Line("S" + std::to_string(r), r <= records ? mixture : blank, noise, NAN, random);
  std::ofstream(base + ".syn", std::ios::binary) << data;

  const std::string run = "batch scan " + base + ".syn --blanks " + base + ".slk -o " + base;
  ASSERT_EQ(Launch(run + ".scf"), 0);
  ASSERT_EQ(Launch(run + "-m.scf --format microspheres --micros-per-ml 2000,1000,1500,2000,2500"),
            0);
  const auto record = nlohmann::json::parse(Read(base + ".scf.json"));
  // The rows are the fit points, named by their wavelength: 5 for each pure.
  std::vector<double> noise_at;
  for (const std::string name : record["matrix"]["rows"])
    noise_at.push_back(noise[static_cast<std::size_t>(std::stod(name) - 360)]);
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
