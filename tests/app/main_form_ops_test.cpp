// The main window's states: start-up, Close File, the option boxes and Exit.
#include "app/main_form_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::FileText;
using testing_window::LoadFixedWindow;
using testing_window::NothingButMenuBar;
using testing_window::Started;

TEST(StartUp, LeavesTheWindowIdleWithOnlyTheMenuBar) {
  Started s;
  const MainForm& f = s.p.form;
  EXPECT_TRUE(NothingButMenuBar(f));
  EXPECT_TRUE(f.OpenData.enabled && f.OpenDataSS.enabled && f.Exit.enabled && f.AbtKOLVANE.enabled);
  EXPECT_FALSE(f.CloseIt.enabled || f.Spillover.enabled || s.p.ResultsInMicrospheres);
  for (int i = 1; i <= 30; ++i)
    EXPECT_TRUE(f.MicrosPerMlFix[i].text == "1000" && s.p.MicrosPerMlValues[i] == 1000.0) << i;
  EXPECT_TRUE(s.p.SolventAmount == 2.0f && s.p.DisplayOn && s.p.CurrentPure == 1);
}

// Close File waits while a load or run reads the files, then returns to idle keeping the
// entries and closing the results file; Exit flushes it too and ends the program.
TEST(CloseFileAndExit, ReturnToIdleOrEndWithTheResultsFileComplete) {
  Started s;
  Program& p = s.p;
  LoadFixedWindow(p, 12, true, true);
  SetMicrosPerMlFixText(p, 3, "250");
  const std::string out = testing_window::TempPath("close_file_results.scf");
  ASSERT_TRUE(p.channels.Out(2).Open(out));
  p.channels.Out(2).WriteLine("head");
  for (bool on : {false, true}) {  // the option boxes follow their ticks
    p.form.BackSub.ticked = p.form.ControlCorr.ticked = on;
    BackSub_Click(p);
    ControlCorr_Click(p);
    EXPECT_TRUE(p.BackgroundOn == on && p.ControlCorrectionOn == on);
  }
  SetBusy(p, true);
  CloseIt_Click(p);
  EXPECT_TRUE(p.form.CloseIt.enabled && p.form.ColorBoxes.visible && p.SelectedColorCount == 12);
  SetBusy(p, false);
  CloseIt_Click(p);
  const MainForm& f = p.form;
  EXPECT_TRUE(NothingButMenuBar(f) && f.OpenData.enabled && f.OpenDataSS.enabled);
  EXPECT_TRUE(!f.CloseIt.enabled && f.Spillover.enabled) << "Spillover as it was";
  for (int i = 1; i <= 30; ++i) EXPECT_FALSE(f.Color[i].ticked || p.ColorSelected[i]) << i;
  EXPECT_EQ(p.SelectedColorCount, 0);
  EXPECT_TRUE(f.ControlCorr.visible && f.Spectra.visible && f.XMin.visible && f.YMax.visible);
  EXPECT_FALSE(p.channels.Out(2).IsOpen());
  EXPECT_EQ(FileText(out), "head\r\n");
  EXPECT_TRUE(f.MicrosPerMlFix[3].text == "250" && p.MicrosPerMlValues[3] == 250.0);
  ASSERT_TRUE(p.channels.Out(2).Open(out));
  p.channels.Out(2).WriteLine("1\t2");
  Exit_Click(p);
  EXPECT_TRUE(s.host.ended && p.Ending);
  EXPECT_EQ(FileText(out), "1\t2\r\n");
}

}  // namespace
}  // namespace kolvane
