// The result spread the run record predicts from the blanks holds for the results themselves:
// 2 000 records of one mixture with readings of known noise, a colour at 1 % of its two bright
// neighbours, then 2 000 records of no dye. The simulator gives the file's header and matrix; the
// readings are worked here from that matrix, plus Gaussian noise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <vector>

namespace kolvane {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<double> Numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<double> values;
  std::string cell;
  std::getline(in, cell, '\t');  // the record's name
  while (std::getline(in, cell, '\t')) values.push_back(std::stod(cell));
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

TEST(PredictedSpread, HoldsForAFaintColourBetweenBrightOnes) {
  const fs::path dir = fs::temp_directory_path() / ("kolvane-spread-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string base = (dir / "d").string();
  auto run = [](const std::string& words) {
    return std::system((KOLVANE_BINARY_DIR "/kolvane-" + words + " >/dev/null 2>&1").c_str());
  };
  ASSERT_EQ(run("simulate fixed --colors 7 --no-pures --samples 0 -o " + base), 0);
  constexpr int n = 7, records = 2000;
  constexpr double noise = 0.4;
  // Row k of the matrix file: pure k's reading in every column, in percent of its own.
  std::vector<std::vector<double>> spill;
  std::istringstream spl(Read(base + ".spl"));
  for (std::string line; std::getline(spl, line);) spill.push_back(Numbers("x\t" + line));
  ASSERT_EQ(spill.size(), std::size_t{n});
  std::istringstream blk(Read(base + ".blk"));
  std::string head, line;
  for (int i = 0; i < 3; ++i) std::getline(blk, line), head += line + "\n";
  std::getline(blk, line);
  const std::vector<double> blank = Numbers(line);

  std::mt19937 random(1407);
  std::normal_distribution<double> gauss(0.0, noise);
  auto line_of = [&](const std::string& name, const std::vector<double>& clean, double z) {
    std::string text = name;
    char cell[32];
    for (double v : clean) {
      std::snprintf(cell, sizeof cell, "\t%.3f", v + (std::isnan(z) ? gauss(random) : z * noise));
      text += cell;
    }
    return text + "\r\n";
  };
  // The starting background (at most 100 records numbered 1): 99 blanks spread like the noise,
  // at its quantiles (i - 1/2) / 99, so that 1.4826 x their median absolute deviation is
  // 1.4826 x 0.6822 = 1.0114 times the noise (by the normal table) and no draw's luck enters.
  std::string blanks = head;
  for (int i = 1; i <= 99; ++i) blanks += line_of("B1", blank, Quantile((i - 0.5) / 99));
  std::ofstream(base + ".blk", std::ios::binary) << blanks;
  // Records 1 to 2 000 hold the mixture; records 2 001 to 4 000 hold no dye at all.
  const double amount[n] = {100, 100, 500, 5, 500, 100, 100};
  std::vector<double> mixture = blank;
  for (int c = 0; c < n; ++c)
    for (int k = 0; k < n; ++k) mixture[c] += amount[k] * spill[k][c] / spill[k][k];
  std::ofstream fix(base + ".fix", std::ios::binary | std::ios::app);
  for (int r = 1; r <= 2 * records; ++r)
    fix << line_of("S" + std::to_string(r), r <= records ? mixture : blank, NAN);
  fix.close();

  ASSERT_EQ(run("batch fixed " + base + ".fix --blanks " + base + ".blk --matrix " + base +
                ".spl -o " + base + ".scf"),
            0);
  const auto record = nlohmann::json::parse(Read(base + ".scf.json"));
  const std::vector<double> sigma = record["matrix"]["result_spread"];
  ASSERT_EQ(sigma.size(), std::size_t{n});
  std::vector<double> sum(n), squares(n);
  int rows = 0, beyond = 0;
  std::istringstream scf(Read(base + ".scf"));
  while (std::getline(scf, line)) {
    if (line.size() < 2 || line[0] != 'S' || !std::isdigit(line[1])) continue;
    const std::vector<double> x = Numbers(line);
    ASSERT_EQ(x.size(), std::size_t{n});
    for (int k = 0; k < n; ++k)
      if (++rows > records * n)
        beyond += x[k] > 3 * sigma[k];
      else
        sum[k] += x[k], squares[k] += x[k] * x[k];
  }
  ASSERT_EQ(rows, 2 * records * n);
  for (int k = 0; k < n; ++k) {
    const double mean = sum[k] / records;
    const double sd = std::sqrt((squares[k] - records * mean * mean) / (records - 1));
    std::printf("colour %d: mean %.4f, observed sd %.4f, predicted %.4f\n", k + 1, mean, sd,
                sigma[k]);
    EXPECT_NEAR(mean, amount[k], 4 * sd / std::sqrt(records)) << k + 1;
    EXPECT_NEAR(sd / sigma[k], 1.0, 0.10) << k + 1;
  }
  // A one-sided normal tail beyond 3 sigma holds 0.135 %: 18.9 of 14 000 zeros are expected
  // (Poisson: 8 to 33 but once in a thousand runs).
  std::printf("zeros beyond 3 sigma: %d of %d\n", beyond, records * n);
  EXPECT_GE(beyond, 8);
  EXPECT_LE(beyond, 33);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kolvane
