#include "synch/scan_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/format.h"
#include "base/numbers.h"

namespace kolvane {
namespace {

// The plot limits are 16-bit: a spectrum beyond that range is drawn on the nearest limit.
std::int16_t ClampToInt16(double value) {
  return static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
}

}  // namespace

void ScaleSpectrumDisplay(Program& p, bool with_labels) {
  ScanTables& s = p.scan;
  const double left = s.ScanLower - 10.0;
  const double width = s.ScanUpper - s.ScanLower + 20.0;
  p.form.Spectra.Scale(left, s.PlotYMax, width, static_cast<double>(s.PlotYMin) - s.PlotYMax);
  if (with_labels) {
    p.form.XMin.caption = FormatGeneral(left);
    p.form.XMax.caption = FormatGeneral(s.ScanLower + width);
    p.form.YMin.caption = FormatGeneral(s.PlotYMin);
    p.form.YMax.caption = FormatGeneral(s.PlotYMax);
  }
}

void DrawSpectrum(Program& p, bool with_labels) {
  ScanTables& s = p.scan;
  float max = 0.0f;
  float min = 9999.0f;
  s.PlotYMax = 0;
  s.PlotYMin = 9999;
  for (int i = 1; i <= s.ScanPoints; ++i) {
    if (s.Spectrum[i] > max) max = s.Spectrum[i];
    if (s.Spectrum[i] < min) min = s.Spectrum[i];
  }
  if (max > s.PlotYMax) {
    double c = RoundHalfEven(max);
    s.PlotYMax = ClampToInt16(10.0 * std::floor((c + 10.0) / 10.0));
  }
  if (min < s.PlotYMin) {
    double c = RoundHalfEven(min);
    double d = std::floor((c - 5.0) / 5.0);
    if (d < 0) d = d + 1;
    s.PlotYMin = ClampToInt16(5.0 * d);
  }
  // A range of zero height (an all-zero spectrum, or one beyond the 16-bit limits) cannot be
  // drawn: show ten units above the bottom instead, or below the top at the upper limit.
  if (s.PlotYMax == s.PlotYMin) {
    if (s.PlotYMin <= 32757) {
      s.PlotYMax = static_cast<std::int16_t>(s.PlotYMin + 10);
    } else {
      s.PlotYMin = static_cast<std::int16_t>(s.PlotYMax - 10);
    }
  }
  ScaleSpectrumDisplay(p, with_labels);
  p.form.Spectra.Clear();
}

void PlotSpectrumPoints(Program& p) {
  ScanTables& s = p.scan;
  SpectrumDisplay& d = p.form.Spectra;
  d.draw_width = 2;
  for (int i = 1; i <= s.ScanPoints; ++i) d.AddPoint(s.PointWavelength[i], s.Spectrum[i], kYellow);
}

void DrawRunFrame(Program& p) {
  p.scan.PlotYMax = 1000;
  p.scan.PlotYMin = 0;
  ScaleSpectrumDisplay(p, true);
  p.form.Spectra.Clear();
}

}  // namespace kolvane
