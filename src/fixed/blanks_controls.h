// In this file: the blanks and controls files of a fixed-wavelength dataset: reading them, the
// starting background and control values (the median of the records numbered 1), moving on to
// later records during a run, the control correction, and the compaction of per-colour values
// to the colours in use.
#pragma once

#include <string>

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Read the open blanks file (channel 5) or controls file (channel 7) to its end and close it.
// A record without a TAB, with fewer readings than colours, numbered outside 16 bits or
// numbered 1 after a later record, a first group of more than 100 records or more than 32767
// records: a message naming the file and the record, Flow::Stop.
Flow ReadBlanksFile(Program& p);
Flow ReadControlsFile(Program& p);

// The slot takes part in the analysis: ticked, and not the tissue column left out.
bool IsColorUsed(const Program& p, int slot);

// Which of the two backgrounds, or of the two control sets, is compacted.
enum class BackgroundOf { Pures, Samples };    // PureBackground, SampleBackground
enum class ControlsOf { Reference, Current };  // ControlReference, ControlCurrent

// Entry i becomes the value of the i-th colour in use; entries after the last keep theirs.
void CompactBackground(Program& p, BackgroundOf which);
void CompactControls(Program& p, ControlsOf which);

// The samples numbered above the next blank (control) record take its values.
void ApplyNextBlank(Program& p);
void ApplyNextControl(Program& p);

// Corrects a sample's right-hand side (1-based, matrix positions 1..MatrixSize) for the drift
// of the instrument: reference control over current control.
void ApplyControlCorrection(const Program& p, double* rhs);

// Before a run with control correction: the text of the refusal when a colour in use has a
// control value of 0 that the correction would divide by; empty when there is none. Reads the
// control values as the load left them (slot order).
std::string FindZeroControl(const Program& p);

}  // namespace kolvane
