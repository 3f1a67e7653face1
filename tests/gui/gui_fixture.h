// In this file: what the window tests share. The QApplication is made once, lazily, on the
// offscreen platform unless the caller chose another; each test gets a fresh program, a
// scripted host and a main window after start-up, shown offscreen.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/program.h"
#include "gui/main_window.h"
#include "support/scripted_host.h"

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

// A window after start-up on a 1024 x 768 screen (15360 x 11520 twips at 96 dpi).
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    program = std::make_unique<Program>(host);
    window = std::make_unique<MainWindow>(*program);
    Form_Load(*program, 15360, 11520);
    window->Mirror();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void TearDown() override {
    window.reset();
    program.reset();
    host.VerifyAllUsed();
  }

  Program& p() { return *program; }
  MainForm& form() { return program->form; }

  // Shown on the screen, that is visible together with every container above it.
  bool Shown(const std::string& name) {
    QWidget* w = window->widget_named(name);
    EXPECT_NE(w, nullptr) << name;
    return w != nullptr && w->isVisible();
  }

  ScriptedHost host;
  std::unique_ptr<Program> program;
  std::unique_ptr<MainWindow> window;
};

// Puts the form into the state a fixed-wavelength load leaves: colours named from a header,
// all ticked, statistics filled, options shown, intensity levels chosen.
void SimulateFixedLoad(Program& p, int colors, bool blanks, bool controls);
// The state a synchronous-scan load leaves, with `pures` pures named from the colour table.
void SimulateScanLoad(Program& p, int pures, bool blanks);
// A scan run in progress: options hidden, progress and a spectrum with fit-point circles.
void SimulateScanRun(Program& p, int record, int records);

}  // namespace kolvane
