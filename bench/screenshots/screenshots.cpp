// Pictures of the window in its states and of the dialogs, for a person to look at. Not a
// test: a program of its own that drives the window with the window tests' fixture, run by
// scripts/screenshots.sh, which names the folder in KOLVANE_SCREENSHOTS.
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/about_box.h"
#include "gui/about_dialog.h"
#include "gui/plot_canvas.h"
#include "gui/tissue_dialogs.h"
#include "gui/gui_fixture.h"

namespace kolvane {
namespace {

template <typename W>
void Save(W& widget, const char* name) {
  QApplication::processEvents();
  const QString dir = qEnvironmentVariable("KOLVANE_SCREENSHOTS", QDir::currentPath());
  EXPECT_TRUE(QDir().mkpath(dir) && widget.grab().save(dir + "/" + name + ".png")) << name;
}

using Screenshots = WindowTest;

TEST_F(Screenshots, WindowStatesAndDialogs) {
  Save(*window, "01-idle");
  testing_window::LoadFixedWindow(p(), 30, true, true);
  window->Mirror();
  Save(*window, "02-fixed-30-intensity");
  window->results_radio(1)->click();
  Save(*window, "03-fixed-30-microspheres");
  CloseIt_Click(p());
  window->Mirror();
  QTemporaryDir dir;
  const std::string data = std::string(KOLVANE_TEST_DATA) + "/gui/small_scan";
  host.files = {data + ".syn", data + ".slk", dir.filePath("scan.scf").toStdString()};
  window->action_open_data_ss()->trigger();
  Save(*window, "04-loaded-scan");
  host.on_form_changed = [&] {
    if (p().form.Perc_Panel.value < 40) return;
    host.on_form_changed = nullptr;
    window->spectra()->RefreshIfChanged();
    Save(*window, "05-scan-run");
  };
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  Save(*window, "06-after-run");
  AboutForm about;
  AboutForm_Load(about);
  AboutDialog about_dialog(about, nullptr);
  Save(about_dialog, "07-about");
  TissueForm tissue;
  TissueDialog tissue_dialog(tissue, nullptr);
  Save(tissue_dialog, "08-tissue");
  TissueOptionsForm options;
  TissueOptionsDialog options_dialog(options, nullptr);
  Save(options_dialog, "09-tissue-options");
}

}  // namespace
}  // namespace kolvane
