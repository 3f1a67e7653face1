// In this file: the status line at the foot of the window and the title bar. The status line
// says how to begin while the window is empty and what the last run did; it stays until the
// next command. The title bar names the loaded data file.
#pragma once

#include <string>

#include "app/program.h"

namespace kolvane {

// "36 records written to /data/x.fix.scf" and the like: the last run's outcome as its ledger
// tells it.
std::string RunOutcomeText(const Program& p);
// Shows the last run's outcome; a run that kept lines also offers their file's folder.
void ShowRunOutcome(Program& p);
// Which File menu entries open which kind of file; shown while the window is empty.
void ShowStartHint(Program& p);
// A command started: the previous outcome goes.
void ClearStatus(Program& p);
// The title bar: "x.fix — KOLVANE" for a loaded data file, "KOLVANE" without one.
void ShowDataFileInTitle(Program& p, const std::string& path);
// A message that stops a run: shown, and kept as the reason the status line gives.
void ShowRunStop(Program& p, const std::string& text);
// 20013 -> "20 013": a space between groups of three digits.
std::string GroupedCount(long n);

}  // namespace kolvane
