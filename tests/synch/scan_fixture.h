// In this file: what the scan tests share: the golden scan datasets of tests/data/scan, records
// written as an instrument writes them, and the load and run as the window's commands drive them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/color_panel.h"
#include "support/program_fixture.h"
#include "synch/scan_load.h"
#include "synch/scan_run.h"

namespace kolvane {
namespace scantest {

using Values = std::vector<double>;  // points 1..n, index 0 unused
using Strings = std::vector<std::string>;

// A tent of height h around point c: h, 0.8h, 0.6h, 0.4h, 0.2h on either side.
inline Values Tent(int points, int c, double h) {
  Values v(points + 1, 0.0);
  for (int d = -4; d <= 4; ++d)
    if (c + d >= 1 && c + d <= points) v[c + d] = h * (1.0 - 0.2 * std::abs(d));
  return v;
}

// A record: the label, then the values eight to a line, blanks with a comma now and then.
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

// A golden dataset's file (tests/data/scan/<name>/<file>).
inline std::string Golden(const std::string& name, const std::string& file) {
  return std::string(KOLVANE_TEST_DATA) + "/scan/" + name + "/" + file;
}
// The first `lines` lines of a text whose lines end in CR LF (negative: all but the last ones).
inline std::string Head(const std::string& text, int lines) {
  if (lines < 0) lines += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  std::size_t end = 0;
  for (int i = 0; i < lines; ++i) end = text.find('\n', end) + 1;
  return text.substr(0, end);
}

class ScanTest : public ProgramTest {
 protected:
  // Open Synchronous Scan File with the three dialogs answered ("" = cancel / no blanks).
  Flow Load(const std::string& data, const std::string& blanks, const std::string& results) {
    for (const std::string& name : {data, blanks, results}) host.QueueFile(name);
    return OpenScanDataset(p);
  }
  // Analyze as the dispatcher runs it: flags cleared, the run, every file closed, idle again.
  Flow Run() {
    p.InterruptRequested = p.PauseRequested = false;
    Flow flow = RunScanAnalysis(p);
    if (p.ledger.Complete()) p.channels.Out(Channels::kResults).Keep();  // as the close does
    p.channels.CloseAll();
    CloseIt_Click(p);
    return flow;
  }
  void ChooseMicrospheres() {
    p.form.OFResults_Radio[1].selected = true;
    OFResults_Radio_Click(p, 1);
  }
};

}  // namespace scantest
}  // namespace kolvane
