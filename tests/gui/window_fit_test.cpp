// The window on a small screen and its entry boxes: the window with its frame stays within the
// screen's available area whatever the status line holds (the form scrolls), and every
// microspheres/ml box shows eight digits.
#include <QLineEdit>
#include <QScrollArea>
#include <QStyle>

#include "gui_fixture.h"

namespace kolvane {
namespace {

// QT_SCALE_FACTOR=2 on a 1600 x 1000 screen: 800 x 500 of room, less than the form needs.
TEST_F(WindowTest, StaysWithinASmallScreenAndTheFormScrolls) {
  const QRect area(0, 0, 800, 500);
  for (const char* status : {"", "A long status line. "}) {
    SCOPED_TRACE(status);
    std::string text;
    for (int i = 0; i < 12; ++i) text += status;  // several lines at this width
    p().form.StatusLine.caption = text;
    window->Mirror();
    window->FitInto(area);
    const QSize frame = window->frameGeometry().size() - window->size();
    const QSize extra = frame.height() > 0 ? frame : QSize(16, 48);
    EXPECT_LE(window->width() + extra.width(), area.width());
    EXPECT_LE(window->height() + extra.height(), area.height());
    EXPECT_LT(window->scroll_area()->height(), window->client()->height()) << "the form scrolls";
  }
}

TEST_F(WindowTest, MicrospheresBoxesShowEightDigits) {
  for (bool scan : {false, true}) {
    SCOPED_TRACE(scan ? "scan" : "fixed");
    if (scan)
      testing_window::LoadScanWindow(p(), 30, false);
    else
      testing_window::LoadFixedWindow(p(), 30, false, false);
    OFResults_Radio_Click(p(), 1);
    window->Mirror();
    for (int i = 1; i <= 30; ++i) {
      QLineEdit* e = scan ? window->micros_per_ml(i) : window->micros_per_ml_fix(i);
      ASSERT_TRUE(e->isVisible()) << i;
      // QLineEdit keeps two pixels each side of its text inside the frame.
      const int frame = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e);
      EXPECT_LE(e->fontMetrics().horizontalAdvance("12500000"), e->width() - 2 * frame - 4) << i;
    }
    CloseIt_Click(p());
  }
}

}  // namespace
}  // namespace kolvane
