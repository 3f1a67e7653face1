// In this file: what an operation tells its caller when it returns. Nothing throws across
// layers; a loader or a run says whether its caller goes on, returns the window to idle, or
// must unwind because the program is ending.
#pragma once

namespace kolvane {

enum class Flow {
  Continue,       // done, go on
  Stop,           // the command ended early (cancel, refusal, error shown); go to idle
  ProgramEnding,  // the program is ending: unwind without touching the window
};

}  // namespace kolvane
