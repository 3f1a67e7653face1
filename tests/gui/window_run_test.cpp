// Whole analyses through the window: the menu command loads, the Analyze button runs, and the
// results file is byte for byte the one the batch program writes from the same files. The
// host is the real QtHost (event passes, mirroring, spectrum canvas) with the questions
// answered from a queue.
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
#include "gui/plot_canvas.h"
#include "gui/qt_host.h"
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

  // Loads through the menu and runs through the Analyze button.
  void LoadAndRun(QAction* open) {
    open->trigger();
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    EXPECT_TRUE(window->run_analysis()->isVisible());
    QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
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

// The batch's arguments for the same files as the window's answers.
QStringList BatchArguments(const std::deque<std::string>& files) {
  const bool scan = files.size() == 3;
  QStringList args = {scan ? "scan" : "fixed", QString::fromStdString(files[0]), "--blanks",
                      QString::fromStdString(files[1])};
  if (!scan) args << "--controls" << QString::fromStdString(files[2]);
  return args;
}

// Runs kolvane-batch on `files` and expects its results file to equal the window's.
// Returns the batch's wall seconds and processor seconds.
std::pair<double, double> ExpectBatchWritesTheSame(const std::deque<std::string>& files,
                                                   const QString& window_results,
                                                   const QString& batch_results) {
  const double cpu_before = CpuSeconds(RUSAGE_CHILDREN);
  const double wall = RunBatch(BatchArguments(files) << "-o" << batch_results);
  EXPECT_GT(wall, 0);
  const QByteArray window_bytes = ReadAll(window_results);
  EXPECT_GT(window_bytes.size(), 500);
  EXPECT_TRUE(window_bytes == ReadAll(batch_results));
  return {wall, CpuSeconds(RUSAGE_CHILDREN) - cpu_before};
}

TEST_F(WindowRunTest, BothAnalysesThroughTheWindowWriteWhatTheBatchWrites) {
  const struct {
    std::deque<std::string> files;
    bool scan;
  } cases[] = {
      {{Data("small_scan.syn"), Data("small_scan.slk"), Out("scan.scf")}, true},
      {{Data("small_fixed.fix"), Data("small_fixed.blk"), Data("small_fixed.ctl"),
        Out("fixed.scf")},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.files.back());
    host.files = c.files;
    host.one_second_waits = 0;
    LoadAndRun(c.scan ? window->action_open_data_ss() : window->action_open_data());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(program->RunCompleted);
    // The scan run's pure search pauses on each pure it shows.
    EXPECT_EQ(host.one_second_waits > 0, c.scan);
    ExpectIdle();
    if (QFileInfo::exists(BatchProgram())) {
      ExpectBatchWritesTheSame(c.files, QString::fromStdString(c.files.back()),
                               QString::fromStdString(Out("batch.scf")));
    }
  }
  if (!QFileInfo::exists(BatchProgram())) GTEST_SKIP() << "kolvane-batch is not built";
}

TEST_F(WindowRunTest, F11PausesAScanRunWithoutSpinningAndF11ResumesIt) {
  host.files = {Data("small_scan.syn"), Data("small_scan.slk"), Out("window.scf")};
  const std::deque<std::string> files = host.files;
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
  ExpectBatchWritesTheSame(files, QString::fromStdString(Out("window.scf")),
                           QString::fromStdString(Out("batch.scf")));
}

// Set KOLVANE_GUI_MEASURE_SCAN=/path/base (base.syn and base.slk) or KOLVANE_GUI_MEASURE_FIXED
// (base.fix, base.blk, base.ctl) to time a large run through the window against kolvane-batch
// on the same files.
class MeasureTest : public WindowRunTest {
 protected:
  void Measure(const char* variable, std::vector<const char*> extensions) {
    const QByteArray base = qgetenv(variable);
    if (base.isEmpty()) GTEST_SKIP() << "set " << variable << "=/path/base to measure";
    if (!QFileInfo::exists(BatchProgram())) GTEST_SKIP() << "kolvane-batch is not built";
    for (const char* extension : extensions) host.files.push_back(base.toStdString() + extension);
    host.files.push_back(Out("window.scf"));
    const std::deque<std::string> files = host.files;
    const bool scan = extensions.size() == 2;

    QElapsedTimer clock;
    clock.start();
    const double cpu_start = CpuSeconds(RUSAGE_SELF);
    (scan ? window->action_open_data_ss() : window->action_open_data())->trigger();
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
    const double event_seconds = host.event_seconds() - event_seconds_before;

    const auto [batch, batch_cpu] = ExpectBatchWritesTheSame(
        files, QString::fromStdString(Out("window.scf")), QString::fromStdString(Out("batch.scf")));
    std::printf(
        "window: load %.3f s, run %.3f s wall, %.3f s processor (%lld event passes taking %.3f s, "
        "of which mirroring %.3f s, %d spectrum paints, %d one-second waits skipped)\n"
        "batch:  load and run %.3f s wall, %.3f s processor\n"
        "window / batch: %.2f wall, %.2f processor; event passes %.1f%% of the window's run\n",
        load, run, window_cpu, host.event_passes() - passes_before, event_seconds,
        (mirror_nsecs - mirror_before) / 1e9, window->spectra()->paint_count() - paints_before,
        host.one_second_waits, batch, batch_cpu, (load + run) / batch, window_cpu / batch_cpu,
        100.0 * event_seconds / run);
  }
};

TEST_F(MeasureTest, MeasureALargeScanRunAgainstTheBatch) {
  Measure("KOLVANE_GUI_MEASURE_SCAN", {".syn", ".slk"});
}

TEST_F(MeasureTest, MeasureALargeFixedRunAgainstTheBatch) {
  Measure("KOLVANE_GUI_MEASURE_FIXED", {".fix", ".blk", ".ctl"});
}

}  // namespace
}  // namespace kolvane
