// What the window tells the user, through the scripted host on the example datasets: the
// refusal of a run without a colour, the status line after each kind of ending, the title bar
// and the pure search's progress.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/run_control.h"
#include "dispatch_fixtures.h"

namespace kolvane {
namespace {

using testing_window::kScanFiles;
using testing_window::Window;

std::string Temp(const std::string& name) {
  return testing_window::TempPath("window_status_" + name);
}

// No colour ticked, or only the tissue column: refused, the dataset stays loaded, and a tick
// lets the run go without the file dialogs again.
TEST(RunRefusal, WithoutAColourToAnalyseTheDatasetStaysLoaded) {
  for (auto [data, tissue_ticked] : {std::pair{"three_colors.fix", false}, {"tissue.fix", true}}) {
    SCOPED_TRACE(data);
    Window s;
    ASSERT_EQ(
        s.Open(false, {KOLVANE_TEST_DATA "/cli/" + std::string(data), "", "", Temp("refused.scf")}),
        Flow::Continue);
    for (int i = 1; i <= 3; ++i) SetColorTick(s.p, i, i == 1 && tissue_ticked);
    s.host.ExpectMessage("Select at least one color to analyze.");
    EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Stop);
    EXPECT_TRUE(s.p.FixedDataLoaded && s.p.form.CloseIt.enabled && s.p.form.ColorBoxes.visible);
    EXPECT_FALSE(s.p.Busy);
    SetColorTick(s.p, 2, true);
    EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Continue);
    EXPECT_TRUE(s.p.ledger.Complete());
  }
}

TEST(StatusLine, SaysHowToBeginWhatARunDidAndNamesTheFileInTheTitle) {
  Window s;
  const std::string hint = s.p.form.StatusLine.caption;
  EXPECT_NE(hint.find("Open Dataset (Ctrl+O)"), std::string::npos) << hint;
  EXPECT_NE(hint.find("KOLVANE Manual (F1)"), std::string::npos) << hint;
  EXPECT_EQ(s.p.form.caption, "KOLVANE");
  const std::string results = Temp("complete.scf");
  ASSERT_EQ(s.Open(false, testing_window::kFixedFiles, results), Flow::Continue);
  EXPECT_EQ(s.p.form.caption, "tissue_blanks_controls.fix \xE2\x80\x94 KOLVANE");
  EXPECT_EQ(s.p.form.StatusLine.caption, "");
  ASSERT_EQ(RunAnalysis_Click(s.p), Flow::Continue);
  // The example holds 8 pures and 36 samples (its README): 44 record lines.
  EXPECT_EQ(s.p.form.StatusLine.caption, "44 records written to " + results);
  EXPECT_EQ(s.p.form.StatusFolder, results.substr(0, results.find_last_of("/\\")));
  EXPECT_EQ(s.p.form.caption, "KOLVANE");
  // The next command takes the outcome away; Close File brings the hint back.
  s.host.QueueFile("");
  OpenData_Click(s.p);
  EXPECT_EQ(s.p.form.StatusLine.caption, hint);
  EXPECT_EQ(s.p.form.StatusFolder, "");
}

// F12 at S3 and F5 at S5 (answered Yes): the spectra give way to a notice, the results file is
// never written, and the status line counts the record lines the incomplete file holds.
TEST(StatusLine, CountsTheRecordsOfAnAbortedScanRun) {
  Window s;
  const std::string results = Temp("aborted.scf");
  ASSERT_EQ(s.Open(true, kScanFiles, results), Flow::Continue);
  EXPECT_EQ(s.p.form.caption, "small.syn \xE2\x80\x94 KOLVANE");
  std::string last, notice;
  s.host.on_messages = [&](int) {
    const std::string& name = s.p.form.SamplePtr.caption;
    if (name == last) return;
    last = name;
    const SpectrumDisplay& d = s.p.form.Spectra;
    if (name == "Sample S3") Form_KeyDown(s.p, kKeyF12, 0);
    if (name == "Sample S4") notice = d.items.empty() ? d.notice : "a spectrum is drawn";
    if (name == "Sample S5") Form_KeyDown(s.p, kKeyF5, 0);
  };
  s.host.QueueAnswer(Answer::Yes);
  EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Stop);
  // small.syn: six pures and 24 samples have results lines (its README).
  const std::string incomplete = Temp("aborted.incomplete.scf");
  EXPECT_FALSE(std::ifstream(results).good());
  const std::string text = testing_window::FileText(incomplete);
  int written = 0;
  for (std::size_t at = 0; (at = text.find("\n", at) + 1) != 0 && at < text.size();)
    written += (text[at] == 'P' || text[at] == 'S') && std::isdigit(text[at + 1]);
  EXPECT_GE(written, 11) << "P1 to P6 and S1 to S5 at least";
  EXPECT_EQ(s.p.form.StatusLine.caption,
            "Aborted: " + std::to_string(written) + " of 30 records written to " + incomplete);
  std::remove(incomplete.c_str());
  std::remove((incomplete + ".json").c_str());
  EXPECT_EQ(notice, "Display off (F12)");
}

// The load's search: "Finding pures: k of 6" while pure k is searched (k - 1 found), then
// "Finding pures: k of 6 — NAME" once it is found, on a bar of 6; the names, by small.syn's
// README, stay on the pures' entry boxes. (Its keys: tests/synch/scan_flow_test.cpp.)
TEST(PureSearch, ShowsWhereItIsAndNamesEachPureFound) {
  Window s;
  std::vector<std::string> seen;  // each change of the line and bar while the search shows
  s.host.on_messages = [&](int) {
    const MainForm& f = s.p.form;
    if (!f.ProgressBar.visible || !f.Directions.visible) return;
    const std::string shown = f.SamplePtr.caption + " | " + std::to_string(f.Perc_Panel.value) +
                              " of " + std::to_string(f.Perc_Panel.maximum);
    if (seen.empty() || seen.back() != shown) seen.push_back(shown);
  };
  ASSERT_EQ(s.Open(true, kScanFiles, Temp("search.scf")), Flow::Continue);
  const char* const names[] = {"Blue", "Blue-Green", "Green", "Yellow-Green", "Yellow", "Orange"};
  std::vector<std::string> expected;
  for (int k = 1; k <= 6; ++k) {
    const std::string head = "Finding pures: " + std::to_string(k) + " of 6";
    expected.push_back(head + " | " + std::to_string(k - 1) + " of 6");
    expected.push_back(head + " \xE2\x80\x94 " + names[k - 1] + " | " + std::to_string(k) +
                       " of 6");
    EXPECT_EQ(s.p.form.MicrosForColor[k].caption, names[k - 1]);
  }
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(s.p.ScanDataLoaded && !s.p.form.ProgressBar.visible);
}

}  // namespace
}  // namespace kolvane
