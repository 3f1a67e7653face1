// The main window as a view: what start-up shows, that user events reach the named handlers,
// that program-made changes are mirrored without calling handlers again, and where controls
// sit on the screen.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "app/color_panel.h"
#include "app/run_control.h"
#include "gui/plot_canvas.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, StartUpShowsOnlyTheMenuBarWithTheIdleCommands) {
  EXPECT_EQ(window->windowTitle(), "Fluorescence Spillover Correction");
  for (const char* panel :
       {"ColorBoxes", "MicroBox", "FileStats", "SynchFrame", "ProgressBar", "Directions"}) {
    EXPECT_FALSE(Shown(panel)) << panel;
  }
  const QList<QAction*> menus = window->menuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  EXPECT_EQ(menus[0]->text(), "&File");
  EXPECT_EQ(menus[1]->text(), "&View");
  EXPECT_EQ(menus[2]->text(), "&Help");

  struct Expect {
    QAction* action;
    const char* text;
    bool enabled;
    QKeySequence keys;
  };
  const Expect expected[] = {
      {window->action_open_data(), "&Open Fixed Wavelength File", true, QKeySequence("Ctrl+O")},
      {window->action_open_data_ss(), "Open &Synchronous Scan File", true,
       QKeySequence("Ctrl+Shift+O")},
      {window->action_close_it(), "&Close File", false, QKeySequence("Ctrl+W")},
      {window->action_spillover(), "New Spillover &Matrix", false, QKeySequence("Ctrl+M")},
      {window->action_exit(), "E&xit", true, QKeySequence("Ctrl+Q")},
      {window->action_about(), "&About KOLVANE...", true, QKeySequence()},
  };
  for (const Expect& e : expected) {
    EXPECT_EQ(e.action->text(), e.text);
    EXPECT_EQ(e.action->isEnabled(), e.enabled) << e.text;
    EXPECT_EQ(e.action->shortcut(), e.keys) << e.text;
  }
  EXPECT_EQ(window->action_about()->parent(), menus[2]->menu());
}

TEST_F(MainWindowTest, ClickingAColourBoxReachesColorClick) {
  SimulateFixedLoad(p(), 8, true, true);
  window->Mirror();
  ASSERT_EQ(p().SelectedColorCount, 8);
  QCheckBox* box = window->color(3);
  ASSERT_TRUE(box->isVisible());
  ASSERT_TRUE(box->isChecked());
  const QPoint indicator(6, box->height() / 2);

  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
  EXPECT_FALSE(form().Color[3].ticked);
  EXPECT_FALSE(p().ColorSelected[3]);
  EXPECT_EQ(p().SelectedColorCount, 7);
  EXPECT_FALSE(box->isChecked());

  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
  EXPECT_TRUE(p().ColorSelected[3]);
  EXPECT_EQ(p().SelectedColorCount, 8);

  // Program-made ticks are mirrored without calling the handler again.
  SetColorTick(p(), 2, false);  // runs Color_Click once: 8 - 1
  window->Mirror();
  EXPECT_FALSE(window->color(2)->isChecked());
  EXPECT_EQ(p().SelectedColorCount, 7);
  CloseIt_Click(p());
  window->Mirror();
  EXPECT_EQ(p().SelectedColorCount, 0);
  for (int i = 1; i <= 8; ++i) EXPECT_FALSE(window->color(i)->isChecked()) << i;
  EXPECT_FALSE(Shown("ColorBoxes"));
}

