// Writes a picture of the window in each of its states into the build tree
// (build/<dir>/screenshots/), so that a person can look at what a user sees. Each picture is
// also checked for the one thing that must show in that state.
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "app/about_box.h"
#include "app/color_panel.h"
#include "app/tissue_dialogs.h"
#include "gui/about_dialog.h"
#include "gui/icon.h"
#include "gui/plot_canvas.h"
#include "gui/tissue_dialogs.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

QString ScreenshotPath(const char* name) {
  const QString dir = QString(KOLVANE_BINARY_DIR) + "/screenshots";
  QDir().mkpath(dir);
  return dir + "/" + name + ".png";
}

class ScreenshotTest : public WindowTest {
 protected:
  // Saves the window as it is now and returns the picture.
  QImage Save(const char* name) {
    window->Mirror();
    QApplication::processEvents();
    const QImage image = window->grab().toImage();
    EXPECT_TRUE(image.save(ScreenshotPath(name))) << name;
    return image;
  }
};

template <typename Dialog, typename Form>
void SaveDialog(const char* name) {
  Form form;
  Dialog dialog(form, nullptr);
  dialog.adjustSize();
  EXPECT_TRUE(dialog.grab().save(ScreenshotPath(name))) << name;
}

TEST(DialogScreenshots, IconAboutBoxAndTissueDialogs) {
  TestApplication();
  EXPECT_TRUE(KolvanePixmap(128).save(ScreenshotPath("10-icon")));
  AboutForm about;
  AboutForm_Load(about);
  AboutDialog about_dialog(about, nullptr);
  about_dialog.adjustSize();
  EXPECT_EQ(about_dialog.windowTitle(), QString::fromStdString(about.caption));
  auto* version = about_dialog.findChild<QLabel*>("lblVersion");
  ASSERT_NE(version, nullptr);
  EXPECT_TRUE(version->text().startsWith("Version ")) << version->text().toStdString();
  EXPECT_TRUE(about_dialog.grab().save(ScreenshotPath("11-about")));
  SaveDialog<TissueDialog, TissueForm>("12-tissue");
  SaveDialog<TissueOptionsDialog, TissueOptionsForm>("13-tissue-options");
}

// Each simulated state, then the control that must show in it.
TEST_F(ScreenshotTest, SimulatedStates) {
  EXPECT_FALSE(Save("01-idle").isNull());
  const struct {
    const char* picture;
    std::function<void(Program&)> enter;
    std::vector<const char*> shown;
  } states[] = {
      {"02-fixed-intensity", [](Program& p) { SimulateFixedLoad(p, 8, true, true); }, {"Color(8)"}},
      {"03-fixed-microspheres",
       [](Program& p) { OFResults_Radio_Click(p, 1); },
       {"MicrosPerMlFix(8)", "Solvent_Text"}},
      {"04-fixed-30-intensity",
       [](Program& p) { SimulateFixedLoad(p, 30, false, true); },
       {"Color(30)"}},
      {"05-fixed-30-microspheres",
       [](Program& p) { OFResults_Radio_Click(p, 1); },
       {"MicrosPerMlFix(30)"}},
      {"06-scan-intensity", [](Program& p) { SimulateScanLoad(p, 13, true); }, {"MicroBox"}},
      {"07-scan-microspheres",
       [](Program& p) { OFResults_Radio_Click(p, 1); },
       {"MicrosPerMl(13)"}},
      {"09-fixed-run",
       [](Program& p) {
         SimulateFixedLoad(p, 8, true, true);
         SetBusy(p, true);
         p.form.MicroLabel.visible = false;
         p.form.SynchDataBox.visible = false;
         p.form.ProgressBar.visible = true;
         p.form.Perc_Panel.value = 64;
         p.form.SamplePtr.caption = "Sample 77";
       },
       {"Perc_Panel"}},
  };
  for (const auto& state : states) {
    state.enter(p());
    Save(state.picture);
    for (const char* name : state.shown) EXPECT_TRUE(Shown(name)) << state.picture << " " << name;
  }
}

TEST_F(ScreenshotTest, ScanRunInProgress) {
  SimulateScanLoad(p(), 13, true);
  SimulateScanRun(p(), 12345, 30000);
  window->spectra()->RefreshIfChanged();
  const QImage image = Save("08-scan-run");
  // Somewhere in the spectrum there are yellow dots.
  const QRect area(window->spectra()->mapTo(window.get(), QPoint(0, 0)), window->spectra()->size());
  int yellow = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x)
      yellow += image.pixelColor(x, y) == Qt::yellow;
  }
  EXPECT_GT(yellow, 100);
}

std::string GuiData(const char* name) {
  return std::string(KOLVANE_TEST_DATA) + "/gui/" + name;
}

TEST_F(ScreenshotTest, RealLoadsAndARealScanRun) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  host.QueueFile(GuiData("small_fixed.fix"));
  host.QueueFile(GuiData("small_fixed.blk"));
  host.QueueFile(GuiData("small_fixed.ctl"));
  host.QueueFile(dir.filePath("fixed.scf").toStdString());
  window->action_open_data()->trigger();
  ASSERT_TRUE(p().FixedDataLoaded);
  Save("14-loaded-fixed");
  OFResults_Radio_Click(p(), 1);
  Save("15-loaded-fixed-microspheres");
  window->action_close_it()->trigger();

  host.QueueFile(GuiData("small_scan.syn"));
  host.QueueFile(GuiData("small_scan.slk"));
  host.QueueFile(dir.filePath("scan.scf").toStdString());
  window->action_open_data_ss()->trigger();
  ASSERT_TRUE(p().ScanDataLoaded);
  Save("16-loaded-scan");
  bool saved = false;
  host.on_messages = [&](int) {
    if (!saved && p().form.Perc_Panel.value >= 40) {
      saved = true;
      window->spectra()->RefreshIfChanged();
      Save("17-scan-run-real");
    }
  };
  QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
  host.on_messages = nullptr;
  EXPECT_TRUE(saved);
  EXPECT_TRUE(p().RunCompleted);
  Save("18-after-run");
}

}  // namespace
}  // namespace kolvane
