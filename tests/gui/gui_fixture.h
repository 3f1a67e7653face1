// In this file: what the window tests share. The QApplication is made once, lazily, on the
// offscreen platform unless the caller chose another. Each test gets a program on the real
// QtHost (event passes, mirroring, locale, spectrum canvas) whose file dialogs and questions
// are answered from queues, and a main window after start-up, shown.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <deque>
#include <memory>
#include <string>

#include "app/main_form_ops.h"
#include "app/program.h"
#include "app/tissue_choices.h"
#include "app/window_fixtures.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"

namespace kolvane {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

class AnsweringQtHost : public QtHost {
 public:
  std::deque<std::string> files;
  std::deque<Answer> answers;
  std::vector<std::string> messages, questions;
  bool ended = false;
  std::function<void()> on_form_changed;

  template <typename T>
  static T Next(std::deque<T>& queue, T none, const std::string& what) {
    EXPECT_FALSE(queue.empty()) << "unexpected " << what;
    if (queue.empty()) return none;
    T first = queue.front();
    queue.pop_front();
    return first;
  }
  std::string AskFile(const FileDialogRequest& r) override {
    return Next<std::string>(files, "", r.title);
  }
  Answer AskYesNo(const std::string& text, const std::string&) override {
    questions.push_back(text);
    return Next(answers, Answer::No, text);
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  // The tissue dialogs' preselected answers, as kolvane-batch takes them by default.
  void ShowTissueDialog(TissueForm& form) override { TissueOk_Click(form); }
  void ShowTissueOptionsDialog(TissueOptionsForm& f) override { TissueOptionsUseProvided_Click(f); }
  void FormChanged() override {
    if (on_form_changed) on_form_changed();
    QtHost::FormChanged();
  }
  void EndProgram() override { ended = true; }
};

// A window after start-up on a 1024 x 768 screen (15360 x 11520 twips at 96 dpi).
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    program = std::make_unique<Program>(host);
    window = std::make_unique<MainWindow>(*program);
    host.Attach(window.get(), [this] { window->Mirror(); });
    Form_Load(*program, 15360, 11520);
    window->Mirror();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
  }
  void TearDown() override {
    EXPECT_TRUE(host.files.empty() && host.answers.empty()) << "answers left unused";
    window.reset();
  }
  Program& p() { return *program; }

  AnsweringQtHost host;
  std::unique_ptr<Program> program;
  std::unique_ptr<MainWindow> window;
};

}  // namespace kolvane
