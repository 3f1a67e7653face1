#include "app/program.h"

#include <algorithm>

#include "app/run_record.h"

namespace kolvane {

// The channels digest every input they read whole, for the run's record.
Program::Program(Host& h) : host(h) {
  channels.Digests().SetMaker(&MakeSha256Digest);
}

void InitializeDatasetState(Program& p) {
  static const char* const kNames[15] = {"",           "Tissue",       "Blue",    "Blue-Green",
                                         "Green",      "Yellow-Green", "Yellow",  "Orange",
                                         "Orange-Red", "Red",          "Carmine", "Crimson",
                                         "Dark Red",   "Scarlet",      "Violet"};
  static const double kWavelengths[15] = {0,   0,   380, 440, 470, 493, 510, 537,
                                          554, 578, 591, 617, 640, 656, 682};
  for (int i = 0; i <= kMaxColors; ++i) {
    p.DefaultColorNames[i] = i < 15 ? kNames[i] : "";
    p.NominalWavelength[i] = i < 15 ? kWavelengths[i] : 0.0;
  }
  for (int i = 1; i <= kMaxColors; ++i) {
    p.MicrosPerMlValues[i] = 1000.0;
    p.ScanMicrosPerMlValues[i] = 1000.0;
  }
  p.SolventAmount = 2.0f;
  p.DisplayOn = true;
  p.CurrentPure = 1;
}

int ProgressPercent(const Program& p) {
  const ProgressBarControl& bar = p.form.Perc_Panel;
  const int span = bar.maximum - bar.minimum;
  const int percent = span > 0 ? (bar.value - bar.minimum) * 100 / span : 0;
  return std::clamp(percent, 0, 100);
}

void YieldToHost(Program& p) {
  if (p.host.StopRequested()) {
    p.InterruptRequested = true;
    p.AbortConfirmed = true;
  }
  p.host.ShowProgress(ProgressPercent(p));
  p.host.ProcessPendingMessages();
}

void EndProgram(Program& p) {
  p.channels.CloseAll();
  p.Ending = true;
  p.host.EndProgram();
}

}  // namespace kolvane
