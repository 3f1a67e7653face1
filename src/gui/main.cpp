// kolvane: the window program. It takes no command line; everything is chosen in the window.
#include <QApplication>
#include <QScreen>
#include <memory>

#include "app/main_form_ops.h"
#include "app/program.h"
#include "app/version.h"
#include "gui/icon.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/twips.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("KOLVANE");
  QApplication::setOrganizationName("KOLVANE");
  QApplication::setDesktopFileName("kolvane");
  QApplication::setWindowIcon(kolvane::KolvaneIcon());

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
  return QApplication::exec();
}
