// What the window tells the user, through the scripted host on the example datasets: the
// refusal of a run without a colour, the status line after each kind of ending, the title bar,
// the pure search's progress, and the values a run takes from the entry boxes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/color_panel.h"
#include "app/main_window.h"
#include "app/run_control.h"
#include "app/status_line.h"
#include "app/tissue_dialogs.h"
#include "dispatch/commands.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

const std::string kExamples = KOLVANE_SOURCE_DIR "/examples/";
const std::string kFixed = kExamples + "fixed/tissue_blanks_controls";
const std::string kThreeColors = KOLVANE_TEST_DATA "/cli/three_colors.fix";

std::string Temp(const std::string& name) {
  return ::testing::TempDir() + "window_status_" + name;
}

struct Session {
  ScriptedHost host;
  Program p{host};
  Session() { Form_Load(p, 1920 * 15, 1080 * 15); }
  Flow OpenFixed(const std::string& data, const std::string& blanks, const std::string& controls,
                 const std::string& results) {
    for (const std::string& f : {data, blanks, controls, results}) host.QueueFile(f);
    return OpenData_Click(p);
  }
  Flow OpenScan(const std::string& results) {
    for (const std::string& f :
         {kExamples + "scan/small.syn", kExamples + "scan/small.slk", results})
      host.QueueFile(f);
    return OpenDataSS_Click(p);
  }
};

TEST(RunRefusal, WithoutAColourToAnalyseTheDatasetStaysLoaded) {
  struct Case {
    const char* name;
    const std::string data;
    std::vector<int> ticked;
  } cases[] = {{"none ticked", kThreeColors, {}},
               {"only the tissue column", KOLVANE_TEST_DATA "/cli/tissue.fix", {1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    ASSERT_EQ(s.OpenFixed(c.data, "", "", Temp("refused.scf")), Flow::Continue);
    for (int i = 1; i <= 3; ++i) SetColorTick(s.p, i, false);
    for (int i : c.ticked) SetColorTick(s.p, i, true);
    s.host.ExpectMessage("Select at least one colour to analyse.");
    EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Stop);
    EXPECT_TRUE(s.p.FixedDataLoaded && s.p.form.CloseIt.enabled && s.p.form.ColorBoxes.visible);
    EXPECT_FALSE(s.p.Busy);
    // The user ticks a colour and runs without answering the file dialogs again.
    SetColorTick(s.p, 2, true);
    s.host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Continue);
    EXPECT_TRUE(s.p.RunCompleted);
  }
}

TEST(StatusLine, SaysHowToBeginWhatARunDidAndNamesTheFileInTheTitle) {
  Session s;
  const std::string hint = s.p.form.StatusLine.caption;
  EXPECT_NE(hint.find("Open Fixed Wavelength File (Ctrl+O)"), std::string::npos) << hint;
  EXPECT_NE(hint.find("Open Synchronous Scan File (Ctrl+Shift+O)"), std::string::npos) << hint;
  EXPECT_EQ(s.p.form.caption, "KOLVANE");

  const std::string results = Temp("complete.scf");
  ASSERT_EQ(s.OpenFixed(kFixed + ".fix", kFixed + ".blk", kFixed + ".ctl", results),
            Flow::Continue);
  EXPECT_EQ(s.p.form.caption, "tissue_blanks_controls.fix \xE2\x80\x94 KOLVANE");
  EXPECT_EQ(s.p.form.StatusLine.caption, "");
  s.host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
  ASSERT_EQ(RunAnalysis_Click(s.p), Flow::Continue);
  // The example holds 36 samples (its README).
  EXPECT_EQ(s.p.form.StatusLine.caption, "36 records written to " + results);
  EXPECT_EQ(s.p.form.StatusFolder + "/window_status_complete.scf", results);
  EXPECT_EQ(s.p.form.caption, "KOLVANE");

  // The next command takes the outcome away; Close File brings the hint back.
  s.host.QueueFile("");
  OpenData_Click(s.p);
  EXPECT_EQ(s.p.form.StatusLine.caption, hint);
  EXPECT_EQ(s.p.form.StatusFolder, "");
}

