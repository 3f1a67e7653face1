// Pictures of the results table, the record viewer, the one-step open and the manual, for a
// person to look at. Not a test: disabled here and run by scripts/screenshots.sh.
#include <QDir>
#include <QDockWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "gui/gui_fixture.h"
#include "gui/manual_window.h"
#include "gui/results_panel.h"

namespace kolvane {
namespace {

template <typename W>
void Picture(W& widget, const char* name) {
  QApplication::processEvents();
  const QString dir = qEnvironmentVariable("KOLVANE_SCREENSHOTS", QDir::currentPath());
  EXPECT_TRUE(QDir().mkpath(dir) && widget.grab().save(dir + "/" + name + ".png")) << name;
}

using Screenshots = WindowTest;

TEST_F(Screenshots, DISABLED_ResultsViewerOpenAndManual) {
  program->KeepDatasetAfterRun = true;
  QTemporaryDir dir;
  const std::string ex = std::string(KOLVANE_SOURCE_DIR) + "/examples/";
  window->resize(1200, 980);
  window->OpenDataset(ex + "fixed/tissue_blanks_controls.fix");
  Picture(*window, "21-open-dataset-companions");
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  window->Mirror();
  Picture(*window, "22-results-fixed");
  window->results_panel()->view()->sortByColumn(3, Qt::DescendingOrder);
  Picture(*window, "23-results-sorted-by-colour");

  // A scan whose samples carry tissue glow, which no pure explains: poor fits.
  const QString base = dir.filePath("tissue");
  ASSERT_EQ(QProcess::execute(QString(KOLVANE_BINARY_DIR) + "/kolvane-simulate",
                              {"scan", "--pures", "6", "--records", "30", "--tissue", "--noise",
                               "3", "--seed", "5", "-o", base}),
            0);
  window->OpenDataset(base.toStdString() + ".syn");
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  window->Mirror();
  const ResultsTable& t = p().results;
  int r2 = 0;
  while (r2 < t.columns() && t.column(r2).heading != "R^2") ++r2;
  ASSERT_LT(r2, t.columns());
  QTableView* view = window->results_panel()->view();
  view->sortByColumn(r2, Qt::AscendingOrder);
  view->setCurrentIndex(view->model()->index(0, 0));
  window->Mirror();
  Picture(*window, "24-record-viewer-poor-fit");

  ManualWindow* manual = window->ShowManual();
  Picture(*manual, "25-manual");
}

}  // namespace
}  // namespace kolvane
