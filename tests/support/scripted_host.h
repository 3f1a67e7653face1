// In this file: the tests' host. It answers from queues and records what the program showed.
// It is strict: a message box, file dialog, question or modal dialog that the test did not
// queue fails the test and prints the exact text; answers left unused at the end fail it too.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/host.h"
#include "app/tissue_choices.h"

namespace kolvane {

class ScriptedHost : public Host {
 public:
  ~ScriptedHost() override;  // fails the test for every queued answer left unused

  // --- what the test queues -------------------------------------------------------------
  // The next message box must show exactly this text.
  void ExpectMessage(const std::string& text) { expected_messages_.push_back(text); }
  // Accept message boxes without checking them (they are still recorded in `messages`).
  bool allow_any_message = false;
  // The next file dialog answers this path ("" = cancel).
  void QueueFile(const std::string& path) { files_.push_back(path); }
  // The next Yes/No question answers this.
  void QueueAnswer(Answer a) { answers_.push_back(a); }
  // Acts on the tissue dialogs while they are shown (e.g. TissueOk_Click(f)).
  std::function<void(TissueForm&)> on_tissue;
  std::function<void(TissueOptionsForm&)> on_tissue_options;
  // Whether a person answers: a refused answer is asked for again (false: as the batch).
  bool has_user = true;
  bool HasUser() const override { return has_user; }
  // Whether a file manager shows the folders asked for.
  bool folder_opens = true;
  // Called on every ProcessPendingMessages / WaitForMessages with the running count, so a
  // test can press keys in the middle of a run.
  std::function<void(int)> on_messages;

  // --- what the host recorded -----------------------------------------------------------
  std::vector<std::string> messages;       // every message box text, in order
  std::vector<std::string> questions;      // every Yes/No text
  std::vector<FileDialogRequest> dialogs;  // every file dialog request
  std::vector<Pointer> pointers;           // every pointer change
  int message_pumps = 0;
  int about_shown = 0;
  std::vector<std::string> folders_shown;
  bool ended = false;
  double clock = 0.0;

  // --- Host -----------------------------------------------------------------------------
  void ShowMessage(const std::string& text) override;
  Answer AskYesNo(const std::string& text, const std::string& title) override;
  std::string AskFile(const FileDialogRequest& request) override;
  void ShowTissueDialog(TissueForm& form) override;
  void ShowTissueOptionsDialog(TissueOptionsForm& form) override;
  void ShowAbout(AboutForm& form) override;
  void ProcessPendingMessages() override;
  void WaitForMessages() override;
  std::optional<double> ParseUserNumber(const std::string& text) override;
  bool ShowFolder(const std::string& folder) override {
    folders_shown.push_back(folder);
    return folder_opens;
  }
  void SetPointer(Pointer shape) override;
  void Beep() override {}
  double Clock() override { return clock; }
  void EndProgram() override { ended = true; }

 private:
  std::deque<std::string> expected_messages_;
  std::deque<std::string> files_;
  std::deque<Answer> answers_;
};

}  // namespace kolvane
