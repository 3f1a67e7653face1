// In this file: the scan records of the data file (channel 1) and of the blanks file
// (channel 5), the walk to the next record of a wanted type that takes up blank records on
// the way, the blank spectrum of the blanks file, its subtraction, and the busy pointer.
#pragma once

#include <cstdint>
#include <string>

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

enum class ScanRead {
  Read,       // a whole record is in RecordName and Spectrum
  NoRecord,   // the file ended before a complete label: the records are over
  Truncated,  // the file ended inside the numbers: the record is dropped (message shown once)
  BadValue,   // a reading beyond single precision: message shown, the file cannot be used
  Ending,     // the program is ending (noticed while messages were processed)
};

// A record of the data file: type and number go to the out-arguments (callers pass RecordType
// and RecordNumber); a label without a type letter leaves `type` as it was.
ScanRead ReadScanRecord(Program& p, std::string& type, std::int16_t& number);
// The same, with every reading checked as that one does (same refusals and messages) but
// neither converted when it need not be nor kept: Spectrum is left as it was.
ScanRead PassScanRecord(Program& p, std::string& type, std::int16_t& number);
// The same as ReadScanRecord on the blanks file.
ScanRead ReadBlankScanRecord(Program& p, std::string& type, std::int16_t& number);

// Reads data-file records until one of the wanted type (any type when `wanted` is empty) or the
// end of the file. With BackgroundOn, "B" records become the blank spectrum and are passed over.
// Returns ProgramEnding when the program is ending, Stop after a reading that does not fit
// single precision (message shown), Continue otherwise.
Flow FindNextScanRecord(Program& p, const std::string& wanted, bool& found);

// Reads the whole blanks file: counts its records into NumBlanks and forms BlankSpectrum from
// the initial blanks (records numbered 1). Refuses (message, Flow::Stop) more than 100 initial
// blanks or more than 32767 records.
Flow LoadBlankScans(Program& p);

// Spectrum(i) -= BlankSpectrum(i), in single precision.
void SubtractBlank(Program& p);

// One step of the busy pointer: the sizing arrows in turn 8, 7, 6, 9, ... every `every` calls.
void StepBusyCursor(Program& p, std::int32_t& count, std::int16_t& cursor, std::int16_t reset,
                    std::int16_t every);

// Close File from inside a load or a run (an abort or an error of their own), past the guard
// that keeps the user's Close File away while they read.
void CloseScanDataset(Program& p);

// Rewinds the data file to its first byte for a new pass over its records.
void RewindScanData(Program& p);

}  // namespace kolvane
