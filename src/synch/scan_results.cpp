#include "synch/scan_results.h"

#include <cmath>

#include "base/channels.h"
#include "base/format.h"
#include "base/numbers.h"

namespace kolvane {
namespace {

OutputChannel& Results(Program& p) {
  return p.channels.Out(Channels::kResults);
}

std::string GeneralCell(double value) {
  return std::isfinite(value) ? FormatGeneral(value) : "";
}

}  // namespace

std::string FixedCell(double value, int decimals) {
  return std::isfinite(value) ? FormatFixed(value, decimals) : std::string();
}

void WriteRunHead(Program& p) {
  ScanTables& s = p.scan;
  OutputChannel& out = Results(p);
  const int n = p.HeaderPureCount;
  const int m = 5 * n;
  out.WriteLine("");
  if (p.ResultsInMicrospheres) {
    out.WriteLine("Pure Color\tMicrospheres/ml");
    for (int k = 1; k <= n; ++k) {
      double entered = s.MicrosFactor[k] * s.PureSpectra(k, PeakPoint(p, k));
      out.WriteLine(std::to_string(k) + "\t" + GeneralCell(entered));
    }
    for (int k = 1; k <= n; ++k) s.MicrosFactor[k] *= p.SolventAmount;
  }
  out.WriteLine("");
  out.WriteLine("Overdetermined Pure Matrix");
  std::string line = "Pure/Wavelength";
  for (int r = 1; r <= m; ++r) {
    line += '\t';
    line += FixedCell(s.PointWavelength[s.FitPoints[r]], 2);
  }
  out.WriteLine(line);
  for (int k = 1; k <= n; ++k) {
    line = std::to_string(k);
    for (int r = 1; r <= m; ++r) {
      line += '\t';
      line += FixedCell(s.FitMatrix(r, k), 2);
    }
    out.WriteLine(line);
  }
  out.WriteLine("");
  out.WriteLine("");
  // One cell per pure, from the slot the load's search gave it; for pures found in ascending
  // slot order these are the selected slots' names in slot order.
  line.clear();
  for (int k = 1; k <= n; ++k) {
    line += '\t';
    line += TrimSpaces(s.PureLabel[k]);
  }
  out.WriteLine(line);
  line = "Sample/Wl";
  for (int k = 1; k <= n; ++k) {
    float wavelength = s.PointWavelength[PeakPoint(p, k)];
    line += '\t';
    if (std::isfinite(wavelength)) line += FormatGeneralSingle(wavelength);
  }
  line += "\tSS\tR^2";
  if (s.ScanHas350) line += "\tMax. Tissue";
  line += "\tHi-Lo Flag";
  out.WriteLine(line);
}

void WriteRecordLine(Program& p, const Vector& x, const FitQuality& quality, bool hi_lo) {
  ScanTables& s = p.scan;
  const int n = p.HeaderPureCount;
  std::string line = s.RecordName;
  for (int k = 1; k <= n; ++k) {
    if (p.ResultsInMicrospheres) {
      s.SampleResult[k] = x[k] * s.MicrosFactor[k];
      line += '\t';
      line += FixedCell(s.SampleResult[k], 0);
    } else {
      s.SampleResult[k] = x[k];
      line += '\t';
      line += FixedCell(s.SampleResult[k], 3);
    }
  }
  line += '\t';
  line += FixedCell(quality.ss, 2);
  line += '\t';
  if (quality.r2_defined) line += FixedCell(quality.r2, 3);
  if (s.ScanHas350) {
    line += '\t';
    line += FixedCell(s.Spectrum[s.Point350], 2);
  }
  if (hi_lo) line += "\t***";
  Results(p).WriteLine(line);
}

}  // namespace kolvane
