// The result spread a run record predicts from the blanks holds for the results themselves: 2 000
// records of one mixture with readings of known noise, a faint colour at 1 % of its two bright
// neighbours. The simulator gives the file's header, the blank and
// the matrix or pures; the readings are worked here from them, plus Gaussian noise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using Values = std::vector<double>;
constexpr int kRecords = 2000;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs "kolvane-WORDS" of the build folder quietly; its exit status.
int Launch(const std::string& words) {
  return std::system((KOLVANE_BINARY_DIR "/kolvane-" + words + " >/dev/null 2>&1").c_str());
}

// The numbers of a TAB-separated line after its first cell (at most `count` of them).
Values Numbers(const std::string& line, std::size_t count = 1000) {
  std::istringstream in(line);
  Values values;
  std::string cell;
  std::getline(in, cell, '\t');
  while (values.size() < count && std::getline(in, cell, '\t')) values.push_back(std::stod(cell));
  return values;
}

// The standard normal quantile, by bisection of the closed-form distribution function.
double Quantile(double p) {
  double lo = -10, hi = 10;
  for (int i = 0; i < 100; ++i) {
    const double mid = (lo + hi) / 2;
    (0.5 * std::erfc(-mid / std::sqrt(2.0)) < p ? lo : hi) = mid;
  }
  return lo;
}

// A record: the clean values plus, at each position i, `z` times noise[i] (a Gaussian draw when z
// is NaN; nothing when `noise` is empty). Fixed: one line of TAB-separated readings; scan: ten
// values a line.
std::string Line(const std::string& label, const Values& clean, const Values& noise, double z,
                 std::mt19937& random, bool scan) {
  std::normal_distribution<double> gauss;
  std::string text = label;
  char cell[32];
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const double e = noise.empty() ? 0.0 : noise[i] * (std::isnan(z) ? gauss(random) : z);
    const char* sep = !scan ? "\t" : i % 10 ? " " : i ? "\r\n" : " ";
    std::snprintf(cell, sizeof cell, scan ? "%s%.2f" : "%s%.3f", sep, clean[i] + e);
    text += cell;
  }
  return text + "\r\n";
}

// 99 starting blanks at the noise's quantiles (i - 1/2) / 99, so that no draw's luck enters:
// 1.4826 x their median absolute deviation is 1.4826 x 0.6822 = 1.0114 times the noise at each
// position (by the normal table), within the 5 % the readings' rounding moves it.
std::string Blanks(const Values& blank, const Values& noise, bool scan) {
  std::mt19937 unused;
  std::string text;
  for (int i = 1; i <= 99; ++i)
    text += Line("B1", blank, noise, Quantile((i - 0.5) / 99), unused, scan);
  return text;
}

void CheckBlankSpreads(const nlohmann::json& matrix, const Values& noise) {
  EXPECT_EQ(matrix["blank_records"], 99);
  const Values spread = matrix["blank_spread"];
  ASSERT_EQ(spread.size(), noise.size());
  for (std::size_t j = 0; j < noise.size(); ++j)
    EXPECT_NEAR(spread[j] / (1.0114 * noise[j]), 1.0, 0.05) << "reading position " << j + 1;
}

// The sample lines (S1, S2, ...) hold `amount`: every colour's mean must be its amount and its
// spread within 10 % of the predicted `sigma`. Whole-number results add the rounding's variance
// 1/12, taken out again.
void CheckSpreads(const std::string& scf, const Values& amount, const Values& sigma, bool whole) {
  const std::size_t n = amount.size();
  ASSERT_EQ(sigma.size(), n);
  Values sum(n), squares(n);
  int lines = 0;
  std::istringstream in(scf);
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 2 || line[0] != 'S' || !std::isdigit(static_cast<unsigned char>(line[1])))
      continue;
    const Values x = Numbers(line, n);
    ASSERT_GE(x.size(), n) << line;
    ++lines;
    for (std::size_t k = 0; k < n; ++k) sum[k] += x[k], squares[k] += x[k] * x[k];
  }
  ASSERT_EQ(lines, kRecords);
  for (std::size_t k = 0; k < n; ++k) {
    const double mean = sum[k] / kRecords;
    const double variance = (squares[k] - kRecords * mean * mean) / (kRecords - 1);
    const double sd = std::sqrt(variance - (whole ? 1.0 / 12 : 0.0));
    EXPECT_NEAR(mean, amount[k], 4 * sd / std::sqrt(kRecords)) << "colour " << k + 1;
    EXPECT_NEAR(sd / sigma[k], 1.0, 0.10) << "colour " << k + 1;
  }
}

