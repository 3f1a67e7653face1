// kolvane --help and --version answer on the terminal, without a display, and exit; a wrong
// option is refused with status 2. Ended by a signal with a dataset loaded, the window leaves
// no temporary file and no results file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

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

#ifndef _WIN32
TEST(CommandLine, ASignalLeavesNoTemporaryFile) {
  QTemporaryDir dir;
  const QString data = dir.filePath("d.fix");
  ASSERT_TRUE(QFile::copy(KOLVANE_SOURCE_DIR "/examples/fixed/tissue_blanks_controls.fix", data));
  QProcess kolvane;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("HOME", dir.path());  // the window's settings, not the user's
  env.insert("XDG_CONFIG_HOME", dir.path());
  kolvane.setProcessEnvironment(env);
  kolvane.start(KOLVANE_BINARY_DIR "/kolvane", {data});
  // Loaded: the results file proposed beside the data file is held as a temporary file.
  const auto parts = [&] {
    return QDir(dir.path()).entryList({".kolvane-*.part"}, QDir::Hidden | QDir::Files);
  };
  for (int i = 0; i < 200 && parts().isEmpty(); ++i) QThread::msleep(50);
  ASSERT_EQ(parts().size(), 1);
  kolvane.terminate();  // SIGTERM
  ASSERT_TRUE(kolvane.waitForFinished(20000));
  EXPECT_TRUE(parts().isEmpty());
  EXPECT_FALSE(QFile::exists(data + ".scf"));
}
#endif

}  // namespace
}  // namespace kolvane
