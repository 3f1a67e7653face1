#include "gui/progress_meter.h"

#include <QPainter>

namespace kolvane {

void ProgressMeter::SetValueLater(int value) {
  setUpdatesEnabled(false);
  setValue(value);
  setUpdatesEnabled(true);
}

void ProgressMeter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  const QPalette& colors = palette();
  painter.fillRect(r, colors.color(QPalette::Base));
  const long long span = static_cast<long long>(maximum()) - minimum();
  if (span > 0 && value() > minimum()) {
    const double done = static_cast<double>(value() - minimum()) / static_cast<double>(span);
    const int width = static_cast<int>((r.width() - 2) * std::min(1.0, done));
    painter.fillRect(QRect(1, 1, width, r.height() - 2), colors.color(QPalette::Highlight));
  }
  painter.setPen(colors.color(QPalette::Mid));
  painter.drawRect(r.adjusted(0, 0, -1, -1));
  if (isTextVisible()) {
    painter.setPen(colors.color(QPalette::Text));
    painter.drawText(r, Qt::AlignCenter, text());
  }
}

}  // namespace kolvane
