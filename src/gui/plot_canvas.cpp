#include "gui/plot_canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace kolvane {

namespace {

QColor ToQColor(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

// Points far outside the field are not drawn: a spectrum value the scale does not reach must
// not turn into a coordinate the painter cannot take.
constexpr double kFarOutside = 1.0e6;

}  // namespace

SpectrumCanvas::SpectrumCanvas(const SpectrumDisplay& display, QWidget* parent)
    : QWidget(parent), display_(display) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  timer_.setInterval(kRepaintIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &SpectrumCanvas::RefreshIfChanged);
  scheduled_generation_ = display_.generation;
}

void SpectrumCanvas::RefreshIfChanged() {
  if (display_.generation == scheduled_generation_) return;
  scheduled_generation_ = display_.generation;
  update();
}

void SpectrumCanvas::showEvent(QShowEvent* event) {
  timer_.start();
  QWidget::showEvent(event);
}

void SpectrumCanvas::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void SpectrumCanvas::paintEvent(QPaintEvent*) {
  ++paint_count_;
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const SpectrumDisplay& d = display_;
  if (!d.notice.empty()) {
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, QString::fromStdString(d.notice));
  }
  if (d.scale_width == 0 || d.scale_height == 0 || !std::isfinite(d.scale_width) ||
      !std::isfinite(d.scale_height)) {
    return;
  }
  // A picture box's user scale: the left edge is scale_left and the full client width is
  // scale_width units; y runs from scale_top downwards by scale_height, which is negative
  // when y grows upwards.
  const double sx = width() / d.scale_width;
  const double sy = height() / d.scale_height;
  for (const SpectrumItem& item : d.items) {
    const double px = (item.x - d.scale_left) * sx;
    const double py = (item.y - d.scale_top) * sy;
    if (!std::isfinite(px) || !std::isfinite(py) || std::fabs(px) > kFarOutside ||
        std::fabs(py) > kFarOutside) {
      continue;
    }
    const double w = std::max(1, item.draw_width);
    if (item.kind == SpectrumItem::Point) {
      painter.fillRect(QRectF(px - w / 2, py - w / 2, w, w), ToQColor(item.color));
    } else {
      const double r = std::fabs(item.radius * sx);
      if (!std::isfinite(r) || r > kFarOutside) continue;
      painter.setPen(QPen(ToQColor(item.color), w));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(QPointF(px, py), r, r);
    }
  }
}

}  // namespace kolvane
