// In this file: the Host of the window program. Message boxes, file dialogs and the modal
// dialogs are real Qt windows owned by the main window; letting pending messages be processed
// mirrors the form into the widgets and runs Qt's event loop once.
//
// A run asks for pending messages once per record, tens of thousands of times a second, so
// that call is throttled: it does the work only when kMessageIntervalMs have passed since it
// last did, which keeps the window and the run keys responsive while the run loses only a few
// percent of its speed.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <functional>

#include "app/host.h"

class QWidget;

namespace kolvane {

// One filter entry as Qt's file dialog takes it: "description (patterns)". "*.*" matches
// every file, also one without a dot, and a lower-case extension also matches its upper-case
// form (instrument files often come with upper-case names).
QString QtFilterString(const FileFilter& filter);

class QtHost : public Host {
 public:
  static constexpr int kMessageIntervalMs = 15;
  static constexpr int kPointerStepIntervalMs = 60;

  QtHost();
  ~QtHost() override;

  // The main window that owns the dialogs, and the function that copies the form into it.
  void Attach(QWidget* owner, std::function<void()> mirror);

  void ShowMessage(const std::string& text) override;
  Answer AskYesNo(const std::string& text, const std::string& title) override;
  std::string AskFile(const FileDialogRequest& request) override;
  void ShowTissueDialog(TissueForm& form) override;
  void ShowTissueOptionsDialog(TissueOptionsForm& form) override;
  void ShowAbout(AboutForm& form) override;
  void ProcessPendingMessages() override;
  void WaitForMessages() override;
  void FormChanged() override;
  std::optional<double> ParseUserNumber(const std::string& text) override;
  bool ShowFolder(const std::string& folder) override;
  void SetPointer(Pointer shape) override;
  void Beep() override;
  double Clock() override;
  void EndProgram() override;

  bool ending() const { return ending_; }
  // Where the next open dialog starts (the last folder a file was chosen in).
  void set_last_directory(const QString& folder) { last_directory_ = folder; }
  // How many of the ProcessPendingMessages calls actually ran the event loop, and the seconds
  // spent in them (mirroring, events, repaints): what the window costs a run.
  long long event_passes() const { return event_passes_; }
  double event_seconds() const { return static_cast<double>(event_nsecs_) / 1.0e9; }

 private:
  void Mirror();

  QPointer<QWidget> owner_;
  std::function<void()> mirror_;
  QElapsedTimer clock_;
  QElapsedTimer since_events_;
  QElapsedTimer since_pointer_step_;
  bool override_cursor_ = false;
  Pointer pointer_ = Pointer::Default;
  bool mirror_scheduled_ = false;
  bool ending_ = false;
  long long event_passes_ = 0;
  qint64 event_nsecs_ = 0;
  QString last_directory_;
};

}  // namespace kolvane
