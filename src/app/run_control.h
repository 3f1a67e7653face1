// In this file: the keys F5 (abort), F11 (pause/resume) and F12 (display on/off) and the poll
// with which the scan operations take them up.
#pragma once

#include "app/program.h"

namespace kolvane {

constexpr int kKeyF5 = 116;
constexpr int kKeyF11 = 122;
constexpr int kKeyF12 = 123;

extern const char* const kRunKeyLegend;  // "F5 - Abort   F11 - Pause   F12 - Toggle Display"

void Form_KeyDown(Program& p, int key_code, int shift);
// True when the user confirmed an abort. While paused, waits on the host's messages.
bool CheckRunInterrupt(Program& p);
// For a run that takes no keys (the fixed path): true once an abort was confirmed (the window
// closed and the question answered Yes, or the batch stopped by a signal); the run ends.
bool CheckConfirmedAbort(Program& p);
// The window is being closed during a run: the abort question. Yes (true) ends the run at its
// next poll as F5 and Yes do, also from a pause; No leaves the run as it was.
bool AskAbortOnClose(Program& p);

}  // namespace kolvane
