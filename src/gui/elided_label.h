// In this file: a one-line label that gives up width when the window is narrow, so that a long
// path cannot push the window past the screen. Where the text does not fit, its middle is
// elided; the label's text stays whole, for the tooltip its caller sets.
#pragma once

#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace kolvane {

class ElidedLabel : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }
  // Neither the least nor the wished-for width grows with the text: a window that makes room
  // for a shown panel by its wished-for size would otherwise grow past the screen.
  QSize minimumSizeHint() const override { return Bounded(QLabel::minimumSizeHint(), 120); }
  QSize sizeHint() const override { return Bounded(QLabel::sizeHint(), 360); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter g(this);
    const QRect r = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, r.width());
    style()->drawItemText(&g, r, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), shown,
                          foregroundRole());
  }

 private:
  static QSize Bounded(const QSize& whole, int most) {
    return {std::min(whole.width(), most), whole.height()};
  }
};

}  // namespace kolvane
