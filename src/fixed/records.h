// In this file: the records of a fixed-wavelength data body. One line is one record: its type
// and number, the delivery field of automatic delivery, then one reading per colour, separated
// by TABs.
#pragma once

#include <string_view>

#include "app/program.h"

namespace kolvane {

// A record line taken apart field by field.
struct FieldCursor {
  std::string_view rest;
  bool done = false;
};

// The next field of the line: the text up to the next TAB or the line's end. False when the
// line has no field left.
bool ReadTabField(FieldCursor& cursor, std::string_view& field);

enum class RecordRead {
  Record,  // RecordType, RecordNumber and Readings hold the record
  End,     // the end of the data file; RecordType is empty
  Bad,     // the record cannot be read; RecordProblem names it and says why
  Ending,  // the program was ended while the window had the word (Exit): unwind at once
};

// Reads the next record of data file 1, skipping empty lines; surplus fields are ignored. A
// line with fewer readings than colours, a number outside 16 bits or a reading that is not a
// finite number is Bad. Lets the window process pending messages once afterwards.
RecordRead ReadDataRecord(Program& p);
// ReadDataRecord in two halves, so that a run can finish the previous record between them:
// the record read (End, Bad or Record; the window not yet given the word), then the window's
// pending messages and the answer ReadDataRecord would give.
RecordRead ReadDataRecordUnsettled(Program& p);
RecordRead SettleRecordRead(Program& p, RecordRead rr);

// The same checks and refusals for the load's count of the records, without keeping the
// readings: Readings is left as it was unless a field has to be converted to be judged.
RecordRead CheckDataRecord(Program& p);

}  // namespace kolvane
