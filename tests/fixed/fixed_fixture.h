// What the fixed-wavelength tests share: the load through its four dialogs, and Analyze as the
// window's button does it (checks, run, back to idle).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/color_panel.h"
#include "app/matrix_file.h"
#include "fixed/fixed_load.h"
#include "fixed/fixed_run.h"
#include "support/program_fixture.h"

namespace kolvane {

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
    "Pure colors missing in file.  Please use New Spillover Matrix option to input a spillover "
    "matrix.";

class FixedFixture : public ProgramTest {
 protected:
  static std::string Tail(const std::string& path, std::size_t size) {
    const std::string text = ReadFile(path);
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
    if (p.ledger.Complete()) p.channels.Out(Channels::kResults).Keep();  // as the close does
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
};

}  // namespace kolvane
