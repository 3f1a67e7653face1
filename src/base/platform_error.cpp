#include "base/platform_error.h"

#include <cstring>

namespace kolvane {

#ifdef _WIN32

void CopyErrorText(int error, char* buffer, std::size_t size) {
  strerror_s(buffer, size, error);
}

#else

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

void CopyErrorText(int error, char* buffer, std::size_t size) {
  const char* text = ErrorTextOf(strerror_r(error, buffer, size), buffer);
  if (text != buffer) {
    std::strncpy(buffer, text, size - 1);
    buffer[size - 1] = '\0';
  }
}

#endif

}  // namespace kolvane