TEST_F(MainWindowTest, RunKeysReachFormKeyDownWhileAnEntryBoxHasTheFocus) {
  SimulateFixedLoad(p(), 4, false, false);
  window->Mirror();
  QTest::mouseClick(window->results_radio(1), Qt::LeftButton);  // microspheres/ml
  ASSERT_TRUE(p().ResultsInMicrospheres);
  QLineEdit* entry = window->micros_per_ml_fix(2);
  ASSERT_TRUE(entry->isVisible());
  entry->setFocus();
  ASSERT_TRUE(entry->hasFocus());

  QTest::keyClick(entry, Qt::Key_F11);
  EXPECT_TRUE(p().PauseRequested);
  EXPECT_TRUE(p().InterruptRequested);
  EXPECT_EQ(window->directions()->text(), "Pausing.  Please Wait.");
  EXPECT_EQ(entry->text(), "1000");

  QTest::keyClick(entry, Qt::Key_F11);  // a second F11 before any poll turns into an abort
  EXPECT_FALSE(p().PauseRequested);
  EXPECT_EQ(window->directions()->text(), "F5 - Abort   F11 - Pause   F12 - Toggle Display");

  ASSERT_TRUE(p().DisplayOn);
  QTest::keyClick(window->color(1), Qt::Key_F12);
  EXPECT_FALSE(p().DisplayOn);

  // Holding F12 down must not flip the display on every repeat.
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(entry, &repeat);
  EXPECT_FALSE(p().DisplayOn);
}

