// Writes a picture of the window in each of its states into the build tree
// (build/<dir>/screenshots/), so that a person can look at what a user sees. Each picture is
// also checked for the one thing that must show in that state.
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>

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

TEST(DialogScreenshots, IconAboutBoxAndTissueDialogs) {
  TestApplication();
  EXPECT_TRUE(KolvanePixmap(128).save(ScreenshotPath("10-icon")));
  AboutForm about;
  AboutForm_Load(about);
  AboutDialog about_dialog(about, nullptr);
  about_dialog.adjustSize();
  EXPECT_TRUE(about_dialog.grab().save(ScreenshotPath("11-about")));
  TissueForm tissue;
  TissueDialog tissue_dialog(tissue, nullptr);
  tissue_dialog.adjustSize();
  EXPECT_TRUE(tissue_dialog.grab().save(ScreenshotPath("12-tissue")));
  TissueOptionsForm options;
  TissueOptionsDialog options_dialog(options, nullptr);
  options_dialog.adjustSize();
  EXPECT_TRUE(options_dialog.grab().save(ScreenshotPath("13-tissue-options")));
}

TEST_F(ScreenshotTest, Idle) {
  const QImage image = Save("01-idle");
  EXPECT_FALSE(image.isNull());
}

TEST_F(ScreenshotTest, FixedDatasetInBothFormats) {
  SimulateFixedLoad(p(), 8, true, true);
  Save("02-fixed-intensity");
  OFResults_Radio_Click(p(), 1);
  Save("03-fixed-microspheres");
  EXPECT_TRUE(Shown("MicrosPerMlFix(8)"));
  EXPECT_TRUE(Shown("Solvent_Text"));
}

TEST_F(ScreenshotTest, FixedDatasetWithThirtyColours) {
  SimulateFixedLoad(p(), 30, false, true);
  Save("04-fixed-30-intensity");
  EXPECT_TRUE(Shown("Color(30)"));
  OFResults_Radio_Click(p(), 1);
  Save("05-fixed-30-microspheres");
  EXPECT_TRUE(Shown("MicrosPerMlFix(30)"));
}

TEST_F(ScreenshotTest, ScanDatasetLoaded) {
  SimulateScanLoad(p(), 13, true);
  Save("06-scan-intensity");
  OFResults_Radio_Click(p(), 1);
  Save("07-scan-microspheres");
  EXPECT_TRUE(Shown("MicrosPerMl(13)"));
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
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == QColor(255, 255, 0)) ++yellow;
    }
  }
  EXPECT_GT(yellow, 100);
}

TEST_F(ScreenshotTest, FixedRunInProgress) {
  SimulateFixedLoad(p(), 8, true, true);
  SetBusy(p(), true);
  form().MicroLabel.visible = false;
  form().SynchDataBox.visible = false;
  form().ProgressBar.visible = true;
  form().Perc_Panel.value = 64;
  form().SamplePtr.caption = "Sample 77";
  Save("09-fixed-run");
  EXPECT_TRUE(Shown("Perc_Panel"));
}

}  // namespace
}  // namespace kolvane

namespace kolvane {
namespace {

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
