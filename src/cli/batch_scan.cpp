// In this file: kolvane-batch scan. Open Synchronous Scan File (its pure search included),
// the result format, the pures' microspheres/ml boxes and Background Subtraction, then
// Analyze - the handlers the window calls, in a user's order.
#include <string>

#include "app/color_panel.h"
#include "cli/batch_commands.h"
#include "dispatch/commands.h"

namespace kolvane {

int RunScanBatch(const BatchOptions& o, BatchHost& host) {
  // The scan panel has one box per pure the header announces, in the order of the pures.
  if (const std::optional<int> pures = ScanHeaderPures(o.data)) {
    const std::string wrong = TooManyMicros(o, *pures, "pures");
    if (!wrong.empty()) return host.UsageError(wrong);
  }

  Program p(host);
  StartProgram(p, host);
  Flow flow = OpenDataSS_Click(p);
  if (flow != Flow::Continue || host.aborted() || !p.ScanDataLoaded)
    return StopBeforeRun(p, host, flow);

  if (o.microspheres) ChooseResultFormat(p, true);
  const int pures = p.HeaderPureCount;
  for (std::size_t k = 0; k < o.micros.size() && static_cast<int>(k) < pures; ++k)
    SetMicrosPerMlText(p, static_cast<int>(k) + 1, o.micros[k]);
  ChooseBackground(p, host, o);

  flow = RunAnalysis_Click(p);
  return FinishRun(p, host, flow);
}

}  // namespace kolvane
