// In this file: the local time as the run record writes it.
#pragma once

#include <ctime>
#include <string>

namespace kolvane {

// The local time of `when` as ISO 8601 with the offset from UTC: "2026-12-07T21:45:26+0100".
std::string LocalTimeText(std::time_t when);

}  // namespace kolvane
