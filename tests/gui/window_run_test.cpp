// Whole analyses through the window: the menu command loads, the Analyze button runs, and the
// results file is byte for byte the one the batch program writes from the same files. The
// host is the real QtHost (event passes, mirroring, spectrum canvas) with the questions
// answered from a queue.
//
// Set KOLVANE_GUI_MEASURE_SCAN=/path/base (base.syn and base.slk) to time a large scan run
// through the window against kolvane-batch on the same files, and KOLVANE_GUI_MEASURE_FIXED
// (base.fix, base.blk, base.ctl) for a fixed-wavelength run.
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <functional>

#include "app/tissue_dialogs.h"
#include "gui/qt_host.h"
#include "gui/plot_canvas.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

class AnsweringQtHost : public QtHost {
 public:
  std::deque<std::string> files;
  std::vector<std::string> messages;
  int one_second_waits = 0;
  bool skip_one_second_waits = true;
  std::function<void()> on_form_changed;

  std::string AskFile(const FileDialogRequest& request) override {
    if (files.empty()) {
      ADD_FAILURE() << "unexpected file dialog: " << request.title;
      return "";
    }
    std::string f = files.front();
    files.pop_front();
    return f;
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  Answer AskYesNo(const std::string& text, const std::string&) override {
    ADD_FAILURE() << "unexpected question: " << text;
    return Answer::No;
  }
  // The tissue dialog's preselected answer, as kolvane-batch takes it by default.
  void ShowTissueDialog(TissueForm& form) override { TissueOk_Click(form); }
  void ShowTissueOptionsDialog(TissueOptionsForm& form) override {
    TissueOptionsUseProvided_Click(form);
  }
  void FormChanged() override {
    if (on_form_changed) on_form_changed();
    QtHost::FormChanged();
  }
  void WaitOneSecond() override {
    ++one_second_waits;
    if (!skip_one_second_waits) QtHost::WaitOneSecond();
  }
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString BatchProgram() {
  return QString(KOLVANE_BINARY_DIR) + "/kolvane-batch";
}

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs kolvane-batch and returns its wall time in seconds (negative when it failed).
double RunBatch(const QStringList& args) {
  QProcess batch;
  batch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  batch.setStandardInputFile(QProcess::nullDevice());
  QElapsedTimer clock;
  clock.start();
  batch.start(BatchProgram(), args);
  if (!batch.waitForFinished(600000) || batch.exitCode() != 0) return -1;
  return clock.nsecsElapsed() / 1e9;
}

class WindowRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    ASSERT_TRUE(dir.isValid());
    program = std::make_unique<Program>(host);
    window = std::make_unique<MainWindow>(*program);
    host.Attach(window.get(), [this] {
      QElapsedTimer clock;
      clock.start();
      window->Mirror();
      mirror_nsecs += clock.nsecsElapsed();
    });
    Form_Load(*program, 15360, 11520);
    window->Mirror();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override {
    window.reset();
    program.reset();
    EXPECT_TRUE(host.files.empty()) << "file answers left unused";
  }
  static std::string Data(const char* name) {
    return std::string(KOLVANE_TEST_DATA) + "/gui/" + name;
  }
  std::string Out(const char* name) { return dir.filePath(name).toStdString(); }

  // Loads through the menu and runs through the Analyze button; returns the run's seconds.
  double LoadAndRun(QAction* open) {
    open->trigger();
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    EXPECT_TRUE(window->run_analysis()->isVisible());
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
    return clock.nsecsElapsed() / 1e9;
  }

  void ExpectIdle() {
    EXPECT_FALSE(program->Busy);
    EXPECT_TRUE(window->action_open_data()->isEnabled());
    EXPECT_FALSE(window->action_close_it()->isEnabled());
    EXPECT_FALSE(window->widget_named("ColorBoxes")->isVisible());
    EXPECT_FALSE(window->widget_named("MicroBox")->isVisible());
  }

  QTemporaryDir dir;
  qint64 mirror_nsecs = 0;
  AnsweringQtHost host;
  std::unique_ptr<Program> program;
  std::unique_ptr<MainWindow> window;
};

TEST_F(WindowRunTest, ScanAnalysisThroughTheWindowWritesWhatTheBatchWrites) {
  host.files = {Data("small_scan.syn"), Data("small_scan.slk"), Out("window.scf")};
  LoadAndRun(window->action_open_data_ss());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(program->RunCompleted);
  EXPECT_GT(host.one_second_waits, 0);  // the run's pure search pauses on each pure it shows
  ExpectIdle();

  if (!QFileInfo::exists(BatchProgram())) GTEST_SKIP() << "kolvane-batch is not built";
  ASSERT_GT(RunBatch({"scan", QString::fromStdString(Data("small_scan.syn")), "--blanks",
                      QString::fromStdString(Data("small_scan.slk")), "-o",
                      QString::fromStdString(Out("batch.scf"))}),
            0);
  const QByteArray window_results = ReadAll(QString::fromStdString(Out("window.scf")));
  EXPECT_GT(window_results.size(), 1000);
  EXPECT_TRUE(window_results == ReadAll(QString::fromStdString(Out("batch.scf"))));
}

TEST_F(WindowRunTest, FixedAnalysisThroughTheWindowWritesWhatTheBatchWrites) {
  host.files = {Data("small_fixed.fix"), Data("small_fixed.blk"), Data("small_fixed.ctl"),
                Out("window.scf")};
  LoadAndRun(window->action_open_data());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(program->RunCompleted);
  ExpectIdle();

  if (!QFileInfo::exists(BatchProgram())) GTEST_SKIP() << "kolvane-batch is not built";
  ASSERT_GT(RunBatch({"fixed", QString::fromStdString(Data("small_fixed.fix")), "--blanks",
                      QString::fromStdString(Data("small_fixed.blk")), "--controls",
                      QString::fromStdString(Data("small_fixed.ctl")), "-o",
                      QString::fromStdString(Out("batch.scf"))}),
            0);
  const QByteArray window_results = ReadAll(QString::fromStdString(Out("window.scf")));
  EXPECT_GT(window_results.size(), 500);
  EXPECT_TRUE(window_results == ReadAll(QString::fromStdString(Out("batch.scf"))));
}

TEST_F(WindowRunTest, F11PausesAScanRunWithoutSpinningAndF11ResumesIt) {
  host.files = {Data("small_scan.syn"), Data("small_scan.slk"), Out("window.scf")};
  window->action_open_data_ss()->trigger();
  ASSERT_TRUE(program->ScanDataLoaded);

  // Pressed once records are going by; released after 400 ms of pause.
  host.on_form_changed = [this] {
    if (program->scan.RecordsDone < 5) return;
    host.on_form_changed = nullptr;
    QTest::keyClick(window.get(), Qt::Key_F11);
  };
  QElapsedTimer paused_for;
  double cpu_at_pause = 0, cpu_during_pause = -1;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const bool paused = window->directions()->text() == "Paused.  Press F11 to Restart.";
    if (paused && !paused_for.isValid()) {
      paused_for.start();
      cpu_at_pause = CpuSeconds(RUSAGE_SELF);
    } else if (paused && paused_for.elapsed() >= 400 && cpu_during_pause < 0) {
      cpu_during_pause = CpuSeconds(RUSAGE_SELF) - cpu_at_pause;
      QTest::keyClick(window->client(), Qt::Key_F11);
    }
  });
  watch.start(20);
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  watch.stop();

  ASSERT_TRUE(paused_for.isValid()) << "the run never paused";
  ASSERT_GE(cpu_during_pause, 0) << "the pause was never released";
  // Waiting on the event queue: a spinning pause would use the whole 0.4 s.
  EXPECT_LT(cpu_during_pause, 0.1);
  EXPECT_TRUE(program->RunCompleted);
  EXPECT_TRUE(host.messages.empty());
  if (!QFileInfo::exists(BatchProgram())) GTEST_SKIP() << "kolvane-batch is not built";
  ASSERT_GT(RunBatch({"scan", QString::fromStdString(Data("small_scan.syn")), "--blanks",
                      QString::fromStdString(Data("small_scan.slk")), "-o",
                      QString::fromStdString(Out("batch.scf"))}),
            0);
  EXPECT_TRUE(ReadAll(QString::fromStdString(Out("window.scf"))) ==
              ReadAll(QString::fromStdString(Out("batch.scf"))));
}

