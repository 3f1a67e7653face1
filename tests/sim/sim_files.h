// In this file: what the simulator's tests share: a fresh folder per test, and reading back the
// files the simulator wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kolvane::sim::test {

// A folder of its own for each test, removed afterwards.
class SimFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    dir_ = std::filesystem::temp_directory_path() / ("kolvane_sim_" + name);
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Base(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

// The program's colour table: name and nominal wavelength (nm) of slots 1..13.
inline const std::vector<std::pair<std::string, double>> kColours = {
    {"Blue", 380},     {"Blue-Green", 440}, {"Green", 470}, {"Yellow-Green", 493}, {"Yellow", 510},
    {"Orange", 537},   {"Orange-Red", 554}, {"Red", 578},   {"Carmine", 591},      {"Crimson", 617},
    {"Dark Red", 640}, {"Scarlet", 656},    {"Violet", 682}};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The lines of a file whose every line ends in CR LF (a bare CR or LF fails the test).
inline std::vector<std::string> CrLfLines(const std::string& path) {
  std::string text = ReadAll(path);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << path << ": last line without CR LF";
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << path << ": stray line break";
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

inline std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return cells;
    start = tab + 1;
  }
}

inline double Number(const std::string& text) {
  char* end = nullptr;
  double v = std::strtod(text.c_str(), &end);
  EXPECT_TRUE(end != text.c_str() && *end == '\0') << "not a number: '" << text << "'";
  return v;
}

// The truth file's data lines (comments and the heading left out), cells split at TABs.
inline std::vector<std::vector<std::string>> TruthRows(const std::string& path,
                                                       std::vector<std::string>* heading) {
  std::vector<std::vector<std::string>> rows;
  bool seen_heading = false;
  for (const std::string& line : CrLfLines(path)) {
    if (line.rfind("#", 0) == 0) continue;
    if (!seen_heading) {
      seen_heading = true;
      if (heading != nullptr) *heading = SplitTabs(line);
      continue;
    }
    rows.push_back(SplitTabs(line));
  }
  return rows;
}

inline std::string Decimals(double v, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  std::string s(buffer);
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

// Gaussian elimination with partial pivoting on a small dense system (row-major), kept here
// so that the tests check the simulator's answers with a solver that is not its own.
inline std::vector<double> SolveDense(std::vector<double> a, std::vector<double> b) {
  const size_t n = b.size();
  for (size_t k = 0; k < n; ++k) {
    size_t p = k;
    for (size_t i = k + 1; i < n; ++i) {
      if (std::abs(a[i * n + k]) > std::abs(a[p * n + k])) p = i;
    }
    for (size_t j = 0; j < n; ++j) std::swap(a[k * n + j], a[p * n + j]);
    std::swap(b[k], b[p]);
    for (size_t i = k + 1; i < n; ++i) {
      double f = a[i * n + k] / a[k * n + k];
      for (size_t j = k; j < n; ++j) a[i * n + j] -= f * a[k * n + j];
      b[i] -= f * b[k];
    }
  }
  std::vector<double> x(n);
  for (size_t i = n; i-- > 0;) {
    double s = b[i];
    for (size_t j = i + 1; j < n; ++j) s -= a[i * n + j] * x[j];
    x[i] = s / a[i * n + i];
  }
  return x;
}

}  // namespace kolvane::sim::test
