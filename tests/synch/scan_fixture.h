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

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/program.h"
#include "support/scripted_host.h"
#include "synch/scan_load.h"
#include "synch/scan_run.h"

namespace kolvane {
namespace scantest {

using Values = std::vector<double>;  // points 1..n, index 0 unused
using Strings = std::vector<std::string>;

// A tent of height h around point c: h, 0.8h, 0.6h, 0.4h, 0.2h on either side.
inline void AddTent(Values& v, int c, double h) {
  for (int d = -4; d <= 4; ++d) {
    int i = c + d;
    if (i >= 1 && i < static_cast<int>(v.size())) v[i] += h * (1.0 - 0.2 * std::abs(d));
  }
}
inline Values Mix(const Values& a, double fa, const Values& b, double fb) {
  Values v(a.size(), 0.0);
  for (std::size_t i = 1; i < a.size(); ++i) v[i] = fa * a[i] + fb * b[i];
  return v;
}

// A record as an instrument writes it: the label, then the values eight to a line, separated
// by blanks with a comma now and then.
inline std::string Record(const std::string& label, const Values& v) {
  std::string text = label + " ";
  for (std::size_t i = 1; i < v.size(); ++i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.10g", v[i]);
    text += buf;
    text += (i + 1 == v.size() || i % 8 == 0) ? "\r\n" : (i % 5 == 0) ? "," : " ";
  }
  return text;
}

const char* const kFrom300 = "Scan lower\t300\r\nScan upper\t540\r\nScan data interval\t2\r\n";

inline std::string Header(const std::string& geometry = kFrom300) {
  return "KOLVANE test scan\r\nOperator\tA. N. Other,Lab 3\r\nPures\t2\r\n"
         "Amount of solvent\t2.5\r\nDelivery\tManual\r\n" +
         geometry + "Date/Time\t2024-01-01 10:00\r\n";
}
// Header() from 300 nm as the results file echoes it.
const Strings kHeaderEcho = {"This file has been spillover corrected.",
                             "KOLVANE test scan",
                             "Operator\tA. N. Other",
                             "Lab 3",
                             "Pures\t2",
                             "Amount of solvent\t2.5",
                             "Delivery\tManual",
                             "Scan lower\t300",
                             "Scan upper\t540",
                             "Scan data interval\t2",
                             "Date/Time\t2024-01-01 10:00"};

// The hand-worked dataset over 120 points. Pure 1 is a tent of 100 at point c1 with a plateau
// of 10 over c2-2..c2+2; pure 2 a tent of 200 at c2 with 10 over c1-2..c1+2. S1 = 3 P1 + 2 P2
// (plus 12.5 at the tissue point, if any), S2 = P1 + 10 P2, S3 all zero.
inline Values Pure(int k, int c1 = 97, int c2 = 106) {
  Values v(121, 0.0);
  AddTent(v, k == 1 ? c1 : c2, 100.0 * k);
  const int other = k == 1 ? c2 : c1;
  for (int i = other - 2; i <= other + 2; ++i) v[i] += 10;
  return v;
}
inline Values PureOne() {
  return Pure(1);
}
inline Values PureTwo() {
  return Pure(2);
}
inline std::string HandWorked(const std::string& header = Header(), int c1 = 97, int c2 = 106,
                              int tissue_point = 26) {
  Values p1 = Pure(1, c1, c2), p2 = Pure(2, c1, c2), s1 = Mix(p1, 3, p2, 2);
  if (tissue_point > 0) s1[tissue_point] = 12.5;
  return header + Record("P1", p1) + Record("P2", p2) + Record("S1", s1) +
         Record("S2", Mix(p1, 1, p2, 10)) + Record("S3", Values(121, 0.0));
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
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
    return PathOf(name);
  }
  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The results file as lines; every line must end in CR LF.
  static Strings Lines(const std::string& path) {
    std::string text = ReadFile(path);
    Strings lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
      end = text.find("\r\n", start);
      EXPECT_NE(end, std::string::npos) << "line without CR LF at byte " << start;
      if (end == std::string::npos) break;
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

  // Open Synchronous Scan File with the three dialogs answered ("" = cancel / no blanks).
  Flow Load(const std::string& data, const std::string& blanks, const std::string& results) {
    host.QueueFile(data);
    host.QueueFile(blanks);
    host.QueueFile(results);
    return OpenScanDataset(p);
  }
  // Analyze as the dispatcher runs it: flags cleared, the run, every file closed, idle again.
  Flow Run() {
    p.InterruptRequested = p.PauseRequested = false;
    Flow flow = RunScanAnalysis(p);
    p.channels.CloseAll();
    CloseIt_Click(p);
    return flow;
  }
  // The results of an undisturbed load and run in a freshly started program of its own.
  Strings FreshResults(const std::string& data, const std::string& blanks = "",
                       bool microspheres = false) {
    ScriptedHost other_host;
    Program other(other_host);
    Form_Load(other, 19200, 14400);
    other_host.QueueFile(data);
    other_host.QueueFile(blanks);
    other_host.QueueFile(PathOf("fresh.scf"));
    EXPECT_EQ(OpenScanDataset(other), Flow::Continue);
    if (microspheres) {
      other.form.OFResults_Radio[1].selected = true;
      OFResults_Radio_Click(other, 1);
    }
    EXPECT_EQ(RunScanAnalysis(other), Flow::Continue);
    other.channels.CloseAll();
    return Lines(PathOf("fresh.scf"));
  }

  ScriptedHost host;
  Program p{host};
  std::string dir;
};

}  // namespace scantest
}  // namespace kolvane