TEST(StatusLine, CountsTheRecordsOfAnAbortedScanRun) {
  Session s;
  const std::string results = Temp("aborted.scf");
  ASSERT_EQ(s.OpenScan(results), Flow::Continue);
  EXPECT_EQ(s.p.form.caption, "small.syn \xE2\x80\x94 KOLVANE");
  std::vector<std::string> shown;  // the record names the window showed
  std::string notice;
  s.host.on_messages = [&](int) {
    const SpectrumDisplay& d = s.p.form.Spectra;
    const std::string& name = s.p.form.SamplePtr.caption;
    if (name.rfind("Sample ", 0) == 0 && (shown.empty() || shown.back() != name)) {
      shown.push_back(name);
      if (name == "Sample S3") Form_KeyDown(s.p, kKeyF12, 0);
      if (name == "Sample S4") notice = d.items.empty() ? d.notice : "a spectrum is drawn";
      if (name == "Sample S5") Form_KeyDown(s.p, kKeyF5, 0);
    }
  };
  s.host.QueueAnswer(Answer::Yes);
  EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Stop);
  // small.syn: six pures and 24 samples have results lines (its README); its blank is
  // subtracted.
  std::ifstream lines(results, std::ios::binary);
  int written = 0;
  for (std::string line; std::getline(lines, line);)
    written += line.size() > 1 && (line[0] == 'P' || line[0] == 'S') && std::isdigit(line[1]);
  EXPECT_GE(written, 11) << "P1 to P6 and S1 to S5 at least";
  EXPECT_EQ(s.p.form.StatusLine.caption,
            "Aborted: " + std::to_string(written) + " of 30 records written to " + results);
  EXPECT_EQ(notice, "Display off (F12)");
}

TEST(PureSearch, ShowsWhereItIsAndWhatF11AndF5Do) {
  Session s;
  std::vector<int> seen_pure(7, 0);
  std::vector<std::string> directions;  // while paused: on the screen, then after F5
  s.host.on_messages = [&](int) {
    const MainForm& f = s.p.form;
    if (!f.ProgressBar.visible || !f.Directions.visible) return;
    int k = 0;
    ASSERT_EQ(std::sscanf(f.SamplePtr.caption.c_str(), "Finding pures: %d of 6", &k), 1)
        << f.SamplePtr.caption;
    ASSERT_TRUE(k >= 1 && k <= 6);
    // Pure k is being searched (k - 1 found) or has just been found.
    EXPECT_EQ(f.Perc_Panel.maximum, 6);
    EXPECT_TRUE(f.Perc_Panel.value == k - 1 || f.Perc_Panel.value == k) << f.Perc_Panel.value;
    ++seen_pure[k];
    if (k == 3 && directions.empty()) {
      directions.push_back("");
      Form_KeyDown(s.p, kKeyF11, 0);
    } else if (f.Directions.caption == "Paused.  Press F11 to Restart.") {
      directions.push_back(f.Directions.caption);
      Form_KeyDown(s.p, kKeyF5, 0);  // refused while paused, with a word why
      directions.push_back(f.Directions.caption);
      Form_KeyDown(s.p, kKeyF11, 0);
    }
  };
  ASSERT_EQ(s.OpenScan(Temp("search.scf")), Flow::Continue);
  for (int k = 1; k <= 6; ++k) EXPECT_GT(seen_pure[k], 0) << k;
  const std::vector<std::string> expected = {
      "", "Paused.  Press F11 to Restart.",
      "Paused.  Press F11 to Restart first, then F5 to Abort."};
  EXPECT_EQ(directions, expected);
  EXPECT_TRUE(s.p.ScanDataLoaded);
  EXPECT_FALSE(s.p.InterruptRequested);
  EXPECT_FALSE(s.p.form.ProgressBar.visible);
}

}  // namespace
}  // namespace kolvane
