#include "base/local_time.h"

#include <cstdio>

namespace kolvane {

namespace {

// The broken-down local time and UTC of `when`, thread-safe where the systems differ.
bool BreakDown(std::time_t when, std::tm& local, std::tm& utc) {
#ifdef _WIN32
  return localtime_s(&local, &when) == 0 && gmtime_s(&utc, &when) == 0;
#else
  return localtime_r(&when, &local) != nullptr && gmtime_r(&when, &utc) != nullptr;
#endif
}

}  // namespace

std::string LocalTimeText(std::time_t when) {
  std::tm local{}, utc{};
  if (!BreakDown(when, local, utc)) return "";
  // The offset from the two clock readings (the Windows C library's %z writes a zone's name).
  int days = local.tm_yday - utc.tm_yday;
  if (local.tm_year != utc.tm_year) days = local.tm_year > utc.tm_year ? 1 : -1;
  const int minutes =
      days * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
  const int magnitude = minutes < 0 ? -minutes : minutes;
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return text;
}

}  // namespace kolvane
