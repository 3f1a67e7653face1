// In this file: the colour check boxes, the microspheres/ml entry boxes of both panels and the
// result-format choice, with the layout rules and instruction lines they drive.
#pragma once

#include <string>

#include "app/program.h"

namespace kolvane {

// The user (or the program) changed the tick of Color(index): form.Color[index].ticked holds
// the new state.
void Color_Click(Program& p, int index);
// Ticks or unticks Color(index) as a click would; runs Color_Click only when the tick changes.
void SetColorTick(Program& p, int index, bool ticked);

// The text of an entry box changed: form.MicrosPerMlFix[index].text / form.MicrosPerMl[index].text.
void MicrosPerMlFix_Change(Program& p, int index);
void MicrosPerMl_Change(Program& p, int index);
// Puts text into an entry box and runs its change handler.
void SetMicrosPerMlFixText(Program& p, int index, const std::string& text);
void SetMicrosPerMlText(Program& p, int index, const std::string& text);

void ShowColorPanel(Program& p, bool visible);
void InitMicroBox(Program& p);
// index 0: intensity levels; any other value: microspheres/ml.
void OFResults_Radio_Click(Program& p, int index);

// The instruction text of the result-format handler, lines separated by CR.
std::string FormatInstructions(const Program& p);

}  // namespace kolvane
