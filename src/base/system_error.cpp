#include "base/system_error.h"

#include "base/platform_error.h"

namespace kolvane {

std::string ErrorText(int error) {
  char buffer[256] = {};
  CopyErrorText(error, buffer, sizeof buffer);
  return buffer;
}

}  // namespace kolvane
