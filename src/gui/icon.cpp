#include "gui/icon.h"

#include <QPainter>
#include <QPainterPath>

namespace kolvane {

// Drawn on a 64 x 64 grid: three overlapping microspheres whose glows mix where they overlap
// (the spillover the program removes) and a yellow scan peak across the dark field.
QPixmap KolvanePixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x10, 0x16, 0x2a));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);

  painter.setCompositionMode(QPainter::CompositionMode_Plus);
  const struct {
    double x, y;
    QColor color;
  } spheres[] = {{24, 25, QColor(40, 90, 255, 210)},
                 {40, 25, QColor(30, 200, 90, 210)},
                 {32, 38, QColor(235, 50, 50, 210)}};
  for (const auto& s : spheres) {
    painter.setBrush(s.color);
    painter.drawEllipse(QPointF(s.x, s.y), 12.5, 12.5);
  }
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

  QPainterPath peak;
  peak.moveTo(8, 54);
  peak.cubicTo(20, 54, 24, 30, 32, 30);
  peak.cubicTo(40, 30, 44, 54, 56, 54);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(255, 255, 0), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawPath(peak);
  return pixmap;
}

QIcon KolvaneIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(KolvanePixmap(size));
  return icon;
}

}  // namespace kolvane
