// In this file: the one conversion between the form's twips and the screen's pixels. The form
// was laid out at 15 twips per pixel on a 96 dpi screen; a screen with another logical dpi
// scales every position and size by the same factor, so the panels keep their proportions.
#pragma once

#include <QRect>
#include <cmath>

#include "app/main_form.h"

namespace kolvane {

inline int TwipsToPixels(int twips, double logical_dpi) {
  return static_cast<int>(std::lround(twips * logical_dpi / 1440.0));
}

inline int PixelsToTwips(int pixels, double logical_dpi) {
  return static_cast<int>(std::lround(pixels * 1440.0 / logical_dpi));
}

inline QRect TwipsToPixels(const Twips& t, double logical_dpi) {
  return QRect(TwipsToPixels(t.left, logical_dpi), TwipsToPixels(t.top, logical_dpi),
               TwipsToPixels(t.width, logical_dpi), TwipsToPixels(t.height, logical_dpi));
}

}  // namespace kolvane
