// In this file: what the fixed-wavelength tests share: a program with the scripted host after
// start-up, a temporary folder for the data files, the load through its four dialogs, and
// Analyze as the window's button does it (checks, run, back to idle).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/program.h"
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

// The header of the three-colour dataset used throughout: the wavelength lines stand before
// the delivery line and out of their echo order.
inline std::string ThreeColorHeader() {
  return CrLf({"Test run 1", "Pures\t3", "Wavelengths\t3", "Amount of solvent\t2.5",
               "Delivery\tManual", "ex wl\t420\t480\t540", "ex sl\t5\t5\t5", "em sl\t5\t5\t5",
               "em wl\t440\t500\t560", "Color Tube\tBlue\tGreen\tRed"});
}

// How that header comes back in the results file.
inline std::string ThreeColorHeaderEcho() {
  return CrLf({"Test run 1", "Pures\t3", "Wavelengths\t3", "Amount of solvent\t2.5",
               "Delivery\tManual", "Color\tBlue\tGreen\tRed", "ex sl\t5\t5\t5", "em sl\t5\t5\t5",
               "ex wl\t420\t480\t540", "em wl\t440\t500\t560"});
}

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class FixedFixture : public ::testing::Test {
 protected:
  FixedFixture() : p(host) {
    Form_Load(p, 19200, 14400);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("kolvane_fixed_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  ~FixedFixture() override {
    p.channels.CloseAll();
    std::filesystem::remove_all(dir);
  }

  std::string Path(const std::string& name) const { return (dir / name).string(); }

  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream out(Path(name), std::ios::binary);
    out << text;
    return Path(name);
  }

  static std::string Read(const std::string& path) { return ReadWholeFile(path); }

  // Answers the four dialogs of the load and loads. Empty blanks/controls: cancelled.
  Flow Load(const std::string& data, const std::string& blanks = "",
            const std::string& controls = "", std::string results = "") {
    if (results.empty()) results = data + ".scf";
    host.QueueFile(data);
    host.QueueFile(blanks);
    host.QueueFile(controls);
    host.QueueFile(results);
    return OpenFixedDataFile(p);
  }

  // The analyse button of a loaded fixed-wavelength dataset, as the dispatcher runs it.
  Flow Analyze() {
    Flow f = CheckFixedRunPreconditions(p);
    if (f != Flow::Continue) return f;
    EXPECT_TRUE(p.MatrixReady);
    f = RunFixedAnalysis(p);
    if (f == Flow::ProgramEnding) return f;
    p.channels.CloseAll();
    CloseIt_Click(p);
    p.MatrixReady = false;
    return f;
  }

  // Unticks colour box i as the user would.
  void Untick(int i) { SetColorTick(p, i, false); }
  // Results as microspheres/ml with these entries for slots 1, 2, ...
  void Microspheres(std::initializer_list<const char*> entries) {
    OFResults_Radio_Click(p, 1);
    int i = 0;
    for (const char* e : entries) SetMicrosPerMlFixText(p, ++i, e);
  }

  ScriptedHost host;
  Program p;
  std::filesystem::path dir;
};

}  // namespace kolvane
