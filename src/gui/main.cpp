// kolvane: the window program. `kolvane FILE` opens a data file at once; --help and --version
// answer on the terminal without opening a window.
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_ops.h"
#include "app/program.h"
#include "app/version.h"
#include "base/output_file.h"
#include "base/stop_signals.h"
#include "gui/icon.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/twips.h"

namespace {

const char* const kHelp =
    "Usage: kolvane [FILE]\n"
    "The window program of KOLVANE: spillover correction of fluorescent-microsphere\n"
    "measurements.\n"
    "\n"
    "  FILE           a data file to open at once: a fixed-wavelength file (.fix) or a\n"
    "                 synchronous-scan file (.syn), its kind found from its content; the\n"
    "                 dialogs for its companions and its results file follow\n"
    "  -h, --help     show this help and exit\n"
    "  -v, --version  show the version and exit\n"
    "\n"
    "The Qt options (-platform, -style, ...) are taken as well.  kolvane-batch runs the same\n"
    "analyses without a window.\n";

// Answers --help and --version before any window exists, so that they work on a terminal
// without a display. Returns the exit status, or -1 to go on.
int AnswerOnTerminal(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
      std::printf("kolvane %s\n", KOLVANE_VERSION_STRING);
      return 0;
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = AnswerOnTerminal(argc, argv);
  if (answered >= 0) return answered;

  QApplication app(argc, argv);
  QApplication::setApplicationName("KOLVANE");
  QApplication::setOrganizationName("KOLVANE");
  QApplication::setDesktopFileName("kolvane");
  QApplication::setWindowIcon(kolvane::KolvaneIcon());
  // Ended by the session (a logout, `kill`) or by Ctrl-C in its terminal: the temporary file of
  // the results the window holds goes with it, and an earlier results file stays as it was.
  kolvane::OnStopRequests(kolvane::EndBySignal);

  // What Qt left of the command line: the data file, if any.
  std::vector<std::string> files;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i].startsWith('-')) {
      std::fprintf(stderr, "kolvane: unknown option %s\nRun kolvane --help for the options.\n",
                   qPrintable(args[i]));
      return 2;
    }
    files.push_back(QFile::encodeName(args[i]).toStdString());
  }
  if (files.size() > 1) {
    std::fputs("kolvane: one data file at a time\nRun kolvane --help for the options.\n", stderr);
    return 2;
  }

  kolvane::QtHost host;
  // The program state holds the tables of both paths; it lives on the heap, not the stack.
  auto program = std::make_unique<kolvane::Program>(host);
  kolvane::MainWindow window(*program);
  host.Attach(&window, [&window] { window.Mirror(); });

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
  program->ConditionThreshold = kolvane::kDefaultConditionThreshold;
  // A run leaves its dataset loaded, for Analyze Again.
  program->KeepDatasetAfterRun = true;
  kolvane::Form_Load(*program, kolvane::PixelsToTwips(area.width(), dpi),
                     kolvane::PixelsToTwips(area.height(), dpi));
  if (program->Ending) return 0;
  window.Mirror();
  window.PlaceAsForm();
  window.move(window.pos() + area.topLeft());
  window.LoadSettings();
  host.set_last_directory(QString::fromStdString(program->prefs.last_folder));
  window.show();
  if (!files.empty()) {
    const std::string file = files.front();
    QTimer::singleShot(0, &window, [&window, file] { window.OpenGivenFile(file); });
  }
  return QApplication::exec();
}
