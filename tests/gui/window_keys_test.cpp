// The keyboard in the window and its dialogs: Escape cancels the tissue dialogs, Enter presses
// Analyze.
#include <QPushButton>

#include "app/tissue_dialogs.h"
#include "gui/gui_fixture.h"
#include "gui/tissue_dialogs.h"

namespace kolvane {
namespace {

using WindowKeys = WindowTest;

TEST_F(WindowKeys, EscapeInTheTissueDialogsMeansTheirCancelButton) {
  TissueForm tissue;
  tissue.program = program.get();
  TissueDialog dialog(tissue, nullptr);
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(p().TissueRunCancelled);
  EXPECT_TRUE(tissue.closed);
  EXPECT_FALSE(dialog.isVisible());

  TissueOptionsForm options;
  options.program = program.get();
  TissueOptionsDialog options_dialog(options, nullptr);
  options_dialog.show();
  QTest::keyClick(&options_dialog, Qt::Key_Escape);
  EXPECT_TRUE(p().TissueAbortRun);
  EXPECT_TRUE(options.closed);
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
}

}  // namespace
}  // namespace kolvane
