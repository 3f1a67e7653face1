// In this file: the fuzzed bytes as a file the program can open, in a folder of its own that
// lives as long as the fuzzing process.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kolvane_fuzz {

inline const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/kolvane-fuzz-XXXXXX";
    const char* made = mkdtemp(name);
    if (made == nullptr) std::abort();
    return std::string(made);
  }();
  return folder;
}

inline std::string WriteInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = Folder() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return path;
}

}  // namespace kolvane_fuzz
