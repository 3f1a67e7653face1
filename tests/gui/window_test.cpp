// The window as a user drives it: the menu command loads, the Analyze button runs and the
// results file is byte for byte the one kolvane-batch writes from the same files; the matrix
// picture; the run keys reach a running analysis; typed numbers follow the user's locale.
#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <tuple>

#include "app/color_panel.h"
#include "app/matrix_picture.h"
#include "gui/matrix_dialog.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

class WindowRunTest : public WindowTest {
 protected:
  // Queues the files of a dataset (`base` plus .fix, .blk, .ctl or .syn, .slk) and the results
  // file, and returns the batch's words for the same files.
  QStringList Queue(bool scan, const std::string& base) {
    host.files = {base + (scan ? ".syn" : ".fix"), base + (scan ? ".slk" : ".blk")};
    if (!scan) host.files.push_back(base + ".ctl");
    QStringList args = {scan ? "scan" : "fixed", QString::fromStdString(host.files[0]), "--blanks",
                        QString::fromStdString(host.files[1])};
    if (!scan) args << "--controls" << QString::fromStdString(host.files[2]);
    host.files.push_back(dir.filePath("window.scf").toStdString());
    return args << "-o" << dir.filePath("batch.scf");
  }
  void ExpectTheBatchWritesTheSame(const QStringList& args) {
    QProcess batch;
    batch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    batch.start(QString(KOLVANE_BINARY_DIR) + "/kolvane-batch", args);
    ASSERT_TRUE(batch.waitForFinished(600000) && batch.exitCode() == 0);
    const std::string bytes = testing_window::FileText(dir.filePath("window.scf").toStdString());
    EXPECT_GT(bytes.size(), 500u);
    EXPECT_EQ(bytes, testing_window::FileText(dir.filePath("batch.scf").toStdString()));
  }
  QTemporaryDir dir;
};

// Each example through the menu and the Analyze button: the results file is the batch's, the
// record beside it names every input, and the View menu's matrix picture has one cell per
// matrix entry and saves as PNG and SVG.
TEST_F(WindowRunTest, BothAnalysesThroughTheWindowWriteWhatTheBatchWrites) {
  const std::string ex = std::string(KOLVANE_SOURCE_DIR) + "/examples/";
  EXPECT_FALSE(window->action_matrix_view()->isEnabled()) << "before the first run";
  for (auto [scan, base, rows, cols] :
       {std::tuple{true, "scan/small", 6, 30}, {false, "fixed/tissue_blanks_controls", 7, 7}}) {
    SCOPED_TRACE(base);
    const QStringList args = Queue(scan, ex + base);
    const std::vector<std::string> inputs(host.files.begin(), host.files.end() - 1);
    QElapsedTimer load;
    load.start();
    (scan ? window->action_open_data_ss() : window->action_open_data())->trigger();
    // The pure search goes straight on from one pure to the next (it once paused a second on
    // each: six seconds here).
    EXPECT_LT(load.elapsed(), 3000);
    ASSERT_TRUE(window->run_analysis()->isVisible());
    QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
    EXPECT_TRUE(host.messages.empty() && program->ledger.Complete());
    EXPECT_TRUE(window->action_open_data()->isEnabled() && !window->action_close_it()->isEnabled());
    ExpectTheBatchWritesTheSame(args);
    const std::string record =
        testing_window::FileText(dir.filePath("window.scf.json").toStdString());
    for (const std::string& f : inputs) EXPECT_NE(record.find(f), std::string::npos) << f;
    EXPECT_NE(record.find("\"complete\""), std::string::npos);

    window->Mirror();
    EXPECT_TRUE(window->action_matrix_view()->isEnabled());
    MatrixDialog dialog(MakeMatrixPicture(p().figures), window.get());
    const MatrixPicture& pic = dialog.view()->picture();
    ASSERT_EQ(pic.cells.size(), static_cast<std::size_t>(rows));
    ASSERT_EQ(pic.column_names.size(), static_cast<std::size_t>(cols));
    const QString svg = dir.filePath("m.svg"), png = dir.filePath("m.png");
    EXPECT_TRUE(dialog.SavePicture(svg.toStdString()).empty() &&
                dialog.SavePicture(png.toStdString()).empty());
    EXPECT_FALSE(QImage(png).isNull());
    EXPECT_EQ(
        QString::fromStdString(testing_window::FileText(svg.toStdString())).count("class=\"cell\""),
        rows * cols);
    EXPECT_NE(dialog.SavePicture("/nonexistent/m.svg"), "");
  }
}

double CpuSeconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// During a scan run: F12 turns the display off, F11 pauses without spinning the processor and
// F11 resumes, F5 asks before aborting and No lets the run finish as if nothing happened.
TEST_F(WindowRunTest, RunKeysReachARunningScanAnalysis) {
  const QStringList args = Queue(true, std::string(KOLVANE_TEST_DATA) + "/gui/small_scan");
  host.answers = {Answer::No};
  window->action_open_data_ss()->trigger();
  ASSERT_TRUE(program->ScanDataLoaded);
  int step = 0;
  host.on_form_changed = [&] {
    if (step == 0 && program->ledger.records_read >= 3) {
      step = 1;
      QTest::keyClick(window->run_analysis(), Qt::Key_F12);
      EXPECT_FALSE(program->DisplayOn);
      QTest::keyClick(window.get(), Qt::Key_F11);
    } else if (step == 2 && program->ledger.records_read >= 8) {
      step = 3;
      QTest::keyClick(window->client(), Qt::Key_F5);
    }
  };
  // Watches the paused run from the event loop and lets it go on after 300 ms.
  double cpu_at_pause = 0, cpu_during_pause = -1;
  QElapsedTimer paused_for;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (step != 1 || window->directions()->text() != "Paused.  Press F11 to Restart.") return;
    if (!paused_for.isValid()) {
      paused_for.start();
      cpu_at_pause = CpuSeconds();
    } else if (paused_for.elapsed() >= 300) {
      cpu_during_pause = CpuSeconds() - cpu_at_pause;
      step = 2;
      QTest::keyClick(window->client(), Qt::Key_F11);
    }
  });
  watch.start(20);
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  host.on_form_changed = nullptr;
  EXPECT_EQ(step, 3);
  EXPECT_GE(cpu_during_pause, 0) << "the run never paused";
  EXPECT_LT(cpu_during_pause, 0.1) << "a spinning pause would use the whole 0.3 s";
  EXPECT_EQ(host.questions, std::vector<std::string>{"Do you want to abort the current run?"});
  EXPECT_TRUE(program->ledger.Complete());
  ExpectTheBatchWritesTheSame(args);
}

// Each key changes the entry; the number follows the user's locale.
TEST_F(WindowTest, TypedNumbersFollowTheLocaleAndABusyWindowRefusesCommands) {
  testing_window::LoadFixedWindow(p(), 8, false, false);
  window->Mirror();
  QTest::mouseClick(window->results_radio(1), Qt::LeftButton);  // microspheres/ml
  QLineEdit* entry = window->micros_per_ml_fix(1);
  EXPECT_TRUE(entry->hasFocus() && entry->selectedText() == "1000") << "typing replaces it";
  QLocale::setDefault(QLocale(QLocale::German));
  QTest::keyClicks(entry, "2,5");
  EXPECT_EQ(p().MicrosPerMlValues[1], 2.5);
  QLocale::setDefault(QLocale::c());
  entry->selectAll();
  QTest::keyClicks(entry, "12abc");
  EXPECT_EQ(p().MicrosPerMlValues[1], -1.0);
  SetBusy(p(), true);  // a queued shortcut does nothing while busy
  window->Mirror();
  EXPECT_FALSE(window->action_close_it()->isEnabled() || window->color(1)->isEnabled());
  window->action_close_it()->trigger();
  EXPECT_TRUE(window->widget_named("ColorBoxes")->isVisible());
  SetBusy(p(), false);
  window->close();  // closing the window is Exit
  EXPECT_TRUE(host.ended && p().Ending);
}

}  // namespace
}  // namespace kolvane
