// In this file: the progress bar of a run. It keeps QProgressBar's range, value and text but
// paints itself flat: the desktop style's bar (gradients, rounded grooves) costs several times
// more per repaint, and during a run the bar repaints on nearly every event pass.
#pragma once

#include <QProgressBar>

namespace kolvane {

class ProgressMeter : public QProgressBar {
  Q_OBJECT

 public:
  using QProgressBar::QProgressBar;

  // Sets the value without QProgressBar's immediate repaint; the bar is repainted with the
  // next event pass, together with everything else that changed.
  void SetValueLater(int value);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace kolvane
