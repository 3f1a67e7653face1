// What the simulator's and the blood flow's tests share: reading files, a folder of the test's
// own, running the programs, the normal distribution's closed forms, and the tally of a results
// file's sample lines against the spreads its run record predicts.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/portable.h"
#include "support/table.h"

namespace kolvane::spread {

inline std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A fresh folder of the test's own under the temporary folder, removed however the test ends.
struct Folder {
  std::filesystem::path path;
  explicit Folder(const std::string& name)
      : path(std::filesystem::temp_directory_path() / (name + std::to_string(ProcessId()))) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~Folder() { std::filesystem::remove_all(path); }
};

struct Outcome {
  int status = -1;  // -1: ended by a signal
  std::string err;  // standard error
};

// Runs "kolvane-WORDS" of the build folder inside `dir`, its standard output discarded.
inline Outcome Launch(const std::filesystem::path& dir, const std::string& words) {
  const std::size_t space = words.find(' ');
  const std::string program = BuiltProgram("kolvane-" + words.substr(0, space));
  const std::string err = (dir / "stderr.txt").string();
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir);
  const int status = std::system(
      (program + words.substr(space) + " >" + kNullDevice + " 2>\"" + err + "\"").c_str());
  std::filesystem::current_path(before);
  Outcome run{ExitStatus(status), Read(err)};
  // The C library ends the lines of a console program's stderr with CR LF on Windows.
  if (kOnWindows) run.err.erase(std::remove(run.err.begin(), run.err.end(), '\r'), run.err.end());
  return run;
}

// The numbers of a line after its first cell (its label).
inline std::vector<double> NumbersAfterLabel(const std::string& line) {
  return Numbers(line.substr(line.find('\t')));
}

inline double UpperTail(double z) {
  return 0.5 * std::erfc(z / std::sqrt(2.0));
}

// The standard normal quantile, by bisection of the closed-form distribution function.
inline double Quantile(double p) {
  double lo = -10, hi = 10;
  for (int i = 0; i < 100; ++i) {
    const double mid = (lo + hi) / 2;
    (1 - UpperTail(mid) < p ? lo : hi) = mid;
  }
  return lo;
}

// The counts k_lo and k_hi between which a binomial count of `trials` with probability p falls
// but once in a thousand (0.05 % beyond each end), from the closed-form probabilities.
inline void BinomialRange(long trials, double p, int& lo, int& hi) {
  double below = 0;
  lo = hi = -1;
  for (int k = 0; hi < 0; ++k) {
    const double pk =
        std::exp(std::lgamma(trials + 1.0) - std::lgamma(k + 1.0) - std::lgamma(trials - k + 1.0) +
                 k * std::log(p) + (trials - k) * std::log1p(-p));
    if (lo < 0 && below + pk > 0.0005) lo = k;
    below += pk;
    if (below >= 0.9995) hi = k;
  }
}

// The record's blank spreads: the 99 starting blanks lie at the noise's quantiles
// (i - 1/2) / 99, so 1.4826 x their median absolute deviation is that of the quantiles times the
// noise at each reading position (1.0114 times it); `noise` holds the noise of each position
// (the readings' rounding moves it by up to 5 %).
template <class Json>
void CheckBlankSpreads(const Json& matrix, const std::vector<double>& noise) {
  std::vector<double> z;
  for (int i = 1; i <= 99; ++i) z.push_back(std::fabs(Quantile((i - 0.5) / 99)));
  std::nth_element(z.begin(), z.begin() + 49, z.end());
  const double factor = 1.4826 * z[49];
  EXPECT_NEAR(factor, 1.0114, 0.0005);
  EXPECT_EQ(matrix["blank_records"], 99);
  const std::vector<double> spread = matrix["blank_spread"];
  ASSERT_EQ(spread.size(), noise.size());
  for (std::size_t j = 0; j < noise.size(); ++j)
    EXPECT_NEAR(spread[j] / (factor * noise[j]), 1.0, 0.05) << "reading position " << j + 1;
}

// The results file's sample lines (names S1, S2, ...): the first `records` hold a mixture of
// amounts `amount`, the next `records` hold no dye. Each colour's observed spread over the
// mixture must be within 10 % of the predicted `sigma`, its mean the amount; over the zeros the
// count of results beyond 3 sigma, pooled over the colours, must be a count that the normal
// tail beyond 3 gives. Results written as whole numbers (`whole`) add the rounding's variance
// 1/12 to the spread, which is taken out again (Sheppard's correction); their tail is not
// counted, as rounding moves the 3-sigma boundary by up to half a unit.
inline void CheckSpreads(const std::string& scf, const std::vector<double>& amount,
                         const std::vector<double>& sigma, int records, bool whole = false) {
  const int n = static_cast<int>(amount.size());
  ASSERT_EQ(sigma.size(), amount.size());
  std::vector<double> sum(n), squares(n);
  int lines = 0, beyond = 0;
  std::istringstream in(scf);
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 2 || line[0] != 'S' || !std::isdigit(static_cast<unsigned char>(line[1])))
      continue;
    const std::vector<double> x = NumbersAfterLabel(line);
    ASSERT_GE(x.size(), amount.size()) << line;
    ++lines;
    for (int k = 0; k < n; ++k)
      if (lines > records)
        beyond += x[k] > 3 * sigma[k];
      else
        sum[k] += x[k], squares[k] += x[k] * x[k];
  }
  ASSERT_EQ(lines, 2 * records);
  for (int k = 0; k < n; ++k) {
    const double mean = sum[k] / records;
    const double variance = (squares[k] - records * mean * mean) / (records - 1);
    const double sd = std::sqrt(variance - (whole ? 1.0 / 12 : 0.0));
    EXPECT_NEAR(mean, amount[k], 4 * sd / std::sqrt(records)) << "colour " << k + 1;
    EXPECT_NEAR(sd / sigma[k], 1.0, 0.10) << "colour " << k + 1 << ", predicted " << sigma[k];
  }
  if (whole) return;
  int lo = 0, hi = 0;
  BinomialRange(static_cast<long>(records) * n, UpperTail(3), lo, hi);
  EXPECT_GE(beyond, lo) << "zeros beyond 3 sigma of " << records * n;
  EXPECT_LE(beyond, hi) << "zeros beyond 3 sigma of " << records * n;
}

}  // namespace kolvane::spread
