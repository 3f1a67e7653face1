// The keyboard in the window and its dialogs: entries the user cannot see take no keys, Escape
// cancels the tissue dialogs, Enter presses Analyze; and the form's scroll area on a screen
// smaller than the window.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>

#include "app/tissue_choices.h"
#include "gui/gui_fixture.h"
#include "gui/tissue_dialogs.h"

namespace kolvane {
namespace {

using WindowKeys = WindowTest;

TEST_F(WindowKeys, EntriesOfTheIntensityFormatTakeNoFocusAndNoKeys) {
  testing_window::LoadFixedWindow(p(), 3, true, false);
  window->Mirror();
  window->color(1)->setFocus();
  for (int tab = 0; tab < 12; ++tab) {
    QWidget* focus = QApplication::focusWidget();
    for (int i = 1; i <= 3; ++i) EXPECT_NE(focus, window->micros_per_ml_fix(i)) << tab;
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  for (int i = 1; i <= 3; ++i) EXPECT_FALSE(window->micros_per_ml_fix(i)->isVisible()) << i;
  EXPECT_EQ(p().form.MicrosPerMlFix[1].text, "1000");
  QTest::mouseClick(window->results_radio(1), Qt::LeftButton);
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(window->micros_per_ml_fix(i)->isVisible()) << i;
}

// Shows the dialog of `form` and presses Escape in it; true when the dialog then is closed.
template <class Dialog, class Form>
bool EscapeCloses(Form& form, Program* program) {
  form.program = program;
  Dialog dialog(form, nullptr);
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  return form.closed && !dialog.isVisible();
}

TEST_F(WindowKeys, EscapeInTheTissueDialogsMeansTheirCancelButton) {
  TissueForm tissue;
  EXPECT_TRUE(EscapeCloses<TissueDialog>(tissue, program.get()));
  EXPECT_TRUE(p().TissueRunCancelled);
  TissueOptionsForm options;
  EXPECT_TRUE(EscapeCloses<TissueOptionsDialog>(options, program.get()));
  EXPECT_TRUE(p().TissueAbortRun);
}

TEST_F(WindowKeys, EnterPressesAnalyzeOnlyWhileTheOptionPanelShowsIt) {
  QTest::keyClick(window.get(), Qt::Key_Return);  // idle: nothing happens
  testing_window::LoadFixedWindow(p(), 3, false, false);
  p().MatrixReady = false;  // Analyze then answers with a message and keeps the dataset
  window->Mirror();
  window->color(2)->setFocus();
  QTest::keyClick(window->color(2), Qt::Key_Return);
  EXPECT_EQ(host.messages, std::vector<std::string>{
                               "There is no spillover matrix data available for this dataset.  "
                               "Please use the 'New Spillover Matrix' menu option to associate a "
                               "matrix with this dataset."});
  EXPECT_EQ(window->run_analysis()->text(), "&Analyze");
  EXPECT_EQ(window->back_sub()->text(), "&Background Subtraction");
  EXPECT_EQ(window->results_radio(1)->text(), "&Microspheres/ml");
}

TEST(FormScrollArea, FitsTheScreenAndKeepsTheFormSizeWhenThereIsRoom) {
  struct Case {
    QSize form, room, expected;
  } cases[] = {
      {{760, 507}, {1900, 1000}, {760, 507}},  // room: exactly the form, no scroll bar
      {{760, 507}, {760, 507}, {760, 507}},
      {{1520, 1014}, {1584, 870}, {1520 + 17, 870}},  // x2 on 1600 x 1000: cut at the foot
      {{1520, 1014}, {1000, 1200}, {1000, 1014 + 17}},
      {{1520, 1014}, {1000, 800}, {1000, 800}},
      {{760, 507}, {-10, 300}, {0, 300}},  // the panels beside take more than the screen
  };
  for (const Case& c : cases)
    EXPECT_EQ(MainWindow::FitFormToRoom(c.form, c.room, 17), c.expected)
        << c.room.width() << "x" << c.room.height();
}

}  // namespace
}  // namespace kolvane
