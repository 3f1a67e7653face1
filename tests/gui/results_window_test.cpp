// The window around a dataset: the results table over the core's rows (sorting, filter, Ctrl+C,
// the record viewer following the selection and Up/Down), a data file dropped on the window, the
// settings' round trip in a temporary settings path, and the manual.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>

#include "gui/dataset_panel.h"
#include "gui/manual_window.h"
#include "gui/results_panel.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

const std::string kExamples = KOLVANE_SOURCE_DIR "/examples/";

class ResultsWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    // Settings go to a folder of this test's own, never the user's.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName("KOLVANE-test");
    QCoreApplication::setApplicationName("results-window-test");
    WindowTest::SetUp();
  }
  void RunScanExample() {
    host.files = {kExamples + "scan/small.syn", kExamples + "scan/small.slk",
                  dir.filePath("scan.scf").toStdString()};
    window->action_open_data_ss()->trigger();
    QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
    ASSERT_TRUE(program->ledger.Complete());
    window->Mirror();
  }
  // Drops the file on the window; whether the window took the drag.
  bool DropFile(const std::string& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    return enter.isAccepted();
  }
  QTemporaryDir dir, settings;
};

// A study in a deeply nested folder: once the results show beside the form, the window can still
// be made as narrow as a 1366 pixel screen (its layout asks no more), and the dataset's panel
// keeps the whole path as its text.
TEST_F(ResultsWindowTest, AfterARunTheWindowCanFitANarrowScreenWhateverThePaths) {
  program->KeepDatasetAfterRun = true;  // as the program sets it
  QString folder = dir.path();
  for (int i = 0; i < 4; ++i) folder += "/a folder for one of the studies of the year";
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString stem = folder + "/tissue_blanks_controls";
  for (const char* ext : {".fix", ".blk", ".ctl"})
    ASSERT_TRUE(QFile::copy(
        QString::fromStdString(kExamples + "fixed/tissue_blanks_controls") + ext, stem + ext));
  ASSERT_TRUE(DropFile((stem + ".fix").toStdString()));
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  ASSERT_TRUE(program->ledger.Complete());
  window->Mirror();
  ASSERT_TRUE(window->results_dock()->isVisible());
  ASSERT_TRUE(window->dataset_dock()->isVisible());
  EXPECT_EQ(window->dataset_panel()->data_label()->text(), stem + ".fix");

  // Room for the borders, as the window takes it before a window manager framed it. (The
  // height is left to scripts/window-journey.sh: this platform does not keep a window's size.)
  EXPECT_LE(window->minimumSizeHint().width() + 16, 1366);
}

TEST_F(ResultsWindowTest, TableSortsFiltersCopiesAndTheViewerFollowsTheSelection) {
  RunScanExample();
  const ResultsTable& t = p().results;
  ResultsPanel* panel = window->results_panel();
  QTableView* view = panel->view();
  ASSERT_TRUE(window->results_dock()->isVisible());
  ASSERT_EQ(view->model()->rowCount(), t.rows());
  ASSERT_EQ(view->model()->columnCount(), t.columns());

  // Sorted by the second colour, largest first: the first row holds the column's largest value.
  view->sortByColumn(2, Qt::DescendingOrder);
  double largest = -1e300;
  for (int r = 0; r < t.rows(); ++r) largest = std::max(largest, t.cell(r, 2).value);
  EXPECT_EQ(view->model()->index(0, 2).data().toString().toDouble(), largest);
  for (int r = 1; r < t.rows(); ++r)
    EXPECT_GE(view->model()->index(r - 1, 2).data().toString().toDouble(),
              view->model()->index(r, 2).data().toString().toDouble());

  // The filter shows the rows the core lets through.
  int pures = 0;
  for (int r = 0; r < t.rows(); ++r) pures += t.Passes(r, ResultsFilter::Pures);
  panel->filter_box()->setCurrentIndex(1);
  emit panel->filter_box()->activated(1);
  EXPECT_EQ(t.filter, ResultsFilter::Pures);
  EXPECT_EQ(view->model()->rowCount(), pures);
  panel->filter_box()->setCurrentIndex(0);
  emit panel->filter_box()->activated(0);
  ASSERT_EQ(view->model()->rowCount(), t.rows());

  // Selecting a row shows its record; Down steps to the next row in the view's order.
  view->setFocus();
  view->setCurrentIndex(view->model()->index(0, 0));
  EXPECT_EQ(QString::fromStdString(t.fit.name), view->model()->index(0, 0).data().toString());
  EXPECT_TRUE(t.fit.problem.empty());
  EXPECT_EQ(t.fit.point_nm.size(), 30u);
  const int first = t.fit.row;
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(QString::fromStdString(t.fit.name), view->model()->index(1, 0).data().toString());
  EXPECT_NE(t.fit.row, first);

  // Ctrl+C: the selected cells in the view's order, headed.
  view->clearSelection();
  view->selectionModel()->select(
      QItemSelection(view->model()->index(0, 0), view->model()->index(1, 1)),
      QItemSelectionModel::Select);
  QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
  const QString expected = QString("Sample/Wl\t%1\n%2\t%3\n%4\t%5\n")
                               .arg(QString::fromStdString(t.column(1).heading),
                                    view->model()->index(0, 0).data().toString(),
                                    view->model()->index(0, 1).data().toString(),
                                    view->model()->index(1, 0).data().toString(),
                                    view->model()->index(1, 1).data().toString());
  EXPECT_EQ(QApplication::clipboard()->text(), expected);
}

