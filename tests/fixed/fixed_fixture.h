// What the fixed-wavelength tests share: a program with the scripted host after start-up, a
// temporary folder for the data files, the load through its four dialogs, and Analyze as the
// window's button does it (checks, run, back to idle).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/matrix_file.h"
#include "fixed/fixed_load.h"
#include "fixed/fixed_run.h"
#include "support/scripted_host.h"

namespace kolvane {

// Lines ended by CR LF, as the program writes them.
inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

inline std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

const std::string kTwoColors = CrLf({"Wavelengths\t2", "Color Tube\tBlue\tRed"});
const std::string kTwoPures = CrLf({"P1\t100\t0", "P2\t0\t100"});
const std::string kBlankHead = CrLf({"h", "h", "h"});
const std::string kNoPuresMessage =
    "Pure colors missing in file.  Please use New Spillover Matrix option to input a spillover matrix.";

class FixedFixture : public ::testing::Test {
 protected:
  FixedFixture() : p(host) {
    Form_Load(p, 19200, 14400);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() / ("kolvane_fixed_" + std::to_string(::getpid()) +
                                                    "_" + info->test_suite_name() + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  ~FixedFixture() override {
    p.channels.CloseAll();
    std::filesystem::remove_all(dir);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  // Writes a file; an empty text stands for a cancelled dialog and writes nothing.
  std::string Write(const std::string& name, const std::string& text) const {
    if (text.empty()) return "";
    std::ofstream(Path(name), std::ios::binary) << text;
    return Path(name);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static std::string Tail(const std::string& path, std::size_t size) {
    const std::string text = Read(path);
    return text.substr(text.size() - std::min(text.size(), size));
  }

  // Answers the four dialogs of the load and loads. Empty blanks/controls: cancelled.
  Flow Load(const std::string& data, const std::string& blanks = "",
            const std::string& controls = "", const std::string& results = "") {
    for (const std::string& answer :
         {data, blanks, controls, results.empty() ? data + ".scf" : results})
      host.QueueFile(answer);
    return OpenFixedDataFile(p);
  }

  // The analyse button of a loaded fixed-wavelength dataset, as the dispatcher runs it.
  Flow Analyze() {
    Flow f = CheckFixedRunPreconditions(p);
    if (f != Flow::Continue) return f;
    f = RunFixedAnalysis(p);
    if (f == Flow::ProgramEnding) return f;
    p.channels.CloseAll();
    CloseIt_Click(p);
    p.MatrixReady = false;
    return f;
  }

  Flow ReadMatrix(const std::string& text) {
    host.QueueFile(Write("m.spl", text));
    return Spillover_Click(p);
  }
  void Untick(int i) { SetColorTick(p, i, false); }
  void SetControlCorrection(bool on) {
    p.form.ControlCorr.ticked = on;
    ControlCorr_Click(p);
  }
  // Results as microspheres/ml with these entries for slots 1, 2, ...
  void Microspheres(const std::vector<const char*>& entries) {
    OFResults_Radio_Click(p, 1);
    int i = 0;
    for (const char* e : entries) SetMicrosPerMlFixText(p, ++i, e);
  }

  ScriptedHost host;
  Program p;
  std::filesystem::path dir;
};

}  // namespace kolvane
