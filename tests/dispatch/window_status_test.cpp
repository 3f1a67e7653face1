// What the window tells the user, through the scripted host on the example datasets: the
// refusal of a run without a colour and the status line after each kind of ending.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../app/window_fixtures.h"
#include "app/run_control.h"
#include "dispatch/commands.h"

namespace kolvane {
namespace {

const std::string kExamples = KOLVANE_SOURCE_DIR "/examples/";
const std::string kFixed = kExamples + "fixed/tissue_blanks_controls";

std::string Temp(const std::string& name) {
  return testing_window::TempPath("window_status_" + name);
}

struct Session : testing_window::Started {
  // The files' dialogs answered in turn ("" cancels), then Open Fixed or Open Scan.
  Flow Open(bool scan, const std::vector<std::string>& files) {
    for (const std::string& f : files) host.QueueFile(f);
    host.on_tissue = [](TissueForm& f) { TissueOk_Click(f); };
    return scan ? OpenDataSS_Click(p) : OpenData_Click(p);
  }
  Flow OpenScan(const std::string& results) {
    return Open(true, {kExamples + "scan/small.syn", kExamples + "scan/small.slk", results});
  }
};

// No colour ticked, or only the tissue column: refused, the dataset stays loaded, and a tick
// lets the run go without the file dialogs again.
TEST(RunRefusal, WithoutAColourToAnalyseTheDatasetStaysLoaded) {
  for (auto [data, tissue_ticked] : {std::pair{"three_colors.fix", false}, {"tissue.fix", true}}) {
    SCOPED_TRACE(data);
    Session s;
    ASSERT_EQ(
        s.Open(false, {KOLVANE_TEST_DATA "/cli/" + std::string(data), "", "", Temp("refused.scf")}),
        Flow::Continue);
    for (int i = 1; i <= 3; ++i) SetColorTick(s.p, i, i == 1 && tissue_ticked);
    s.host.ExpectMessage("Select at least one colour to analyse.");
    EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Stop);
    EXPECT_TRUE(s.p.FixedDataLoaded && s.p.form.CloseIt.enabled && s.p.form.ColorBoxes.visible);
    EXPECT_FALSE(s.p.Busy);
    SetColorTick(s.p, 2, true);
    EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Continue);
    EXPECT_TRUE(s.p.RunCompleted);
  }
}

TEST(StatusLine, SaysWhatARunDid) {
  Session s;
  const std::string hint = s.p.form.StatusLine.caption;
  const std::string results = Temp("complete.scf");
  ASSERT_EQ(s.Open(false, {kFixed + ".fix", kFixed + ".blk", kFixed + ".ctl", results}),
            Flow::Continue);
  EXPECT_EQ(s.p.form.StatusLine.caption, "");
  ASSERT_EQ(RunAnalysis_Click(s.p), Flow::Continue);
  // The example holds 8 pures and 36 samples (its README): 44 record lines.
  EXPECT_EQ(s.p.form.StatusLine.caption, "44 records written to " + results);
  EXPECT_EQ(s.p.form.StatusFolder, results.substr(0, results.rfind('/')));
  // The next command takes the outcome away; Close File brings the hint back.
  s.host.QueueFile("");
  OpenData_Click(s.p);
  EXPECT_EQ(s.p.form.StatusLine.caption, hint);
  EXPECT_EQ(s.p.form.StatusFolder, "");
}

// F5 at S5 (answered Yes): the status line counts the record lines the results file holds.
TEST(StatusLine, CountsTheRecordsOfAnAbortedScanRun) {
  Session s;
  const std::string results = Temp("aborted.scf");
  ASSERT_EQ(s.OpenScan(results), Flow::Continue);
  std::string last;
  s.host.on_messages = [&](int) {
    const std::string& name = s.p.form.SamplePtr.caption;
    if (name == last) return;
    last = name;
    if (name == "Sample S5") Form_KeyDown(s.p, kKeyF5, 0);
  };
  s.host.QueueAnswer(Answer::Yes);
  EXPECT_EQ(RunAnalysis_Click(s.p), Flow::Stop);
  // small.syn: six pures and 24 samples have results lines (its README).
  const std::string text = testing_window::FileText(results);
  int written = 0;
  for (std::size_t at = 0; (at = text.find("\n", at) + 1) != 0 && at < text.size();)
    written += (text[at] == 'P' || text[at] == 'S') && std::isdigit(text[at + 1]);
  EXPECT_GE(written, 11) << "P1 to P6 and S1 to S5 at least";
  EXPECT_EQ(s.p.form.StatusLine.caption,
            "Aborted: " + std::to_string(written) + " of 30 records written to " + results);
}

}  // namespace
}  // namespace kolvane
