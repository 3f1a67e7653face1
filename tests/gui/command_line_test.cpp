// kolvane --help and --version answer on the terminal, without a display, and exit; a wrong
// option is refused with status 2.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "app/version.h"

namespace kolvane {
namespace {

TEST(CommandLine, HelpAndVersionAnswerOnTheTerminalWithoutADisplay) {
  struct Case {
    const char* option;
    int status;
    const char* out;  // the start of stdout, or of stderr for a refusal
  } cases[] = {
      {"--help", 0, "Usage: kolvane [FILE]"},
      {"-h", 0, "Usage: kolvane [FILE]"},
      {"--version", 0, "kolvane " KOLVANE_VERSION_STRING "\n"},
      {"--frobnicate", 2, "kolvane: unknown option --frobnicate"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option);
    QProcess kolvane;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    // A refusal needs Qt's own options parsed first, which needs a platform; the answers
    // above must not.
    if (c.status == 0)
      env.remove("QT_QPA_PLATFORM");
    else
      env.insert("QT_QPA_PLATFORM", "offscreen");
    kolvane.setProcessEnvironment(env);
    kolvane.start(KOLVANE_BINARY_DIR "/kolvane", {c.option});
    ASSERT_TRUE(kolvane.waitForFinished(20000));
    EXPECT_EQ(kolvane.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kolvane.exitCode(), c.status);
    const QString text = QString::fromUtf8(c.status == 0 ? kolvane.readAllStandardOutput()
                                                         : kolvane.readAllStandardError());
    // Qt may say a word of its own on stderr before the refusal.
    EXPECT_TRUE(c.status == 0 ? text.startsWith(c.out) : text.contains(c.out))
        << text.toStdString();
  }
}

}  // namespace
}  // namespace kolvane
