// In this file: the host of kolvane-batch. There is no window and nobody to ask: the file
// dialogs are answered from the command line, by their roles; messages go to stderr, one per
// line; a question is answered No (nothing a batch run asks may abort it); the tissue dialogs
// are answered as --tissue says; the one-second wait of the pure search returns at once. When
// stderr is a terminal the run's progress bar is drawn there.
#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

#include "app/host.h"
#include "app/run_ledger.h"
#include "cli/batch_options.h"

namespace kolvane {

class BatchHost : public Host {
 public:
  // err: where messages and the progress bar go. The bar is drawn only when `terminal` is
  // true; the front end passes whether err is a terminal.
  BatchHost(const BatchOptions& options, std::FILE* err, bool terminal);

  // Once `stop` is set (by a stop signal) the load or run is aborted at its next yield, as a
  // user's confirmed abort is: a run keeps the lines it wrote beside the results file.
  void StopOn(const std::atomic<bool>* stop) { stop_ = stop; }
  // For tests: the stop comes at the yield numbered `yield` (from 1), as if signalled then.
  void StopAtYield(long yield) { stop_at_yield_ = yield; }
  // One file of a study: messages go to `write` (a whole message at a time) instead of err.
  void JoinStudy(std::function<void(const std::string&)> write, const std::atomic<bool>* stop) {
    study_write_ = std::move(write);
    StopOn(stop);
  }
  // The stop reached this file while it was loaded or run.
  bool aborted() const { return aborted_; }
  // The run's ledger, kept when the run returns for the study's summary (the Program is gone
  // by then).
  void KeepLedger(const RunLedger& ledger) { ledger_ = ledger; }
  const RunLedger& ledger() const { return ledger_; }
  // Draws the bar's last share (set after the run's last yield) and ends its line, if one was
  // drawn, so that the shell prompt starts afresh.
  void FinishProgress(int percent);
  // EndProgram was asked: the core is unwinding and the batch exits with status 1.
  bool ended() const { return ended_; }
  // A usage error found by a subcommand (a colour slot the file does not have): writes the
  // message and the hint to --help, and returns the usage exit status.
  int UsageError(const std::string& message);
  // A line of the batch's own (an option that the dataset cannot take).
  void Note(const std::string& text) { WriteLines(text); }
  // The warning threshold of the condition number: 1000, or --max-condition when lower.
  double ConditionThreshold() const;
  const BatchOptions& options() const { return options_; }
  // The results file the save dialog was answered with, and the last message shown.
  const std::string& results_path() const { return results_path_; }
  const std::string& last_message() const { return last_message_; }

  void ShowMessage(const std::string& text) override;
  void ShowMessageOfKind(MessageKind kind, const std::string& text) override;
  Answer AskYesNo(const std::string& text, const std::string& title) override;
  Answer AskAboutMatrix(const std::string& text, const std::string& title,
                        MatrixDoubt& doubt) override;
  std::string AskFile(const FileDialogRequest& request) override;
  void ShowTissueDialog(TissueForm& form) override;
  void ShowTissueOptionsDialog(TissueOptionsForm& form) override;
  void ShowAbout(AboutForm&) override {}
  void ProcessPendingMessages() override {}
  void ShowProgress(int percent) override;
  bool StopRequested() override;
  void WaitForMessages() override {}
  bool ShowsSpectra() const override { return false; }
  std::optional<double> ParseUserNumber(const std::string& text) override;
  void SetPointer(Pointer) override {}
  void Beep() override {}
  double Clock() override;
  void EndProgram() override { ended_ = true; }
  bool HasUser() const override { return false; }

 private:
  void WriteLines(const std::string& text);
  void ClearProgressLine();

  const BatchOptions& options_;
  std::FILE* err_;
  bool terminal_;
  std::function<void(const std::string&)> study_write_;
  const std::atomic<bool>* stop_ = nullptr;
  bool aborted_ = false;
  long yields_ = 0, stop_at_yield_ = 0;
  RunLedger ledger_;
  int drawn_percent_ = 0;     // what the bar shows; the bar appears at the first change
  bool bar_on_line_ = false;  // the cursor stands at the end of a drawn bar
  bool redraw_ = false;       // a message blanked the bar: draw it again at the next yield
  bool ended_ = false;
  std::string results_path_;
  std::string last_message_;
};

}  // namespace kolvane