TEST_F(ResultsWindowTest, ADroppedDataFileOpensWithItsCompanions) {
  const QString data = QString::fromStdString(kExamples + "fixed/tissue_blanks_controls.fix");
  EXPECT_TRUE(DropFile(data.toStdString()));
  EXPECT_TRUE(p().FixedDataLoaded && p().BlanksPresent && p().ControlsPresent);
  EXPECT_EQ(p().Dataset.data, data.toStdString());
  ASSERT_TRUE(window->dataset_dock()->isVisible());
  EXPECT_EQ(window->dataset_panel()->companion_label(1)->text().toStdString(),
            kExamples + "fixed/tissue_blanks_controls.ctl");
  // Remove in the window loads the dataset again without it.
  QTest::mouseClick(window->dataset_panel()->remove_button(1), Qt::LeftButton);
  EXPECT_TRUE(p().FixedDataLoaded && !p().ControlsPresent);
  EXPECT_EQ(window->dataset_panel()->companion_label(1)->text(), "(none)");
}

TEST_F(ResultsWindowTest, SettingsRoundTripAndTheRecentMenu) {
  Preferences& prefs = p().prefs;
  NoteRecentDataset(prefs, {"/d/a.fix", "/d/a.blk", ""});
  NoteRecentDataset(prefs, {"/d/b.syn", "", ""});
  prefs.last_folder = "/d";
  prefs.options_kept = prefs.microspheres = true;
  window->resize(900, 700);
  window->SaveSettings();
  prefs = Preferences{};
  window->LoadSettings();
  ASSERT_EQ(prefs.recent.size(), 2u);
  EXPECT_EQ(prefs.recent[0].data, "/d/b.syn");
  EXPECT_EQ(prefs.recent[1], (RecentDataset{"/d/a.fix", "/d/a.blk", ""}));
  EXPECT_EQ(prefs.last_folder, "/d");
  EXPECT_TRUE(prefs.options_kept && prefs.microspheres);
  EXPECT_TRUE(QFileInfo(QSettings().fileName()).absoluteFilePath().startsWith(settings.path()));

  QMenu* recent = window->recent_menu();
  emit recent->aboutToShow();
  QStringList texts;
  for (QAction* a : recent->actions()) texts << a->text();
  EXPECT_EQ(texts, (QStringList{"&1 /d/b.syn", "&2 /d/a.fix", "", "&Clear"}));
  recent->actions().last()->trigger();
  prefs = Preferences{};
  prefs.recent = {{"x", "", ""}};
  window->LoadSettings();
  EXPECT_TRUE(prefs.recent.empty()) << "Clear is remembered";
  EXPECT_TRUE(prefs.last_folder.empty() && !prefs.options_kept);
  EXPECT_FALSE(QSettings().contains("window/geometry"));
}

TEST_F(ResultsWindowTest, ManualIsTheShippedText) {
  window->action_manual()->trigger();
  ManualWindow* manual = window->ShowManual();
  ASSERT_TRUE(manual->isVisible());
  const std::string shipped = testing_window::FileText(KOLVANE_SOURCE_DIR "/docs/manual.md");
  ASSERT_GT(shipped.size(), 1000u);
  EXPECT_EQ(ManualText().toStdString(), shipped);
  EXPECT_EQ(window->action_manual()->shortcut(), QKeySequence(Qt::Key_F1));
}

}  // namespace
}  // namespace kolvane
