// In this file: the spectrum display of a synchronous-scan run. It paints the form's display
// list (the coordinate system, yellow points, white circles) on a black field. Records go by
// far faster than anyone can watch, so it repaints at most about 30 times a second and only
// when the list changed; the results never depend on what it shows.
#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "app/main_form.h"

namespace kolvane {

class SpectrumCanvas : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRepaintIntervalMs = 33;

  explicit SpectrumCanvas(const SpectrumDisplay& display, QWidget* parent = nullptr);

  // Schedules a repaint when the display list changed since the last one.
  void RefreshIfChanged();
  // How many times the canvas painted itself (for measuring the repaint rate).
  int paint_count() const { return paint_count_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  const SpectrumDisplay& display_;
  QTimer timer_;
  std::uint64_t scheduled_generation_ = 0;
  int paint_count_ = 0;
};

}  // namespace kolvane
