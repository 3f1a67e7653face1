// Closing the window during a scan run asks the abort question: Yes ends the run after the
// record being analysed, keeps its lines beside the results file as RESULTS.incomplete.scf with
// a record that says "aborted" (the results file is not written), and ends the program; No lets
// the run finish. small_scan.syn holds B1, P1-P4 and
// S1-S25; with its blanks file the blank record gets no line, so the third line is P3's.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "gui_fixture.h"

namespace kolvane {
namespace {

struct CloseCase {
  bool paused;      // F11 after the third record, the window closed while paused
  Answer answer;    // to "Do you want to abort the current run?"
  QByteArray last;  // the results file's last line starts so
};

class CloseDuringRun : public WindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseDuringRun, AsksThenAbortsAndEndsOrGoesOn) {
  const CloseCase c = GetParam();
  QTemporaryDir dir;
  const std::string data = std::string(KOLVANE_TEST_DATA) + "/gui/small_scan";
  const QString scf = dir.filePath("run.scf");
  host.files = {data + ".syn", data + ".slk", scf.toStdString()};
  host.answers = {c.answer};
  window->action_open_data_ss()->trigger();
  int step = 0;
  host.on_form_changed = [&] {
    if (step == 0 && program->ledger.lines_written == 3 && ++step && c.paused)
      QTest::keyClick(window.get(), Qt::Key_F11);
    const bool paused = program->form.Directions.caption == "Paused.  Press F11 to Restart.";
    if (step == 1 && paused == c.paused && ++step) {
      EXPECT_FALSE(window->close());
    }
  };
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  host.on_form_changed = nullptr;
  EXPECT_EQ(host.questions, std::vector<std::string>{"Do you want to abort the current run?"});
  const bool abort = c.answer == Answer::Yes;
  EXPECT_TRUE(host.ended == abort && program->ledger.Complete() == !abort);
  const QString kept = abort ? dir.filePath("run.incomplete.scf") : scf;
  EXPECT_EQ(QFile::exists(scf), !abort) << "an aborted run writes no results file";
  QFile results(kept), record(kept + ".json");
  ASSERT_TRUE(results.open(QIODevice::ReadOnly) && record.open(QIODevice::ReadOnly));
  const QByteArray text = results.readAll();
  EXPECT_TRUE(text.mid(text.lastIndexOf("\n", -3) + 1).startsWith(c.last)) << text.data();
  EXPECT_EQ(record.readAll().contains("\"end\": \"aborted\""), abort);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left";
}

INSTANTIATE_TEST_SUITE_P(Window, CloseDuringRun,
                         ::testing::Values(CloseCase{false, Answer::Yes, "P3\t"},
                                           CloseCase{true, Answer::Yes, "P3\t"},
                                           CloseCase{false, Answer::No, "S25\t"}));

}  // namespace
}  // namespace kolvane
