#include "gui/qt_host.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <limits>

#include "app/about_box.h"
#include "app/tissue_choices.h"
#include "gui/about_dialog.h"
#include "gui/tissue_dialogs.h"

namespace kolvane {

namespace {

const char* const kProgramTitle = "KOLVANE";

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

Qt::CursorShape ToQtShape(Pointer shape) {
  switch (shape) {
    case Pointer::Hourglass:
      return Qt::WaitCursor;
    case Pointer::SizeWE:
      return Qt::SizeHorCursor;
    case Pointer::SizeNWSE:
      return Qt::SizeFDiagCursor;
    case Pointer::SizeNS:
      return Qt::SizeVerCursor;
    case Pointer::SizeNESW:
      return Qt::SizeBDiagCursor;
    case Pointer::Default:
      break;
  }
  return Qt::ArrowCursor;
}

bool IsSizingArrow(Pointer shape) {
  return shape == Pointer::SizeWE || shape == Pointer::SizeNWSE || shape == Pointer::SizeNS ||
         shape == Pointer::SizeNESW;
}

}  // namespace

QString QtFilterString(const FileFilter& filter) {
  QStringList patterns;
  for (const QString& pattern :
       Q(filter.pattern).split(QRegularExpression("[;\\s]+"), Qt::SkipEmptyParts)) {
    if (pattern == "*.*" || pattern == "*") {
      patterns << "*";
      continue;
    }
    patterns << pattern;
    if (pattern.toUpper() != pattern) patterns << pattern.toUpper();
  }
  if (patterns.isEmpty()) patterns << "*";
  // The description usually names its pattern already ("FIX Files (*.fix)"); Qt reads the
  // patterns from the last parentheses, so they are replaced rather than repeated.
  QString description = Q(filter.description).trimmed();
  description.remove(QRegularExpression("\\s*\\([^()]*\\)$"));
  if (description.isEmpty()) description = Q(filter.pattern).trimmed();
  patterns.removeDuplicates();
  return description + " (" + patterns.join(' ') + ")";
}

QtHost::QtHost() {
  clock_.start();
  since_events_.start();
  since_pointer_step_.start();
}

QtHost::~QtHost() {
  if (override_cursor_ && QApplication::instance()) QApplication::restoreOverrideCursor();
}

void QtHost::Attach(QWidget* owner, std::function<void()> mirror) {
  owner_ = owner;
  mirror_ = std::move(mirror);
}

void QtHost::Mirror() {
  if (mirror_ && !ending_) mirror_();
}

void QtHost::ShowMessage(const std::string& text) {
  if (ending_) return;
  Mirror();
  QMessageBox box(QMessageBox::NoIcon, kProgramTitle, Q(text), QMessageBox::Ok, owner_);
  box.exec();
}

Answer QtHost::AskYesNo(const std::string& text, const std::string& title) {
  if (ending_) return Answer::No;
  Mirror();
  QMessageBox box(QMessageBox::Question, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                  owner_);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::string QtHost::AskFile(const FileDialogRequest& request) {
  if (ending_) return {};
  Mirror();
  QFileDialog dialog(owner_, Q(request.title));
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  QStringList filters;
  for (const FileFilter& f : request.filters) filters << QtFilterString(f);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (request.save && !request.default_name.empty()) {
    const QFileInfo proposed(QFile::decodeName(request.default_name.c_str()));
    dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
  } else if (!last_directory_.isEmpty()) {
    dialog.setDirectory(last_directory_);
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty()) return {};
  const QFileInfo file(chosen.first());
  if (file.fileName().isEmpty()) return {};
  last_directory_ = file.absolutePath();
  const QString path =
      QDir::toNativeSeparators(QDir(file.absolutePath()).filePath(file.fileName()));
  return QFile::encodeName(path).toStdString();
}

void QtHost::ShowTissueDialog(TissueForm& form) {
  if (ending_) return;
  Mirror();
  TissueDialog dialog(form, owner_);
  dialog.exec();
}

void QtHost::ShowTissueOptionsDialog(TissueOptionsForm& form) {
  if (ending_) return;
  Mirror();
  TissueOptionsDialog dialog(form, owner_);
  dialog.exec();
}

void QtHost::ShowAbout(AboutForm& form) {
  if (ending_) return;
  AboutDialog dialog(form, owner_);
  dialog.exec();
}

void QtHost::ProcessPendingMessages() {
  if (ending_ || since_events_.elapsed() < kMessageIntervalMs) return;
  QElapsedTimer pass;
  pass.start();
  ++event_passes_;
  Mirror();
  QCoreApplication::processEvents();
  event_nsecs_ += pass.nsecsElapsed();
  // The next pass comes a full interval after this one ended, however long this one took.
  since_events_.restart();
}

void QtHost::WaitForMessages() {
  if (ending_) return;
  Mirror();
  ++event_passes_;
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  since_events_.restart();
}

void QtHost::FormChanged() {
  if (mirror_scheduled_ || !owner_) return;
  mirror_scheduled_ = true;
  QTimer::singleShot(0, owner_, [this] {
    mirror_scheduled_ = false;
    Mirror();
  });
}

std::optional<double> QtHost::ParseUserNumber(const std::string& text) {
  const QString trimmed = Q(text).trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  bool ok = false;
  const double value = QLocale().toDouble(trimmed, &ok);
  if (!ok || !std::isfinite(value) ||
      std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
    return std::nullopt;
  }
  return value;
}

void QtHost::SetPointer(Pointer shape) {
  if (shape == pointer_) return;
  if (shape == Pointer::Default) {
    pointer_ = shape;
    if (override_cursor_) QApplication::restoreOverrideCursor();
    override_cursor_ = false;
    return;
  }
  // The sizing arrows turn once per record counted; the screen needs to see only a few
  // steps a second, and every change of the pointer is a call to the window system.
  if (IsSizingArrow(shape) && IsSizingArrow(pointer_) &&
      since_pointer_step_.elapsed() < kPointerStepIntervalMs) {
    return;
  }
  since_pointer_step_.restart();
  pointer_ = shape;
  const QCursor cursor(ToQtShape(shape));
  if (override_cursor_) {
    QApplication::changeOverrideCursor(cursor);
  } else {
    QApplication::setOverrideCursor(cursor);
    override_cursor_ = true;
  }
}

bool QtHost::ShowFolder(const std::string& folder) {
  const QString path = QFile::decodeName(folder.c_str());
  // xdg-open reports a folder nothing could show by its exit status, which the desktop
  // services do not pass on; a file manager it starts may keep it running, which is success.
  const QString opener = QStandardPaths::findExecutable("xdg-open");
  if (!opener.isEmpty()) {
    auto* process = new QProcess;
    process->start(opener, {path});
    if (!process->waitForStarted(3000)) {
      delete process;
      return false;
    }
    if (!process->waitForFinished(3000)) {
      QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
      return true;
    }
    const bool shown = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return shown;
  }
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtHost::Beep() {
  QApplication::beep();
}

double QtHost::Clock() {
  return static_cast<double>(clock_.nsecsElapsed()) / 1.0e9;
}

void QtHost::EndProgram() {
  if (ending_) return;
  ending_ = true;
  if (override_cursor_) QApplication::restoreOverrideCursor();
  override_cursor_ = false;
  pointer_ = Pointer::Default;
  QCoreApplication::exit(0);
}

}  // namespace kolvane
