// The result spread the run record predicts from the blanks holds for the results themselves:
// 2 000 records of one mixture with readings of known noise, a colour at 1 % of its two bright
// neighbours, then 2 000 records of no dye. The simulator gives the file's header and matrix; the
// readings are worked here from that matrix, plus Gaussian noise.
#include <gtest/gtest.h>

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

TEST(PredictedSpread, HoldsForAFaintColourBetweenBrightOnes) {
  const Folder dir("kolvane-spread-");
  const std::string base = (dir.path / "d").string();
  ASSERT_EQ(Launch("simulate fixed --colors 7 --no-pures --samples 0 -o " + base), 0);
  constexpr int n = 7, records = 2000;
  // The noise differs by column (0.3 to 0.6), so that a spread taken from another column than
  // the one it belongs to shows.
  const double noise[n] = {0.3, 0.6, 0.35, 0.55, 0.4, 0.5, 0.45};
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
  std::normal_distribution<double> gauss;
  auto line_of = [&](const std::string& name, const std::vector<double>& clean, double z) {
    std::string text = name;
    char cell[32];
    for (int c = 0; c < n; ++c) {
      const double e = noise[c] * (std::isnan(z) ? gauss(random) : z);
      std::snprintf(cell, sizeof cell, "\t%.3f", clean[c] + e);
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

  ASSERT_EQ(Launch("batch fixed " + base + ".fix --blanks " + base + ".blk --matrix " + base +
                   ".spl -o " + base + ".scf"),
            0);
  const auto record = nlohmann::json::parse(Read(base + ".scf.json"));
  CheckBlankSpreads(record["matrix"], std::vector<double>(noise, noise + n));
  CheckSpreads(Read(base + ".scf"), std::vector<double>(amount, amount + n),
               record["matrix"]["result_spread"], records);
}

}  // namespace
}  // namespace kolvane
