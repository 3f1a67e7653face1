// In this file: what the scan tests share: a program started as the window starts it, a
// scratch folder, scan files built from closed-form spectra, and the load and run as the
// window's commands drive them.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "support/scripted_host.h"
#include "synch/scan_load.h"
#include "synch/scan_run.h"

namespace kolvane {
namespace scantest {

// Spectra over points 1..n (index 0 unused).
using Values = std::vector<double>;

// A tent of height h around point c: h, 0.8h, 0.6h, 0.4h, 0.2h on either side.
inline void AddTent(Values& v, int c, double h) {
  for (int d = -4; d <= 4; ++d) {
    int i = c + d;
    if (i >= 1 && i < static_cast<int>(v.size())) v[i] += h * (1.0 - 0.2 * std::abs(d));
  }
}
inline void AddPlateau(Values& v, int from, int to, double value) {
  for (int i = from; i <= to; ++i) v[i] += value;
}

// The two pures of the hand-worked dataset. Pure 1 peaks at point c1 (100), pure 2 at c2 (200);
// each has a plateau of 10 over the other's five fit points, so the pure matrix has spillover
// both ways. Fit points: c1-2..c1+2 and c2-2..c2+2.
inline Values PureOne(int n, int c1, int c2) {
  Values v(n + 1, 0.0);
  AddTent(v, c1, 100);
  AddPlateau(v, c2 - 2, c2 + 2, 10);
  return v;
}
inline Values PureTwo(int n, int c1, int c2) {
  Values v(n + 1, 0.0);
  AddTent(v, c2, 200);
  AddPlateau(v, c1 - 2, c1 + 2, 10);
  return v;
}
inline Values Mix(const Values& a, double fa, const Values& b, double fb) {
  Values v(a.size(), 0.0);
  for (std::size_t i = 1; i < a.size(); ++i) v[i] = fa * a[i] + fb * b[i];
  return v;
}

inline std::string Num(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// A record as an instrument writes it: the label, a blank, then the values, eight to a line,
// separated by blanks with a comma now and then.
inline std::string Record(const std::string& label, const Values& v, const char* eol = "\r\n") {
  std::string text = label + " ";
  for (std::size_t i = 1; i < v.size(); ++i) {
    text += Num(v[i]);
    if (i + 1 == v.size() || i % 8 == 0) {
      text += eol;
    } else {
      text += (i % 5 == 0) ? "," : " ";
    }
  }
  return text;
}

class ScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form_Load(p, 19200, 14400);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kolvane-synch-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    dir = buf.data();
  }
  void TearDown() override {
    p.channels.CloseAll();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  std::string PathOf(const std::string& name) const { return dir + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(PathOf(name), std::ios::binary);
    out << bytes;
    return PathOf(name);
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The results file as lines, CR LF removed (each line must end in CR LF).
  static std::vector<std::string> Lines(const std::string& path) {
    std::string text = ReadFile(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find("\r\n", start);
      EXPECT_NE(end, std::string::npos) << "line without CR LF at byte " << start;
      if (end == std::string::npos) break;
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  // Open Synchronous Scan File with the three dialogs answered ("" = cancel).
  Flow Load(const std::string& data, const std::string& blanks, const std::string& results) {
    host.QueueFile(data);
    host.QueueFile(blanks);
    host.QueueFile(results);
    return OpenScanDataset(p);
  }
  // Analyze, as the dispatcher runs it: flags cleared, the run, then every file closed and
  // the window back to idle.
  Flow Run() {
    p.InterruptRequested = false;
    p.PauseRequested = false;
    Flow flow = RunScanAnalysis(p);
    p.channels.CloseAll();
    CloseIt_Click(p);
    return flow;
  }

  ScriptedHost host;
  Program p{host};
  std::string dir;
};

// The header of the hand-worked dataset, with the geometry as given.
inline std::string Header(const std::string& geometry, const std::string& solvent = "2.5") {
  std::string h =
      "KOLVANE test scan\r\n"
      "Operator\tA. N. Other,Lab 3\r\n"
      "Pures\t2\r\n";
  if (!solvent.empty()) h += "Amount of solvent\t" + solvent + "\r\n";
  h += "Delivery\tManual\r\n" + geometry + "Date/Time\t2024-01-01 10:00\r\n";
  return h;
}

}  // namespace scantest
}  // namespace kolvane
