#include "fixed/records.h"

#include <cmath>
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
  p.host.ProcessPendingMessages();
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

RecordRead ReadDataRecord(Program& p) {
  FixedTables& t = p.fixed;
  InputChannel& in = p.channels.In(Channels::kData);
  std::string_view line;
  do {
    if (in.ReadLineView(line) != ReadStatus::Ok) {
      t.RecordType.clear();
      p.host.ProcessPendingMessages();
      return p.Ending ? RecordRead::Ending : RecordRead::End;
    }
  } while (IsEmptyLine(line));

  FieldCursor cursor{line};
  std::string_view first;
  ReadTabField(cursor, first);
  t.RecordType = std::string(first.substr(0, 1));
  std::optional<std::int16_t> number = ToInt16(LenientNumber(first.substr(first.empty() ? 0 : 1)));
  if (!number) return Bad(p, first, "has a record number outside -32768..32767.");
  t.RecordNumber = *number;

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
  p.host.ProcessPendingMessages();
  return p.Ending ? RecordRead::Ending : RecordRead::Record;
}

}  // namespace kolvane
