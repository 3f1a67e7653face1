// A load starts afresh: whatever the window did before, a run's results file equals, byte for
// byte, that of a freshly started program given the same files and the same visible state of
// the window. Two sequences users met, then random sequences of commands (seeded and printed;
// KOLVANE_SEED=n replays one).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/matrix_file.h"
#include "app/tissue_dialogs.h"
#include "dispatch/commands.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

const std::string kDir = KOLVANE_SOURCE_DIR "/examples/";

// The datasets and the answers their file dialogs get.
struct Dataset {
  bool scan;
  std::vector<std::string> files;  // before the results file
  std::string matrix;              // read with New Spillover Matrix after the load
};
const Dataset kDatasets[] = {
    {false,
     {kDir + "fixed/tissue_blanks_controls.fix", kDir + "fixed/tissue_blanks_controls.blk",
      kDir + "fixed/tissue_blanks_controls.ctl"},
     ""},
    {false, {kDir + "fixed/no_pures.fix", "", ""}, kDir + "fixed/no_pures.spl"},
    {true, {kDir + "scan/small.syn", kDir + "scan/small.slk"}, ""},
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Window {
  ScriptedHost host;
  Program p{host};
  int loaded = -1;
  Window() {
    Form_Load(p, 1920 * 15, 1080 * 15);
    host.allow_any_message = true;
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); };
  }
  bool Open(int d, const std::string& results) {
    for (const std::string& f : kDatasets[d].files) host.QueueFile(f);
    host.QueueFile(results);
    kDatasets[d].scan ? OpenDataSS_Click(p) : OpenData_Click(p);
    if (!p.form.CloseIt.enabled) return false;
    loaded = d;
    if (!kDatasets[d].matrix.empty()) host.QueueFile(kDatasets[d].matrix), Spillover_Click(p);
    return true;
  }
  bool EntryShown(int i) const {
    return p.ResultsInMicrospheres &&
           (p.ScanDataLoaded ? i <= p.HeaderPureCount : i <= p.NumColors);
  }
  std::string Entry(int i) const {
    return p.ScanDataLoaded ? p.form.MicrosPerMl[i].text : p.form.MicrosPerMlFix[i].text;
  }
  void Type(int i, const std::string& text) {
    p.ScanDataLoaded ? SetMicrosPerMlText(p, i, text) : SetMicrosPerMlFixText(p, i, text);
  }
  // Gives this window what a user sees of `w`: format, ticks, shown entries, background and
  // control correction.
  void Copy(const Window& w) {
    const MainForm& f = w.p.form;
    OFResults_Radio_Click(p, w.p.ResultsInMicrospheres ? 1 : 0);
    for (int i = 1; i <= p.NumColors && !p.ScanDataLoaded; ++i)
      SetColorTick(p, i, f.Color[i].ticked);
    for (int i = 1; i <= 30; ++i)
      if (EntryShown(i)) Type(i, w.Entry(i));
    p.form.BackSub.ticked = f.BackSub.visible && f.BackSub.ticked;
    BackSub_Click(p);
    p.form.ControlCorr.ticked = f.ControlCorr.visible && f.ControlCorr.ticked;
    ControlCorr_Click(p);
  }
};

// Analyze in `w`; a complete run's file must equal a fresh start's.
void AnalyzeAndCompare(Window& w, const std::string& results) {
  Window fresh;
  const std::string fresh_results = results + ".fresh";
  ASSERT_TRUE(fresh.Open(w.loaded, fresh_results));
  fresh.Copy(w);
  RunAnalysis_Click(w.p);
  if (!w.p.RunCompleted) return;
  RunAnalysis_Click(fresh.p);
  ASSERT_TRUE(fresh.p.RunCompleted);
  ASSERT_EQ(Slurp(results), Slurp(fresh_results)) << "dataset " << fresh.loaded;
}

TEST(FreshLoad, EntriesOfOnePanelNeverReachARunOfTheOtherKind) {
  const std::string results = ::testing::TempDir() + "fresh_two_kinds.scf";
  // Scan then fixed: 777 typed for the second pure. Fixed then scan then fixed: 555 typed in
  // the second colour's box.
  for (bool scan_first : {true, false}) {
    SCOPED_TRACE(scan_first ? "scan first" : "fixed first");
    Window w;
    if (!scan_first) {
      ASSERT_TRUE(w.Open(1, results));
      OFResults_Radio_Click(w.p, 1);
      SetMicrosPerMlFixText(w.p, 2, "555");
      CloseIt_Click(w.p);
    }
    ASSERT_TRUE(w.Open(2, results));
    OFResults_Radio_Click(w.p, 1);
    SetMicrosPerMlText(w.p, 2, "777");
    CloseIt_Click(w.p);
    ASSERT_TRUE(w.Open(1, results));
    OFResults_Radio_Click(w.p, 1);
    EXPECT_EQ(w.p.form.MicrosPerMlFix[2].text, scan_first ? "1000" : "555");
    AnalyzeAndCompare(w, results);
    EXPECT_TRUE(w.p.RunCompleted);
  }
}

TEST(FreshLoad, RandomCommandSequences) {
  const char* fixed_seed = std::getenv("KOLVANE_SEED");
  const unsigned first = fixed_seed ? static_cast<unsigned>(std::atoi(fixed_seed)) : 1;
  const unsigned last = fixed_seed ? first : 40;
  const char* const kValues[] = {"555", "777", "1000", "250.5", "0", "12e3"};
  int compared[3][2] = {};  // complete runs by dataset and format
  for (unsigned seed = first; seed <= last; ++seed) {
    SCOPED_TRACE("KOLVANE_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::string results = ::testing::TempDir() + "fresh_random.scf";
    Window w;
    int runs = 0;
    for (int step = 0; step < 100 && runs < 6; ++step) {
      Program& p = w.p;
      if (!p.form.CloseIt.enabled) {
        w.Open(pick(3), results);
        continue;
      }
      const int colors = p.ScanDataLoaded ? p.HeaderPureCount : p.NumColors;
      const int command = pick(8), i = 1 + pick(colors);
      if (command == 0) {
        CloseIt_Click(p);
      } else if (command == 1) {
        OFResults_Radio_Click(p, p.ResultsInMicrospheres ? 0 : 1);
      } else if (command == 2 && p.FixedDataLoaded) {
        SetColorTick(p, i, pick(2) == 0);
      } else if ((command == 3 || command == 4) && w.EntryShown(i)) {
        w.Type(i, kValues[pick(6)]);
      } else if (command == 5) {
        p.form.BackSub.ticked = p.form.BackSub.visible && !p.form.BackSub.ticked;
        BackSub_Click(p);
        p.form.ControlCorr.ticked = p.form.ControlCorr.visible && pick(2) == 0;
        ControlCorr_Click(p);
      } else if (command > 5) {
        AnalyzeAndCompare(w, results);
        if (p.RunCompleted) ++runs, ++compared[w.loaded][p.ResultsInMicrospheres];
      }
      if (::testing::Test::HasFailure()) return;
    }
  }
  std::printf("seeds %u..%u: complete runs compared by dataset (intensity/micros):", first, last);
  for (auto& d : compared) std::printf(" %d/%d", d[0], d[1]);
  std::printf("\n");
}

}  // namespace
}  // namespace kolvane
