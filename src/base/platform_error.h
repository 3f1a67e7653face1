// In this file: the system's text for a C library error number, where systems differ.
#pragma once

#include <cstddef>

namespace kolvane {

// Writes the text of `error` into the caller's buffer (never a buffer shared among threads).
void CopyErrorText(int error, char* buffer, std::size_t size);

}  // namespace kolvane
