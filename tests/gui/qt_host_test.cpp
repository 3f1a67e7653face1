// QtHost: numbers in the user's locale, the file dialogs' filters and answers, the message
// boxes' titles, pointer shapes, and the event passes a run makes through it.
#include "gui/qt_host.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/tissue_dialogs.h"
#include "gui/tissue_dialogs.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

// Answers the modal dialogs that a call shows, one action per dialog in order. A dialog
// beyond the script fails the test and is closed, so that a wrong dialog never leaves the
// test waiting for a click.
class ModalScript {
 public:
  explicit ModalScript(std::vector<std::function<void(QWidget*)>> actions)
      : actions_(std::move(actions)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(10);
  }
  ~ModalScript() { EXPECT_EQ(next_, actions_.size()) << "scripted dialogs never shown"; }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == current_) return;
    current_ = modal;
    if (next_ < actions_.size()) {
      // Acted on from a fresh timer, not from this poll: an action that opens another modal
      // dialog (accept() showing a warning) must leave the poll free to answer that one.
      auto act = actions_[next_++];
      QPointer<QWidget> target = modal;
      QTimer::singleShot(0, modal, [act, target] {
        if (target) act(target);
      });
      return;
    }
    QString text = modal->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) text += ": " + box->text();
    ADD_FAILURE() << "unexpected dialog " << text.toStdString();
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  }

  std::vector<std::function<void(QWidget*)>> actions_;
  std::size_t next_ = 0;
  QPointer<QWidget> current_;
  QTimer poll_;
};

// Types a path into a file dialog's name box and accepts it, as a user would.
void ChooseFile(QWidget* w, const QString& path) {
  auto* dialog = qobject_cast<QFileDialog*>(w);
  ASSERT_NE(dialog, nullptr);
  auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->setText(path);
  static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept is protected
}

class QtHostTest : public ::testing::Test {
 protected:
  void SetUp() override { TestApplication(); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
  QtHost host;
};

TEST_F(QtHostTest, UserNumbersFollowTheLocale) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  // clang-format off
  const struct {
    const char* text;
    std::optional<double> value;
  } english[] = {
      {"250", 250}, {" 250 ", 250}, {"1.5e3", 1500}, {"-3", -3}, {"0", 0}, {"3.4e38", 3.4e38},
      {"abc", {}}, {"", {}}, {"   ", {}}, {"1e39", {}}, {"-1e39", {}}, {"12abc", {}}, {"inf", {}},
      {"nan", {}},
  };
  // clang-format on
  for (const auto& c : english) {
    EXPECT_EQ(host.ParseUserNumber(c.text), c.value) << '"' << c.text << '"';
  }
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(host.ParseUserNumber("2,5"), 2.5);
  EXPECT_EQ(host.ParseUserNumber(" 1000 "), 1000.0);
}

TEST(QtFilterStringTest, DescriptionsKeepTheirTextAndPatternsMatchOnThisPlatform) {
  const struct {
    FileFilter filter;
    const char* expected;
  } cases[] = {
      {{"FIX Files (*.fix)", "*.fix"}, "FIX Files (*.fix *.FIX)"},
      {{"Blanks (*.slk)", "*.slk"}, "Blanks (*.slk *.SLK)"},
      {{"All Files (*.*)", "*.*"}, "All Files (*)"},
      {{" All Files (*.*) ", "*.*"}, "All Files (*)"},
      {{"Spillover Corrected File", "*.scf"}, "Spillover Corrected File (*.scf *.SCF)"},
  };
  for (const auto& c : cases) EXPECT_EQ(QtFilterString(c.filter), c.expected);
}

// Answers a message box with `button`, noting its title and text.
std::function<void(QWidget*)> Click(QMessageBox::StandardButton button, QString& title,
                                    QString& text) {
  return [button, &title, &text](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    if (button == QMessageBox::Ok) {
      EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    }
    box->button(button)->click();
  };
}

TEST_F(QtHostTest, MessageBoxesCarryTheProgramTitleOrTheGivenOne) {
  QString title, text;
  {
    ModalScript script({Click(QMessageBox::Ok, title, text)});
    host.ShowMessage("Entry must be a positive integer");
  }
  EXPECT_EQ(title, "KOLVANE");
  EXPECT_EQ(text, "Entry must be a positive integer");
  for (const auto answer : {Answer::No, Answer::Yes}) {
    ModalScript script(
        {Click(answer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No, title, text)});
    EXPECT_EQ(host.AskYesNo("Do you want to abort the current run", "Abort Run"), answer);
    EXPECT_EQ(title, "Abort Run");
  }
}

