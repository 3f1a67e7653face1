#include "app/run_control.h"

#include "app/main_form_ops.h"

namespace kolvane {

const char* const kRunKeyLegend = "F5 - Abort   F11 - Pause   F12 - Toggle Display";

namespace {

void SetDirections(Program& p, const char* text) {
  p.form.Directions.caption = text;
  NotifyFormChanged(p);
}

bool AskAbort(Program& p) {
  return p.host.AskYesNo("Do you want to abort the current run?", "Abort Run") == Answer::Yes;
}

}  // namespace

void Form_KeyDown(Program& p, int key_code, int /*shift*/) {
  switch (key_code) {
    case kKeyF5:
      // An abort cannot be asked for while paused: the pause must be lifted first.
      if (!p.PauseRequested) {
        p.InterruptRequested = true;
        p.PauseRequested = false;
        SetDirections(p, "Aborting.  Please Wait.");
      } else {
        SetDirections(p, "Paused.  Press F11 to Restart first, then F5 to Abort.");
      }
      break;
    case kKeyF11:
      if (p.PauseRequested) {
        p.InterruptRequested = true;
        p.PauseRequested = false;
        SetDirections(p, kRunKeyLegend);
      } else {
        p.InterruptRequested = true;
        p.PauseRequested = true;
        SetDirections(p, "Pausing.  Please Wait.");
      }
      break;
    case kKeyF12:
      p.DisplayOn = !p.DisplayOn;
      // The last spectrum drawn would stand there as if it were the current record's.
      if (!p.DisplayOn) {
        p.form.Spectra.Clear();
        p.form.Spectra.notice = "Display off (F12)";
      } else {
        p.form.Spectra.notice.clear();
        ++p.form.Spectra.generation;
      }
      NotifyFormChanged(p);
      break;
    default:
      break;
  }
}

bool CheckRunInterrupt(Program& p) {
  if (p.Ending) return false;
  if (!p.InterruptRequested) return false;

  bool abort = p.AbortConfirmed;
  if (!abort && p.PauseRequested) {
    SetDirections(p, "Paused.  Press F11 to Restart.");
    p.InterruptRequested = false;
    // The host blocks on its message queue, so the pause does not spin the processor; F11
    // clears PauseRequested from the key handler, Exit ends the program, closing the window
    // may confirm an abort.
    while (p.PauseRequested && !p.Ending) p.host.WaitForMessages();
    if (p.Ending) return false;
    abort = p.AbortConfirmed;
  } else if (!abort) {
    abort = AskAbort(p);
    if (p.Ending) return false;
  }
  if (abort) p.ledger.end = RunEnd::Aborted;
  p.AbortConfirmed = false;

  SetDirections(p, kRunKeyLegend);
  p.InterruptRequested = false;
  p.PauseRequested = false;
  return abort;
}

bool CheckConfirmedAbort(Program& p) {
  if (p.Ending || !p.AbortConfirmed) return false;
  p.AbortConfirmed = false;
  p.InterruptRequested = false;
  p.PauseRequested = false;
  p.ledger.end = RunEnd::Aborted;
  return true;
}

bool AskAbortOnClose(Program& p) {
  if (!AskAbort(p) || p.Ending) return false;
  p.AbortConfirmed = true;
  p.InterruptRequested = true;
  p.PauseRequested = false;
  SetDirections(p, "Aborting.  Please Wait.");
  return true;
}

}  // namespace kolvane
