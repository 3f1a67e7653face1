#include "app/run_figures.h"

#include <cmath>
#include <cstdio>

#include "app/program.h"

namespace kolvane {

const char* const kConditionTitle = "Spillover Matrix Quality";

void NoteChosenFile(ChosenFileSet& files, const std::string& title, const std::string& answer) {
  if (title == "Open Fix File" || title == "Open Synchronous Scan File") {
    files = ChosenFileSet{};
    files.data = answer;
  } else if (title == "Open Blanks File") {
    files.blanks = answer;
  } else if (title == "Open Control File") {
    files.controls = answer;
  } else if (title == "Save Results File") {
    files.results = answer;
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
  if (p.host.AskYesNo(ConditionText(f), kConditionTitle) == Answer::Yes) return Flow::Continue;
  return p.Ending ? Flow::ProgramEnding : Flow::Stop;
}

}  // namespace kolvane
