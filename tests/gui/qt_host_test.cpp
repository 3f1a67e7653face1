// The dialogs QtHost shows answer as a user answers them.
#include "gui/qt_host.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "gui/tissue_dialogs.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

using Act = std::function<void(QWidget*)>;

// Acts on the modal dialogs a call shows, one action per dialog in order, from the event loop
// the dialog runs; a dialog beyond the script fails the test and is closed.
std::string Answering(std::vector<Act> acts, const std::function<std::string()>& call) {
  std::size_t next = 0;
  QWidget* last = nullptr;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last) return;
    last = modal;
    if (next < acts.size()) {  // acted on later, so that a dialog it opens is answered too
      QTimer::singleShot(0, modal, [act = acts[next++], modal] { act(modal); });
      return;
    }
    ADD_FAILURE() << "unexpected dialog " << modal->windowTitle().toStdString();
    qobject_cast<QDialog*>(modal)->reject();
  });
  poll.start(10);
  const std::string answer = call();
  EXPECT_EQ(next, acts.size()) << "scripted dialogs never shown";
  return answer;
}

Act Box(QMessageBox::StandardButton button, const char* title, const char* text) {
  return [=](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    EXPECT_TRUE(box->windowTitle() == title && box->text() == text);
    box->button(button)->click();
  };
}

// Types `path` (unless empty) into a file dialog's name box, after checking what it offers.
Act File(const QString& path, bool accept, QFileDialog::AcceptMode mode, const QString& proposed) {
  return [=](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    EXPECT_EQ(dialog->acceptMode(), mode);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog->nameFilters(), QStringList({"FIX Files (*.fix *.FIX)", "All Files (*)"}));
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    EXPECT_EQ(name->text(), proposed);
    if (!path.isEmpty()) name->setText(path);
    accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
  };
}

TEST(QtHostDialogs, MessageBoxesFileDialogsAndTheTissueDialogAnswer) {
  TestApplication();
  QtHost host;
  const char* abort_text = "Do you want to abort the current run?";
  for (auto [button, answer] : {std::pair{QMessageBox::Yes, "Yes"}, {QMessageBox::No, "No"}}) {
    EXPECT_EQ(
        Answering(
            {Box(button, "Abort Run", abort_text)},
            [&] { return host.AskYesNo(abort_text, "Abort Run") == Answer::Yes ? "Yes" : "No"; }),
        answer);
  }

  // Open dialogs take only an existing file (a missing one brings a warning and the dialog
  // stays); the save dialog proposes the default name and confirms before replacing a file.
  QTemporaryDir dir;
  QFile(dir.filePath("run1.fix")).open(QIODevice::WriteOnly);
  const std::string existing = QDir::toNativeSeparators(dir.filePath("run1.fix")).toStdString();
  FileDialogRequest request;
  request.title = "Open Fix File";
  request.filters = {{"FIX Files (*.fix)", "*.fix"}, {"All Files (*.*)", "*.*"}};
  auto ask_file = [&] { return host.AskFile(request); };
  const auto open = QFileDialog::AcceptOpen;
  EXPECT_EQ(Answering({File("", false, open, "")}, ask_file), "");
  EXPECT_EQ(Answering({File(dir.filePath("run1.fix"), true, open, "")}, ask_file), existing);
  EXPECT_EQ(Answering({File(dir.filePath("missing.fix"), true, open, ""),
                       [](QWidget* w) { qobject_cast<QMessageBox*>(w)->accept(); },
                       [](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); }},
                      ask_file),
            "");
  request.save = true;
  request.default_name = existing + ".scf";
  EXPECT_EQ(Answering({File("", true, QFileDialog::AcceptSave, "run1.fix.scf")}, ask_file),
            request.default_name);

  Program p(host);
  TissueForm form;
  form.program = &p;
  Answering({[](QWidget* w) {
              auto* dialog = qobject_cast<TissueDialog*>(w);
              EXPECT_TRUE(dialog->windowTitle() == "Tissue" && dialog->option(1)->isChecked());
              dialog->option(0)->click();
              for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
                if (b->text() == "OK") b->click();
            }},
            [&] {
              host.ShowTissueDialog(form);
              return "";
            });
  EXPECT_TRUE(p.TissueInFile && !p.TissueExcluded && !p.TissueRunCancelled);
}

}  // namespace
}  // namespace kolvane
