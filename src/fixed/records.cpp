#include "fixed/records.h"

#include <cmath>
#include <optional>
#include <string>

#include "base/numbers.h"

namespace kolvane {

namespace {

bool IsEmptyLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

RecordRead Bad(Program& p, std::string_view first_field, const std::string& why) {
  p.fixed.RecordProblem = "Record \"" + std::string(first_field) + "\" of the data file " +
                          p.channels.In(Channels::kData).Path() + " " + why;
  return RecordRead::Bad;
}

std::string FewerReadings(int got, int colors) {
  return "has " + std::to_string(got) + (got == 1 ? " reading" : " readings") + " for " +
         std::to_string(colors) + " colors.";
}

}  // namespace

bool ReadTabField(FieldCursor& cursor, std::string_view& field) {
  if (cursor.done) return false;
  std::string_view::size_type tab = cursor.rest.find('\t');
  if (tab == std::string_view::npos) {
    field = cursor.rest;
    cursor.rest = {};
    cursor.done = true;
  } else {
    field = cursor.rest.substr(0, tab);
    cursor.rest.remove_prefix(tab + 1);
  }
  return true;
}

namespace {

// The record number: plain digits (the usual case) are taken as they stand, anything else by
// the number rule and the conversion to a count.
std::optional<std::int16_t> RecordNumberOf(std::string_view text) {
  if (!text.empty() && text.size() <= 5) {
    int n = 0;
    for (char c : text) {
      const unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(c)) - '0';
      if (digit > 9) return ToInt16(LenientNumber(text));
      n = n * 10 + static_cast<int>(digit);
    }
    if (n <= 32767) return static_cast<std::int16_t>(n);
  }
  return ToInt16(LenientNumber(text));
}

// The next non-empty line of the data file, its type and its number. End/Ending at the end
// of the file, Bad for a number outside 16 bits, Record otherwise with the readings' fields
// left in `cursor`.
RecordRead ReadRecordHead(Program& p, std::string_view& first, FieldCursor& cursor) {
  FixedTables& t = p.fixed;
  InputChannel& in = p.channels.In(Channels::kData);
  std::string_view line;
  do {
    if (in.ReadLineView(line) != ReadStatus::Ok) {
      t.RecordType.clear();
      return RecordRead::End;
    }
  } while (IsEmptyLine(line));

  cursor = FieldCursor{line};
  ReadTabField(cursor, first);
  t.RecordType.assign(first.data(), first.empty() ? 0 : 1);
  std::optional<std::int16_t> number = RecordNumberOf(first.substr(first.empty() ? 0 : 1));
  if (!number) return Bad(p, first, "has a record number outside -32768..32767.");
  t.RecordNumber = *number;
  return RecordRead::Record;
}

// The readings of a record into Readings, from the fields after its type and number.
RecordRead ConvertReadings(Program& p, std::string_view first, FieldCursor cursor) {
  FixedTables& t = p.fixed;
  std::string_view field;
  if (t.AutoDelivery && !ReadTabField(cursor, field))
    return Bad(p, first, FewerReadings(0, p.NumColors));
  for (int c = 1; c <= p.NumColors; ++c) {
    double value = 0.0;
    // A plain number ended by a TAB or the line's end is converted where it stands; any other
    // field takes the general route.
    const char* rest_end = cursor.rest.data() + cursor.rest.size();
    const char* stop =
        cursor.done ? nullptr : ParsePlainNumber(cursor.rest.data(), rest_end, value);
    if (stop != nullptr && stop == rest_end) {
      cursor.rest = {};
      cursor.done = true;
    } else if (stop != nullptr && *stop == '\t') {
      cursor.rest.remove_prefix(static_cast<std::size_t>(stop - cursor.rest.data()) + 1);
    } else {
      if (!ReadTabField(cursor, field)) return Bad(p, first, FewerReadings(c - 1, p.NumColors));
      value = LenientNumber(field);
    }
    if (!std::isfinite(value))
      return Bad(p, first, "has a reading at color " + std::to_string(c) + " that is too large.");
    t.Readings[c] = value;
  }
  return RecordRead::Record;
}

}  // namespace

RecordRead ReadDataRecordUnsettled(Program& p) {
  std::string_view first;
  FieldCursor cursor;
  RecordRead rr = ReadRecordHead(p, first, cursor);
  if (rr != RecordRead::Record) return rr;
  return ConvertReadings(p, first, cursor);
}

RecordRead SettleRecordRead(Program& p, RecordRead rr) {
  YieldToHost(p);
  if (rr == RecordRead::Bad) return rr;
  return p.Ending ? RecordRead::Ending : rr;
}

RecordRead ReadDataRecord(Program& p) {
  return SettleRecordRead(p, ReadDataRecordUnsettled(p));
}

RecordRead CheckDataRecord(Program& p) {
  std::string_view first;
  FieldCursor cursor;
  RecordRead rr = ReadRecordHead(p, first, cursor);
  if (rr != RecordRead::Record) return SettleRecordRead(p, rr);
  // Only a field with an exponent or hundreds of digits can lie beyond a double; a line
  // without either needs its fields counted, not converted.
  const std::string_view rest = cursor.done ? std::string_view() : cursor.rest;
  std::size_t tabs = 0;
  unsigned exponent = 0;
  for (char c : rest) {
    tabs += static_cast<std::size_t>(c == '\t');
    exponent |= static_cast<unsigned>((c | 0x20) == 'e');
  }
  if (exponent != 0 || rest.size() > 300) {
    rr = ConvertReadings(p, first, cursor);
  } else {
    // Fields after the type and number: one more than the TABs among them.
    const long fields = cursor.done ? 0 : static_cast<long>(tabs) + 1;
    const long readings = fields - (p.fixed.AutoDelivery ? 1 : 0);
    if (readings < p.NumColors)
      rr = Bad(p, first, FewerReadings(readings < 0 ? 0 : static_cast<int>(readings), p.NumColors));
  }
  return SettleRecordRead(p, rr);
}

}  // namespace kolvane