TEST_F(MainWindowTest, TypingReplacesTheEntryAndReachesTheChangeHandler) {
  SimulateFixedLoad(p(), 3, false, false);
  window->Mirror();
  QTest::mouseClick(window->results_radio(1), Qt::LeftButton);
  QLineEdit* entry = window->micros_per_ml_fix(1);
  // The format change put the focus into the first entry with its text selected.
  EXPECT_TRUE(entry->hasFocus());
  EXPECT_EQ(entry->selectedText(), "1000");
  EXPECT_TRUE(form().focus.control.empty());

  QTest::keyClicks(entry, "250");
  EXPECT_EQ(form().MicrosPerMlFix[1].text, "250");
  EXPECT_EQ(p().MicrosPerMlValues[1], 250.0);
  QTest::keyClick(entry, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(entry, "abc");
  EXPECT_EQ(p().MicrosPerMlValues[1], -1.0);
}

TEST_F(MainWindowTest, PositionsAreTwipsOverFifteenAtNinetySixDpi) {
  if (window->logicalDpiX() != 96) GTEST_SKIP() << "screen is not 96 dpi";
  SimulateFixedLoad(p(), 4, true, true);
  OFResults_Radio_Click(p(), 1);
  window->Mirror();
  auto expected = [](const Twips& t) {
    auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
    return QRect(px(t.left), px(t.top), px(t.width), px(t.height));
  };
  const struct {
    const char* name;
    const Twips& twips;
  } controls[] = {
      {"ColorBoxes", form().ColorBoxes.geometry},
      {"Color(1)", form().Color[1].geometry},
      {"Color(4)", form().Color[4].geometry},
      {"MicrosPerMlFix(3)", form().MicrosPerMlFix[3].geometry},
      {"FileStats", form().FileStats.geometry},
      {"SynchFrame", form().SynchFrame.geometry},
      {"SynchDataBox", form().SynchDataBox.geometry},
      {"BackSub", form().BackSub.geometry},
      {"ControlCorr", form().ControlCorr.geometry},
      {"RunAnalysis", form().RunAnalysis.geometry},
      {"Directions", form().Directions.geometry},
      {"Perc_Panel", form().Perc_Panel.geometry},
      {"Spectra", form().Spectra.geometry},
  };
  for (const auto& c : controls) {
    QWidget* w = window->widget_named(c.name);
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_EQ(w->geometry(), expected(c.twips)) << c.name;
  }
  // The rows of the microspheres/ml format with blanks and controls.
  EXPECT_EQ(window->back_sub()->y(), 86);       // 1290 twips
  EXPECT_EQ(window->control_corr()->y(), 106);  // 1590 twips
  EXPECT_EQ(window->run_analysis()->y(), 127);  // 1900 twips
  EXPECT_EQ(window->client()->size(),
            QSize(static_cast<int>(std::lround(form().geometry.width / 15.0)),
                  static_cast<int>(std::lround(form().geometry.height / 15.0))));
}

TEST_F(MainWindowTest, WhileBusyTheFileCommandsAndTheColourChoiceAreOutOfReach) {
  SimulateFixedLoad(p(), 4, true, false);
  window->Mirror();
  // Each line of the instruction text shows.
  ASSERT_TRUE(Shown("Directions"));
  EXPECT_EQ(
      window->directions()->text().split('\n'),
      QStringList({"* Select result file format (Fluorimeter Intensities or Microspheres/ml).",
                   "* Select or deselect Background Subtraction.",
                   "* Select or deselect those colors to be analyzed.",
                   "* Press 'Analyze' button to start analysis."}));
  const struct {
    QAction* action;
    bool busy_enabled;
  } actions[] = {{window->action_open_data(), false}, {window->action_open_data_ss(), false},
                 {window->action_close_it(), false},  {window->action_spillover(), false},
                 {window->action_exit(), true},       {window->action_about(), true}};
  SetBusy(p(), true);
  window->Mirror();
  for (const auto& a : actions)
    EXPECT_EQ(a.action->isEnabled(), a.busy_enabled) << a.action->text().toStdString();
  EXPECT_FALSE(window->color(1)->isEnabled());
  // A shortcut that was already queued does nothing either (the strict host would fail on a
  // dialog or message).
  window->action_close_it()->trigger();
  EXPECT_TRUE(Shown("ColorBoxes"));

  SetBusy(p(), false);
  window->Mirror();
  EXPECT_TRUE(window->action_close_it()->isEnabled());
  EXPECT_TRUE(window->color(1)->isEnabled());
}

TEST_F(MainWindowTest, AnalyzeMenuCommandsAndClosingCallTheirHandlers) {
  SimulateFixedLoad(p(), 4, false, false);
  p().MatrixReady = false;
  window->Mirror();
  host.ExpectMessage(
      "There is no spillover matrix data available to for this dataset.  Please use the 'New "
      "Spillover Matrix' menu option to associate a matrix with this dataset.");
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  EXPECT_TRUE(p().FixedDataLoaded);

  window->action_about()->trigger();
  EXPECT_EQ(host.about_shown, 1);

  window->action_close_it()->trigger();
  EXPECT_FALSE(Shown("ColorBoxes"));
  EXPECT_TRUE(window->action_open_data()->isEnabled());
  EXPECT_FALSE(window->action_close_it()->isEnabled());

  window->close();  // closing the window is Exit
  EXPECT_TRUE(host.ended);
  EXPECT_TRUE(p().Ending);
}

TEST_F(MainWindowTest, CaptionsFromDataFilesShowAsWritten) {
  SimulateFixedLoad(p(), 2, false, false);
  form().Color[2].caption = "Red & Blue";
  form().PureStat.caption = "<b>7</b>";
  window->Mirror();
  EXPECT_EQ(window->color(2)->text(), "Red && Blue");  // "&&" shows one ampersand
  auto* pures = qobject_cast<QLabel*>(window->widget_named("PureStat"));
  ASSERT_NE(pures, nullptr);
  EXPECT_EQ(pures->textFormat(), Qt::PlainText);
}

TEST_F(MainWindowTest, ScanRunShowsProgressAndTheSpectrumInsteadOfTheOptions) {
  SimulateScanLoad(p(), 5, true);
  window->Mirror();
  EXPECT_TRUE(Shown("MicroBox"));
  EXPECT_TRUE(Shown("SynchDataBox"));
  EXPECT_FALSE(Shown("Spectra"));
  EXPECT_TRUE(Shown("MicrosForColor(5)"));
  EXPECT_FALSE(Shown("MicrosForColor(6)"));

  SimulateScanRun(p(), 120, 400);
  window->Mirror();
  EXPECT_FALSE(Shown("SynchDataBox"));
  EXPECT_TRUE(Shown("Spectra"));
  EXPECT_TRUE(Shown("Perc_Panel"));
  EXPECT_EQ(window->perc_panel()->value(), 30);
  EXPECT_EQ(window->sample_ptr()->text(), "Sample S120");
}

}  // namespace
}  // namespace kolvane
