// In this file: the search for the pures of a scan file and the five fit points of each pure
// (its peak, and on either flank the last points still at three quarters and at one half of
// the peak height).
#pragma once

#include <cstdint>

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// Takes the next "P" record for each of the HeaderPureCount pures, subtracts the blank
// spectrum, locates its peak and fit points and stores its spectrum in PureSpectra. At load
// (`at_load`) it also names each pure after the colour slot within 3 nm of its peak: marks
// ColorSelected, records PureSlot and PureLabel. Stops (Flow::Stop) after an abort confirmed
// by the user (Close File already done) and when the file has fewer pures than declared
// (message shown; the caller closes the files).
Flow FindPures(Program& p, bool at_load);

// Peak and flank points of the current Spectrum for pure k; writes FitPoints 5(k-1)+1..5(k-1)+5
// and PurePeak(CurrentPure, 1..2).
void LocatePurePeak(Program& p, std::int16_t k);

// The colour slot whose nominal wavelength lies within 3 nm of `wavelength` (the lowest such
// slot), or 0 when none does. Slots without a nominal wavelength never match.
std::int16_t SlotForPeak(const Program& p, double wavelength);

}  // namespace kolvane
