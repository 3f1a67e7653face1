// In this file: kolvane-batch fixed. Open Fixed Wavelength File, New Spillover Matrix when a
// matrix file is named, the colour boxes, the result format, the microspheres/ml boxes and the
// two option boxes, then Analyze - the handlers the window calls, in a user's order.
#include <algorithm>
#include <string>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "app/matrix_file.h"
#include "cli/batch_commands.h"
#include "dispatch/commands.h"

namespace kolvane {

namespace {

// The slots --colors and --micros-per-ml name must be colours of the file.
std::string CheckSlots(const BatchOptions& o, int n) {
  for (int slot : o.colors)
    if (slot > n)
      return "--colors: slot " + std::to_string(slot) + " is not a colour of " + o.data +
             ", which has " + std::to_string(n) + " colours";
  return TooManyMicros(o, n, "colours");
}

}  // namespace

int RunFixedBatch(const BatchOptions& o, BatchHost& host) {
  if (const std::optional<int> n = FixedHeaderColors(o.data)) {
    const std::string wrong = CheckSlots(o, *n);
    if (!wrong.empty()) return host.UsageError(wrong);
  }

  Program p(host);
  StartProgram(p, host);
  Flow flow = OpenData_Click(p);
  if (flow != Flow::Continue || host.aborted() || !p.FixedDataLoaded)
    return StopBeforeRun(p, host, flow);

  if (!o.matrix.empty()) {
    // A matrix file that cannot be read leaves the pures' matrix in force; the user asked for
    // the file's, so the run does not go on with another one.
    flow = Spillover_Click(p);
    if (flow != Flow::Continue || !p.MatrixFromFile) return StopBeforeRun(p, host, flow);
  }

  const int n = p.NumColors;
  if (!o.colors.empty())
    for (int slot = 1; slot <= n; ++slot)
      if (std::find(o.colors.begin(), o.colors.end(), slot) == o.colors.end())
        SetColorTick(p, slot, false);
  if (o.microspheres) ChooseResultFormat(p, true);
  for (std::size_t k = 0; k < o.micros.size() && static_cast<int>(k) < n; ++k)
    SetMicrosPerMlFixText(p, static_cast<int>(k) + 1, o.micros[k]);
  ChooseBackground(p, host, o);
  if (o.control_correction && p.ControlsPresent) {
    p.form.ControlCorr.ticked = *o.control_correction;
    ControlCorr_Click(p);
  }

  flow = RunAnalysis_Click(p);
  return FinishRun(p, host, flow);
}

}  // namespace kolvane
