#include "base/system_error.h"

#include <cstring>

namespace kolvane {

namespace {

// strerror may share one buffer among the threads of a study; strerror_r writes the caller's
// (its GNU form may return a text of its own instead).
[[maybe_unused]] const char* ErrorTextOf(int, const char* buffer) {
  return buffer;
}
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*) {
  return text;
}

}  // namespace

std::string ErrorText(int error) {
  char buffer[256] = {};
  return ErrorTextOf(strerror_r(error, buffer, sizeof buffer), buffer);
}

}  // namespace kolvane