TEST_F(WindowRunTest, MeasureALargeScanRunAgainstTheBatch) {
  const QByteArray base = qgetenv("KOLVANE_GUI_MEASURE_SCAN");
  if (base.isEmpty()) GTEST_SKIP() << "set KOLVANE_GUI_MEASURE_SCAN=/path/base to measure";
  if (!QFileInfo::exists(BatchProgram())) GTEST_SKIP() << "kolvane-batch is not built";
  const std::string syn = base.toStdString() + ".syn", slk = base.toStdString() + ".slk";
  host.files = {syn, slk, Out("window.scf")};

  QElapsedTimer clock;
  clock.start();
  const double cpu_start = CpuSeconds(RUSAGE_SELF);
  window->action_open_data_ss()->trigger();
  const double load = clock.nsecsElapsed() / 1e9;
  ASSERT_TRUE(host.messages.empty()) << host.messages.front();
  const long long passes_before = host.event_passes();
  const double event_seconds_before = host.event_seconds();
  const qint64 mirror_before = mirror_nsecs;
  const int paints_before = window->spectra()->paint_count();
  clock.restart();
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  const double run = clock.nsecsElapsed() / 1e9;
  const double window_cpu = CpuSeconds(RUSAGE_SELF) - cpu_start;
  ASSERT_TRUE(program->RunCompleted);
  const long long passes = host.event_passes() - passes_before;
  const double event_seconds = host.event_seconds() - event_seconds_before;
  const double mirror_seconds = (mirror_nsecs - mirror_before) / 1e9;
  const int paints = window->spectra()->paint_count() - paints_before;

  const double children_before = CpuSeconds(RUSAGE_CHILDREN);
  const double batch =
      RunBatch({"scan", QString::fromStdString(syn), "--blanks", QString::fromStdString(slk), "-o",
                QString::fromStdString(Out("batch.scf"))});
  ASSERT_GT(batch, 0);
  const double batch_cpu = CpuSeconds(RUSAGE_CHILDREN) - children_before;
  EXPECT_TRUE(ReadAll(QString::fromStdString(Out("window.scf"))) ==
              ReadAll(QString::fromStdString(Out("batch.scf"))));
  std::printf(
      "window: load %.2f s, run %.2f s wall, %.2f s processor (%lld event passes taking %.3f s, "
      "of which mirroring %.3f s, "
      "%d spectrum paints, %d one-second waits skipped)\n"
      "batch:  load and run %.2f s wall, %.2f s processor\n"
      "window / batch: %.2f wall, %.2f processor; event passes %.1f%% of the window's run\n",
      load, run, window_cpu, passes, event_seconds, mirror_seconds, paints, host.one_second_waits,
      batch, batch_cpu, (load + run) / batch, window_cpu / batch_cpu, 100.0 * event_seconds / run);
}

