// In this file: the main window's handlers that need no loaded path: start-up, Close File,
// the option check boxes, the panels' visibility, Exit and the about box.
#pragma once

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Lays out every control of the form (captions, geometry, initial visibility); the start of
// Form_Load. The screen size is used for centring.
void Form_Load(Program& p, int screen_width_twips, int screen_height_twips);

// Close File from the menu: does nothing while a load or a run is in progress (Program::Busy).
void CloseIt_Click(Program& p);
// The steps of Close File without that guard, for a load or run that closes its own dataset
// after a failure or an abort.
void CloseDataset(Program& p);
void BackSub_Click(Program& p);
void ControlCorr_Click(Program& p);
void ShowOptionPanel(Program& p, bool visible);
void ShowSpectrumDisplay(Program& p, bool visible);
void Exit_Click(Program& p);
void AbtKOLVANE_Click(Program& p);
// The status line's "Show in Folder": the results file's folder in the file manager, or a
// message with the folder's path when no file manager could show it.
void ShowInFolder_Click(Program& p);

// The menu's enabled states while a load or run is in progress (Program::Busy).
void SetBusy(Program& p, bool busy);

// The mouse pointer: hourglass while busy, the default otherwise.
void SetBusyPointer(Program& p, bool busy);

// The form changed: raises its generation and tells the host, so the view mirrors it at its
// next repaint.
void NotifyFormChanged(Program& p);

}  // namespace kolvane
