// The time from a run's end to its table shown, for the data file named by KOLVANE_MEASURE_SCAN
// (a .syn or .fix opened in one step; its results file is written beside it). Not a test:
// disabled, run by hand under /usr/bin/time -v for the memory.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>
#include <cstdio>
#include <fstream>

#include "app/run_control.h"
#include "dispatch/results_commands.h"
#include "gui/gui_fixture.h"
#include "gui/results_panel.h"

namespace kolvane {
namespace {

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

using Measure = WindowTest;

TEST_F(Measure, DISABLED_TableShownAfterABigScanRun) {
  const QString syn = qEnvironmentVariable("KOLVANE_MEASURE_SCAN");
  ASSERT_FALSE(syn.isEmpty());
  program->KeepDatasetAfterRun = true;
  window->OpenDataset(syn.toStdString());
  ASSERT_TRUE(p().form.CloseIt.enabled);
  QElapsedTimer run;
  run.start();
  Form_KeyDown(p(), kKeyF12, 0);  // the drawing off, as one would for a long run
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  ASSERT_TRUE(p().ledger.Complete());
  const double run_seconds = run.elapsed() / 1000.0;
  // What follows a run's end: the table read from the results file, then the window mirrored
  // and painted.
  const long before = ResidentKb();
  QElapsedTimer shown;
  shown.start();
  ShowRunResults(p());
  const double loaded = shown.nsecsElapsed() / 1e6;
  window->Mirror();
  QApplication::processEvents();
  window->results_panel()->view()->viewport()->repaint();
  const double total = shown.nsecsElapsed() / 1e6;
  const long after = ResidentKb();
  std::printf(
      "rows %d, columns %d; run %.1f s; table read %.1f ms; shown %.1f ms; "
      "resident %ld -> %ld kB\n",
      p().results.rows(), p().results.columns(), run_seconds, loaded, total, before, after);
  std::printf(
      "table: %zu bytes of text, %d cells of %zu bytes\n",
      static_cast<std::size_t>(QFileInfo(QString::fromStdString(p().ledger.results)).size()),
      p().results.rows() * p().results.columns(), sizeof(ResultsCell));
  QElapsedTimer sort;
  sort.start();
  window->results_panel()->view()->sortByColumn(3, Qt::DescendingOrder);
  QApplication::processEvents();
  std::printf("sorted by a colour in %.1f ms\n", sort.nsecsElapsed() / 1e6);
  EXPECT_GE(p().results.rows(), p().ledger.lines_written);
  EXPECT_LT(total, 1000.0);
}

}  // namespace
}  // namespace kolvane