TEST_F(WindowRunTest, MeasureALargeFixedRunAgainstTheBatch) {
  const QByteArray base = qgetenv("KOLVANE_GUI_MEASURE_FIXED");
  if (base.isEmpty()) GTEST_SKIP() << "set KOLVANE_GUI_MEASURE_FIXED=/path/base to measure";
  if (!QFileInfo::exists(BatchProgram())) GTEST_SKIP() << "kolvane-batch is not built";
  const std::string fix = base.toStdString() + ".fix", blk = base.toStdString() + ".blk",
                    ctl = base.toStdString() + ".ctl";
  host.files = {fix, blk, ctl, Out("window.scf")};

  QElapsedTimer clock;
  clock.start();
  const double cpu_start = CpuSeconds(RUSAGE_SELF);
  window->action_open_data()->trigger();
  const double load = clock.nsecsElapsed() / 1e9;
  ASSERT_TRUE(host.messages.empty()) << host.messages.front();
  clock.restart();
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  const double run = clock.nsecsElapsed() / 1e9;
  const double window_cpu = CpuSeconds(RUSAGE_SELF) - cpu_start;
  ASSERT_TRUE(program->RunCompleted);

  const double children_before = CpuSeconds(RUSAGE_CHILDREN);
  const double batch = RunBatch(
      {"fixed", QString::fromStdString(fix), "--blanks", QString::fromStdString(blk), "--controls",
       QString::fromStdString(ctl), "-o", QString::fromStdString(Out("batch.scf"))});
  ASSERT_GT(batch, 0);
  const double batch_cpu = CpuSeconds(RUSAGE_CHILDREN) - children_before;
  EXPECT_TRUE(ReadAll(QString::fromStdString(Out("window.scf"))) ==
              ReadAll(QString::fromStdString(Out("batch.scf"))));
  std::printf(
      "window: load %.3f s, run %.3f s wall, %.3f s processor\n"
      "batch:  load and run %.3f s wall, %.3f s processor\n"
      "window / batch: %.2f wall, %.2f processor\n",
      load, run, window_cpu, batch, batch_cpu, (load + run) / batch, window_cpu / batch_cpu);
}

}  // namespace
}  // namespace kolvane