struct PredictedSpread : ::testing::Test {
  const fs::path dir = fs::temp_directory_path() / ("kolvane-spread-" + std::to_string(getpid()));
  const std::string base = (dir / "d").string();
  std::mt19937 random{1407};
  void SetUp() override { fs::remove_all(dir), fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(PredictedSpread, HoldsForAFaintColourBetweenBrightOnes) {
  ASSERT_EQ(Launch("simulate fixed --colors 7 --no-pures --samples 0 -o " + base), 0);
  constexpr int n = 7;
  // The noise differs by column, so that a spread taken from another column shows.
  const Values noise = {0.3, 0.6, 0.35, 0.55, 0.4, 0.5, 0.45};
  // Row k of the matrix file: pure k's reading in every column, in percent of its own.
  std::vector<Values> spill;
  std::istringstream spl(Read(base + ".spl"));
  for (std::string line; std::getline(spl, line);) spill.push_back(Numbers("x\t" + line));
  ASSERT_EQ(spill.size(), std::size_t{n});
  std::istringstream blk(Read(base + ".blk"));
  std::string head, line;
  for (int i = 0; i < 3; ++i) std::getline(blk, line), head += line + "\n";
  std::getline(blk, line);
  const Values blank = Numbers(line);
  std::ofstream(base + ".blk", std::ios::binary) << head + Blanks(blank, noise, false);

  const Values amount = {100, 100, 500, 5, 500, 100, 100};
  Values mixture = blank;
  for (int c = 0; c < n; ++c)
    for (int k = 0; k < n; ++k) mixture[c] += amount[k] * spill[k][c] / spill[k][k];
  std::ofstream fix(base + ".fix", std::ios::binary | std::ios::app);
  for (int r = 1; r <= kRecords; ++r)
    fix << Line("S" + std::to_string(r), mixture, noise, NAN, random, false);
  fix.close();

  ASSERT_EQ(Launch("batch fixed " + base + ".fix --blanks " + base + ".blk --matrix " + base +
                   ".spl -o " + base + ".scf"),
            0);
  const auto record = nlohmann::json::parse(Read(base + ".scf.json"));
  CheckBlankSpreads(record["matrix"], noise);
  CheckSpreads(Read(base + ".scf"), amount, record["matrix"]["result_spread"], false);
}

// Five pures (Blue to Yellow, 360 to 540 nm), the middle one at 1 % of its neighbours; each result
// in intensity and in microspheres/ml.
TEST_F(PredictedSpread, HoldsForAFaintPureOfAScan) {
  ASSERT_EQ(
      Launch("simulate scan --pures 5 --points 180 --lower 360 --records 0 --blanks -o " + base),
      0);
  constexpr int n = 5;
  // The ten header lines, then records: a word beginning with a letter starts one (B1, P1-P5).
  std::istringstream syn(Read(base + ".syn"));
  std::string header, line;
  for (int i = 0; i < 10 && std::getline(syn, line); ++i) header += line + "\n";
  std::vector<std::pair<std::string, Values>> file;
  for (std::string word; syn >> word;)
    if (std::isalpha(static_cast<unsigned char>(word[0])))
      file.push_back({word, {}});
    else
      file.back().second.push_back(std::stod(word));
  ASSERT_EQ(file.size(), std::size_t{n + 1});
  ASSERT_EQ(file[0].first, "B1");
  const Values& blank = file[0].second;
  const std::size_t points = blank.size();
  ASSERT_EQ(points, 180u);

  // Each pure less the blank, in parts of its own highest value: a pure's result is its height at
  // its peak, so a mixture of amounts a(k) times these shapes gives back a(k). In
  // microspheres/ml a result is that times the pure's microspheres/ml over its height, times the
  // header's 2.0 ml of solvent; whole numbers, with every spread above 1.
  const Values amount = {100, 300, 3, 300, 100};
  const Values per_ml = {2000, 1000, 1500, 2000, 2500};
  Values microspheres(n), mixture = blank;
  for (int k = 0; k < n; ++k) {
    const Values& pure = file[k + 1].second;
    double top = 0;
    for (std::size_t i = 0; i < points; ++i) top = std::max(top, pure[i] - blank[i]);
    for (std::size_t i = 0; i < points; ++i) mixture[i] += amount[k] * (pure[i] - blank[i]) / top;
    microspheres[k] = amount[k] * per_ml[k] / top * 2.0;
  }
  // The noise grows along the scan, 0.2 at 360 nm to 0.8 at 540 nm, so that a spread taken at
  // another point than its fit point shows.
  Values noise(points);
  for (std::size_t i = 0; i < points; ++i) noise[i] = 0.2 + 0.6 * i / points;
  std::ofstream(base + ".slk", std::ios::binary)
      << "Blanks\tworked by the test\r\nData file\td.syn\r\nScan lower\t360\r\n" +
             Blanks(blank, noise, true);
  std::string data = header;
  for (const auto& r : file) data += Line(r.first, r.second, {}, 0, random, true);
  for (int r = 1; r <= kRecords; ++r)
    data += Line("S" + std::to_string(r), mixture, noise, NAN, random, true);
  std::ofstream(base + ".syn", std::ios::binary) << data;

  const std::string run = "batch scan " + base + ".syn --blanks " + base + ".slk -o " + base;
  ASSERT_EQ(Launch(run + ".scf"), 0);
  ASSERT_EQ(Launch(run + "-m.scf --format microspheres --micros-per-ml 2000,1000,1500,2000,2500"),
            0);
  const auto record = nlohmann::json::parse(Read(base + ".scf.json"));
  // The rows are the fit points, named by their wavelength: 5 for each pure.
  Values noise_at;
  for (const std::string name : record["matrix"]["rows"])
    noise_at.push_back(noise[static_cast<std::size_t>(std::stod(name) - 360)]);
  ASSERT_EQ(noise_at.size(), std::size_t{5 * n});
  CheckBlankSpreads(record["matrix"], noise_at);
  CheckSpreads(Read(base + ".scf"), amount, record["matrix"]["result_spread"], false);
  const auto in_microspheres = nlohmann::json::parse(Read(base + "-m.scf.json"));
  EXPECT_EQ(in_microspheres["choices"]["microspheres_per_ml"], per_ml);
  CheckSpreads(Read(base + "-m.scf"), microspheres, in_microspheres["matrix"]["result_spread"],
               true);
}

}  // namespace
}  // namespace kolvane
