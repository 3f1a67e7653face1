#include "synch/scan_header.h"

#include <cmath>
#include <optional>
#include <string>

#include "base/channels.h"
#include "base/format.h"
#include "base/numbers.h"

namespace kolvane {
namespace {

bool Has(const std::string& item, const char* keyword) {
  return item.find(keyword) != std::string::npos;
}

// The value of an item is the text after its first TAB (the whole item without one).
double ItemValue(const std::string& item) {
  std::string rest = item;
  SplitAtTab(rest);
  return LenientNumber(rest);
}

void ResetHeaderValues(Program& p) {
  ScanTables& s = p.scan;
  p.NumColors = 0;
  p.HeaderPureCount = 0;
  p.SolventAmount = 2.0f;
  s.AutoDelivery = false;
  s.ScanLower = s.ScanUpper = s.ScanInterval = 0.0;
  s.ScanHas350 = false;
  s.Point350 = 0;
  s.ScanPoints = 0;
}

Flow Refuse(Program& p, const std::string& text) {
  p.host.ShowMessage(text);
  return Flow::Stop;
}

// The header is complete: check it against the limits of the tables, decide the scan's
// geometry from its final values (whatever the order of its items) and size the tables.
Flow FinishHeader(Program& p) {
  ScanTables& s = p.scan;
  const std::string& path = p.channels.In(Channels::kData).Path();
  if (!std::isfinite(s.ScanLower) || !std::isfinite(s.ScanUpper) ||
      !std::isfinite(s.ScanInterval) || !std::isfinite(p.SolventAmount)) {
    return Refuse(p, "The header of " + path + " holds a value out of range.");
  }
  if (s.ScanInterval == 0.0) {
    return Refuse(p, "The scan data interval of " + path + " is 0: the file cannot be read.");
  }
  double quotient = (s.ScanUpper - s.ScanLower) / s.ScanInterval;
  std::optional<std::int16_t> points = ToInt16(quotient);
  if (!points || *points < 1 || *points > kMaxScanPoints) {
    return Refuse(p, "The scan of " + path + " has " + FormatGeneral(RoundHalfEven(quotient)) +
                         " points per record; 1 to 1000 can be read.");
  }
  if (p.HeaderPureCount < 1 || p.HeaderPureCount > kMaxScanPures) {
    return Refuse(p, "The header of " + path + " declares " + FormatGeneral(p.HeaderPureCount) +
                         " pures; 1 to 30 can be read.");
  }
  s.ScanPoints = *points;
  s.ScanHas350 = false;
  s.Point350 = 0;
  if (s.ScanLower <= 350.0) {
    std::optional<std::int16_t> at350 = ToInt16((350.0 - s.ScanLower) / s.ScanInterval + 1.0);
    if (at350 && *at350 >= 1 && *at350 <= s.ScanPoints) {
      s.ScanHas350 = true;
      s.Point350 = *at350;
    }
  }
  // The wavelength of every point is fixed by the header; records never change it.
  s.PointWavelength.fill(0.0f);
  for (int i = 1; i <= s.ScanPoints; ++i) {
    s.PointWavelength[i] = static_cast<float>((i - 1) * s.ScanInterval + s.ScanLower);
  }
  const int n = p.HeaderPureCount;
  const int m = 5 * n;
  s.PureSpectra.Resize(n, s.ScanPoints);
  s.FitMatrix.Resize(m, n);
  s.FitObserved.assign(m + 1, 0.0);
  s.SampleResult.assign(n + 1, 0.0);
  s.FitResidual.assign(m + 1, 0.0);
  s.FitFitted.assign(m + 1, 0.0);
  s.FitObservedCentred.assign(m + 1, 0.0);
  return Flow::Continue;
}

}  // namespace

Flow ReadScanHeader(Program& p, bool copy) {
  InputChannel& in = p.channels.In(Channels::kData);
  OutputChannel& out = p.channels.Out(Channels::kResults);
  if (copy) {
    ResetHeaderValues(p);
    out.WriteLine("This file has been spillover corrected.");
  }
  ScanTables& s = p.scan;
  bool first = true;
  std::string item;
  for (;;) {
    if (in.ReadItem(item) == ReadStatus::End) {
      return Refuse(p, "The header of " + in.Path() +
                           " has no \"Date/Time\" item: the file cannot be read as a "
                           "synchronous scan file.");
    }
    // An editor's byte order mark is not part of the first item.
    if (first && item.compare(0, 3, "\xEF\xBB\xBF") == 0) item.erase(0, 3);
    first = false;
    if (copy) {
      if (Has(item, "Pures")) {
        double value = ItemValue(item);
        std::optional<std::int16_t> count = ToInt16(value);
        if (!count) {
          return Refuse(p, "The header of " + in.Path() + " declares " + FormatGeneral(value) +
                               " pures; 1 to 30 can be read.");
        }
        p.HeaderPureCount = *count;
        p.NumColors = *count;
      }
      if (Has(item, "Amount of solvent")) p.SolventAmount = static_cast<float>(ItemValue(item));
      if (Has(item, "Delivery")) s.AutoDelivery = Has(item, "Auto");
      if (Has(item, "Scan lower")) s.ScanLower = ItemValue(item);
      if (Has(item, "Scan upper")) s.ScanUpper = ItemValue(item);
      if (Has(item, "Scan data interval")) s.ScanInterval = ItemValue(item);
      out.WriteLine(item);
    }
    if (Has(item, "Date/Time")) return copy ? FinishHeader(p) : Flow::Continue;
  }
}

}  // namespace kolvane
