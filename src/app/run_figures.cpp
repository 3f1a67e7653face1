#include "app/run_figures.h"

#include <cmath>
#include <cstdio>

#include "app/program.h"

namespace kolvane {

const char* const kConditionTitle = "Spillover Matrix Quality";

void NoteChosenFile(ChosenFileSet& files, FileRole role, const std::string& answer) {
  switch (role) {
    case FileRole::Data:
      files = ChosenFileSet{};
      files.data = answer;
      break;
    case FileRole::Blanks:
      files.blanks = answer;
      break;
    case FileRole::Controls:
      files.controls = answer;
      break;
    case FileRole::Results:
      files.results = answer;
      break;
    case FileRole::Matrix:
    case FileRole::Other:
      break;
  }
}

void ResetRunFigures(RunFigures& f) {
  f = RunFigures{};
}

void SetResultSpreads(RunFigures& f, const std::vector<double>& factor, bool microspheres) {
  f.units = microspheres ? "microspheres/ml" : "intensity";
  f.result_spread.clear();
  f.detection_limit.clear();
  if (f.blank_spread.empty() || f.pinv.empty()) return;
  f.result_spread.assign(f.n + 1, 0.0);
  f.detection_limit.assign(f.n + 1, 0.0);
  for (int i = 1; i <= f.n; ++i) {
    double sum = 0.0;
    for (int j = 1; j <= f.m; ++j) {
      const double t = f.pinv[i][j] * f.blank_spread[j];
      sum += t * t;
    }
    const double scale = i < static_cast<int>(factor.size()) ? std::fabs(factor[i]) : 1.0;
    f.result_spread[i] = scale * std::sqrt(sum);
    f.detection_limit[i] = 3.0 * f.result_spread[i];
  }
}

std::string ConditionText(const RunFigures& f) {
  char number[64];
  std::snprintf(number, sizeof number, "%.6g", f.condition);
  std::string text = f.singular ? "The spillover matrix is singular: it cannot tell every color "
                                  "apart, and the results of some colors are meaningless."
                                : std::string(
                                      "The spillover matrix amplifies noise: its condition "
                                      "number is ") +
                                      number + ".";
  if (f.pair_a > 0) {
    char cosine[32];
    std::snprintf(cosine, sizeof cosine, "%.4f", f.pair_cosine);
    text += "  The closest pair of colors is " + f.colour_names[f.pair_a] + " and " +
            f.colour_names[f.pair_b] + " (similarity " + cosine +
            "): low signals beside bright neighbours may be far off.";
  }
  return text + "  Do you want to continue the analysis?";
}

Flow AskAboutCondition(Program& p) {
  const RunFigures& f = p.figures;
  if (!f.ready || !f.decomposed || p.ConditionThreshold <= 0) return Flow::Continue;
  if (!f.singular && f.condition <= p.ConditionThreshold) return Flow::Continue;
  MatrixDoubt doubt{f.singular, f.condition, {}};
  if (p.host.AskAboutMatrix(ConditionText(f), kConditionTitle, doubt) == Answer::Yes)
    return Flow::Continue;
  if (!doubt.refusal.empty()) p.ledger.message = doubt.refusal;
  return p.Ending ? Flow::ProgramEnding : Flow::Stop;
}

}  // namespace kolvane
