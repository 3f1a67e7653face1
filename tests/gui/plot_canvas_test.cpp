// The spectrum canvas paints the display list where the picture box's user scale puts it, and
// repaints only about 30 times a second however often the list changes.
#include "gui/plot_canvas.h"

#include <QElapsedTimer>
#include <QImage>
#include <cmath>
#include <limits>

#include "gui_fixture.h"

namespace kolvane {
namespace {

class SpectrumCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    canvas = std::make_unique<SpectrumCanvas>(display);
    canvas->setFixedSize(200, 100);
    // x 0..200 left to right, y 0..100 upwards: one unit per pixel, y flipped.
    display.Scale(0, 100, 200, -100);
    display.draw_width = 2;
  }
  QImage Picture() { return canvas->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  SpectrumDisplay display;
  std::unique_ptr<SpectrumCanvas> canvas;
};

TEST_F(SpectrumCanvasTest, PointsAreYellowDotsWhereTheScalePutsThem) {
  display.AddPoint(50, 25, kYellow);   // pixel (50, 75)
  display.AddPoint(150, 90, kYellow);  // pixel (150, 10)
  const QImage image = Picture();
  EXPECT_EQ(image.pixelColor(50, 75), QColor(255, 255, 0));
  EXPECT_EQ(image.pixelColor(49, 74), QColor(255, 255, 0));  // two pixels wide
  EXPECT_EQ(image.pixelColor(150, 10), QColor(255, 255, 0));
  EXPECT_EQ(image.pixelColor(100, 50), QColor(0, 0, 0));
  EXPECT_EQ(image.pixelColor(50, 25), QColor(0, 0, 0));  // not drawn with y downwards
}

TEST_F(SpectrumCanvasTest, CirclesHaveTheirRadiusInXUnits) {
  // Two x units per pixel: a radius of 20 units is 10 pixels.
  display.Scale(0, 100, 400, -100);
  display.AddCircle(200, 50, 20, kWhite);  // centre pixel (100, 50)
  const QImage image = Picture();
  for (const QPoint& on : {QPoint(110, 50), QPoint(90, 50), QPoint(100, 40)}) {
    int white = 0;  // within a pixel of the ring
    for (int dx = -1; dx <= 1; ++dx) {
      for (int dy = -1; dy <= 1; ++dy)
        white += image.pixelColor(on + QPoint(dx, dy)).lightness() > 200;
    }
    EXPECT_GT(white, 0) << on.x() << "," << on.y();
  }
  EXPECT_EQ(image.pixelColor(100, 50), QColor(0, 0, 0));  // a ring, not a disc
}

TEST_F(SpectrumCanvasTest, ScalesAndValuesThePictureCannotTakeLeaveItBlack) {
  display.AddPoint(std::numeric_limits<double>::quiet_NaN(), 10, kYellow);
  display.AddPoint(1e300, 10, kYellow);
  QImage image = Picture();
  EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 0));
  display.Scale(0, 0, 200, 0);  // a range of zero height
  display.AddPoint(10, 0, kYellow);
  image = Picture();
  for (int x : {0, 10, 100, 199}) EXPECT_EQ(image.pixelColor(x, 50), QColor(0, 0, 0));
}

TEST_F(SpectrumCanvasTest, RepaintsAtMostAboutThirtyTimesASecond) {
  canvas->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(canvas.get()));
  QTest::qWait(100);
  const int before = canvas->paint_count();
  QTest::qWait(200);
  EXPECT_EQ(canvas->paint_count(), before) << "repainted an unchanged display";

  // A run that changes the display on every record and lets events through every 2 ms.
  QElapsedTimer clock;
  clock.start();
  int changes = 0;
  while (clock.elapsed() < 600) {
    display.Clear();
    display.AddPoint(changes % 200, 50, kYellow);
    ++changes;
    QTest::qWait(2);
  }
  const int paints = canvas->paint_count() - before;
  EXPECT_GT(changes, 100);
  EXPECT_GE(paints, 5);
  EXPECT_LE(paints, 600 / SpectrumCanvas::kRepaintIntervalMs + 3);
}

}  // namespace
}  // namespace kolvane
