#include "dispatch/results_commands.h"

#include "app/main_form_ops.h"
#include "synch/record_view.h"

namespace kolvane {

void ShowRunResults(Program& p) {
  std::string problem;
  if (!p.results.Load(p.ledger.KeptFile(), problem)) {
    p.form.StatusLine.caption += (p.form.StatusLine.caption.empty() ? "" : "  ") + problem;
  }
  NotifyFormChanged(p);
}

void ResultsRow_Click(Program& p, int row) {
  if (row < 0 || row >= p.results.rows()) return;
  if (p.results.scan()) {
    FitScanRecord(p, row);
  } else {
    p.results.fit = RecordFit{};
    p.results.fit.row = row;
    ++p.results.generation;
  }
  NotifyFormChanged(p);
}

void ResultsFilter_Click(Program& p, ResultsFilter filter) {
  p.results.filter = filter;
  ++p.results.generation;
  NotifyFormChanged(p);
}

}  // namespace kolvane