TEST_F(QtHostTest, OpenDialogsNeedAnExistingFileAndCancelAnswersEmpty) {
  FileDialogRequest open;
  open.title = "Open Fix File";
  open.filters = {{"FIX Files (*.fix)", "*.fix"}, {"All Files (*.*)", "*.*"}};
  {
    ModalScript script({[](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), "Open Fix File");
      EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
      EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
      EXPECT_EQ(dialog->nameFilters(), QStringList({"FIX Files (*.fix *.FIX)", "All Files (*)"}));
      dialog->reject();
    }});
    EXPECT_EQ(host.AskFile(open), "");
  }

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString existing = dir.filePath("run1.fix");
  QFile file(existing);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  {
    ModalScript script({[existing](QWidget* w) { ChooseFile(w, existing); }});
    EXPECT_EQ(host.AskFile(open), QDir::toNativeSeparators(existing).toStdString());
  }
  {
    // A name that does not exist is not accepted: the dialog says so and stays open.
    ModalScript script({[&dir](QWidget* w) { ChooseFile(w, dir.filePath("missing.fix")); },
                        [](QWidget* w) {
                          auto* box = qobject_cast<QMessageBox*>(w);
                          ASSERT_NE(box, nullptr);
                          box->accept();
                        },
                        [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); }});
    EXPECT_EQ(host.AskFile(open), "");
  }
}

TEST_F(QtHostTest, TheSaveDialogProposesTheDefaultNameAndAsksBeforeReplacing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  FileDialogRequest save;
  save.save = true;
  save.title = "Save Results File";
  save.filters = {{"Spillover Corrected File (*.scf)", "*.scf"}};
  save.default_name = QDir::toNativeSeparators(dir.filePath("run1.fix.scf")).toStdString();
  ModalScript script({[](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_FALSE(dialog->testOption(QFileDialog::ReadOnly));
    EXPECT_EQ(dialog->nameFilters(), QStringList({"Spillover Corrected File (*.scf *.SCF)"}));
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), "run1.fix.scf");
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept is protected
  }});
  EXPECT_EQ(host.AskFile(save), save.default_name);
}

TEST_F(QtHostTest, PointerShapes) {
  host.SetPointer(Pointer::Hourglass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  host.SetPointer(Pointer::SizeWE);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
  host.SetPointer(Pointer::SizeNWSE);  // within the step interval: the arrow turns later
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
  QTest::qWait(QtHost::kPointerStepIntervalMs + 10);
  host.SetPointer(Pointer::SizeNS);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeVerCursor);
  QTest::qWait(QtHost::kPointerStepIntervalMs + 10);
  host.SetPointer(Pointer::SizeNESW);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeBDiagCursor);
  host.SetPointer(Pointer::Default);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  host.SetPointer(Pointer::Default);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtHostTest, PendingMessagesAreProcessedAtMostEveryFifteenMilliseconds) {
  bool delivered = false;
  QTimer::singleShot(0, [&delivered] { delivered = true; });
  QTest::qSleep(QtHost::kMessageIntervalMs + 5);
  host.ProcessPendingMessages();
  EXPECT_TRUE(delivered);

  // A run of 200 000 records: the calls in between cost next to nothing.
  QElapsedTimer clock;
  clock.start();
  const long long passes_before = host.event_passes();
  for (int i = 0; i < 200000; ++i) host.ProcessPendingMessages();
  const qint64 ms = clock.elapsed();
  EXPECT_LT(ms, 500);
  EXPECT_LE(host.event_passes() - passes_before, ms / QtHost::kMessageIntervalMs + 1);
}

TEST_F(QtHostTest, TheOneSecondWaitKeepsEventsFlowing) {
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(100);
  const double start = host.Clock();
  host.WaitOneSecond();
  const double waited = host.Clock() - start;
  EXPECT_GE(waited, 0.99);
  EXPECT_LT(waited, 1.5);
  EXPECT_GE(ticks, 5);  // about ten; a loaded machine may merge late timer ticks
}

TEST_F(QtHostTest, TissueDialogChoicesReachTheirHandlers) {
  Program p(host);
  TissueForm form;
  form.program = &p;
  p.TissueInFile = false;
  p.TissueExcluded = true;
  ModalScript script({[](QWidget* w) {
    auto* dialog = qobject_cast<TissueDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Tissue");
    EXPECT_TRUE(dialog->option(1)->isChecked());
    dialog->option(0)->click();
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
      if (b->text() == "OK") b->click();
    }
  }});
  host.ShowTissueDialog(form);
  EXPECT_TRUE(p.TissueInFile);
  EXPECT_FALSE(p.TissueExcluded);
  EXPECT_FALSE(p.TissueRunCancelled);
}

}  // namespace
}  // namespace kolvane
