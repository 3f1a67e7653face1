// The View menu's matrix picture after a run of each example: the menu item is enabled once a
// run has its matrix, the picture shows one cell per matrix entry on the colour scale, and
// Save Picture writes PNG and SVG. The pictures go to build/<dir>/screenshots/ to be looked at.
#include "gui/matrix_dialog.h"

#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/matrix_picture.h"
#include "app/tissue_dialogs.h"
#include "dispatch/commands.h"
#include "gui_fixture.h"

namespace kolvane {
namespace {

using MatrixDialogTest = WindowTest;

TEST_F(MatrixDialogTest, PictureOfEachExample) {
  const std::string ex = std::string(KOLVANE_SOURCE_DIR) + "/examples/";
  QTemporaryDir dir;
  const struct {
    const char* name;
    std::vector<std::string> files;
    int rows, cols;
  } cases[] = {
      {"20-matrix-fixed",
       {ex + "fixed/tissue_blanks_controls.fix", ex + "fixed/tissue_blanks_controls.blk",
        ex + "fixed/tissue_blanks_controls.ctl"},
       7,
       7},
      {"21-matrix-scan", {ex + "scan/small.syn", ex + "scan/small.slk"}, 30, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.cols == 7) {
      EXPECT_FALSE(window->action_matrix_view()->isEnabled()) << "before the first run";
    }
    for (const std::string& f : c.files) host.files.push_back(f);
    host.files.push_back(dir.filePath(QString(c.name) + ".scf").toStdString());
    (c.cols == 7 ? window->action_open_data() : window->action_open_data_ss())->trigger();
    QTest::mouseClick(window->run_analysis(), Qt::LeftButton);
    window->Mirror();
    ASSERT_TRUE(p().RunCompleted);
    // The window writes the run's record beside its results file, naming every input.
    QFile record(dir.filePath(QString(c.name) + ".scf.json"));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    const QByteArray text = record.readAll();
    for (const std::string& f : c.files) EXPECT_TRUE(text.contains(f.c_str())) << f;
    EXPECT_TRUE(text.contains("\"complete\""));
    EXPECT_TRUE(window->action_matrix_view()->isEnabled());

    MatrixDialog dialog(MakeMatrixPicture(p().figures), window.get());
    const MatrixPicture& pic = dialog.view()->picture();
    ASSERT_EQ(pic.cells.size(), static_cast<std::size_t>(c.rows));
    ASSERT_EQ(pic.column_names.size(), static_cast<std::size_t>(c.cols));
    const QImage shot = dialog.view()->grab().toImage();
    QDir().mkpath(QString(KOLVANE_BINARY_DIR) + "/screenshots");
    EXPECT_TRUE(shot.save(QString(KOLVANE_BINARY_DIR) + "/screenshots/" + c.name + ".png"));
    // The largest entry is painted in the scale's top colour, a zero in its bottom colour.
    bool top = false;
    for (int x = 0; x < shot.width() && !top; ++x)
      for (int y = 0; y < shot.height() && !top; ++y)
        top = shot.pixel(x, y) == qRgb(0xfd, 0xe7, 0x25);
    EXPECT_TRUE(top);

    const std::string svg = dir.filePath("m.svg").toStdString();
    const std::string png = dir.filePath("m.png").toStdString();
    EXPECT_EQ(dialog.SavePicture(svg), "");
    EXPECT_EQ(dialog.SavePicture(png), "");
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), shot.size());
    QFile f(QString::fromStdString(svg));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("class=\"cell\""), c.rows * c.cols);
    EXPECT_NE(dialog.SavePicture("/nonexistent/m.svg"), "");
  }
}

}  // namespace
}  // namespace kolvane
