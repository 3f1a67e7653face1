#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include "base/numbers.h"

namespace kolvane {

ScriptedHost::~ScriptedHost() {
  for (const auto& m : expected_messages_) ADD_FAILURE() << "expected message never shown: " << m;
  for (const auto& f : files_) ADD_FAILURE() << "queued file answer never asked for: " << f;
  if (!answers_.empty()) ADD_FAILURE() << answers_.size() << " queued Yes/No answers unused";
}

void ScriptedHost::ShowMessage(const std::string& text) {
  messages.push_back(text);
  if (!expected_messages_.empty()) {
    EXPECT_EQ(expected_messages_.front(), text) << "message box text";
    expected_messages_.pop_front();
  } else if (!allow_any_message) {
    ADD_FAILURE() << "unexpected message box: \"" << text << "\"";
  }
}

Answer ScriptedHost::AskYesNo(const std::string& text, const std::string& title) {
  questions.push_back(text);
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected question [" << title << "]: \"" << text << "\"";
    return Answer::No;
  }
  Answer a = answers_.front();
  answers_.pop_front();
  return a;
}

std::string ScriptedHost::AskFile(const FileDialogRequest& request) {
  dialogs.push_back(request);
  if (files_.empty()) {
    ADD_FAILURE() << "unexpected file dialog: \"" << request.title << "\"";
    return "";
  }
  std::string f = files_.front();
  files_.pop_front();
  return f;
}

void ScriptedHost::ShowTissueDialog(TissueForm& form) {
  if (!on_tissue) {
    ADD_FAILURE() << "unexpected dialog: \"" << form.caption << "\"";
    return;
  }
  on_tissue(form);
}

void ScriptedHost::ShowTissueOptionsDialog(TissueOptionsForm& form) {
  if (!on_tissue_options) {
    ADD_FAILURE() << "unexpected dialog: \"" << form.caption << "\"";
    return;
  }
  on_tissue_options(form);
}

void ScriptedHost::ShowAbout(AboutForm&) {
  ++about_shown;
}

void ScriptedHost::ProcessPendingMessages() {
  ++message_pumps;
  if (on_messages) on_messages(message_pumps);
}

void ScriptedHost::WaitForMessages() {
  ProcessPendingMessages();
}

std::optional<double> ScriptedHost::ParseUserNumber(const std::string& text) {
  return ParseStrictNumber(text);
}

void ScriptedHost::SetPointer(Pointer shape) {
  pointers.push_back(shape);
}

}  // namespace kolvane
