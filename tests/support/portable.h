// In this file: what the tests do differently on Windows (built with mingw-w64, run under wine):
// the process number, fresh folders, running the build's programs through the shell.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kolvane {

#ifdef _WIN32
constexpr bool kOnWindows = true;
constexpr const char* kNullDevice = "NUL";
#else
constexpr bool kOnWindows = false;
constexpr const char* kNullDevice = "/dev/null";
#endif

inline int ProcessId() {
  return static_cast<int>(getpid());
}

// The build folder's program `name` ("kolvane-batch"), as the shell wants to be told it: a whole
// path, drive included, so that it names the same file from any current folder.
inline std::string BuiltProgram(const std::string& name) {
  return std::filesystem::absolute(std::string(KOLVANE_BINARY_DIR) + "/" + name)
      .make_preferred()
      .string();
}

// The exit status of a program that std::system ran; -1 when a signal ended it.
inline int ExitStatus(int status) {
#ifdef _WIN32
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

// A fresh folder named by `pattern` with its last six characters (XXXXXX) replaced.
inline bool MakeFreshFolder(std::string& pattern) {
#ifdef _WIN32
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string name = pattern;
    unsigned value = static_cast<unsigned>(std::rand()) ^ static_cast<unsigned>(attempt * 7919);
    for (std::size_t i = name.size() - 6; i < name.size(); ++i, value /= 36)
      name[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[value % 36];
    std::error_code ec;
    if (std::filesystem::create_directory(name, ec)) {
      pattern = name;
      return true;
    }
  }
  return false;
#else
  return mkdtemp(pattern.data()) != nullptr;
#endif
}

// A stream whose bytes are kept: Take() returns what was written since the last call.
struct MemoryStream {
  MemoryStream() {
#ifdef _WIN32
    name = (std::filesystem::temp_directory_path() /
            ("kolvane-stream-" + std::to_string(ProcessId()) + "-" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this))))
               .string();
    file = std::fopen(name.c_str(), "w+b");
#else
    file = open_memstream(&buffer, &size);
#endif
  }
  ~MemoryStream() {
    std::fclose(file);
#ifdef _WIN32
    std::remove(name.c_str());
#else
    std::free(buffer);
#endif
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  std::string Take() {
    std::fflush(file);
#ifdef _WIN32
    std::string text;
    std::fseek(file, static_cast<long>(taken), SEEK_SET);
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    std::fseek(file, 0, SEEK_END);
    taken += text.size();
#else
    std::string text(buffer + taken, size - taken);
    taken = size;
#endif
    return text;
  }

  std::FILE* file = nullptr;
  char* buffer = nullptr;
  std::size_t size = 0, taken = 0;
  std::string name;
};

// Sets the TZ variable (nullptr: removes it) and makes the C library read it again.
inline void SetTimeZone(const char* zone) {
#ifdef _WIN32
  _putenv_s("TZ", zone != nullptr ? zone : "");
  _tzset();
#else
  if (zone != nullptr)
    setenv("TZ", zone, 1);
  else
    unsetenv("TZ");
  tzset();
#endif
}

}  // namespace kolvane

// Skips a test of behaviour Windows does not have (pipes in the file system, signals sent with
// kill, file modes), saying so in the test's output.
#define KOLVANE_SKIP_ON_WINDOWS(reason) \
  if (::kolvane::kOnWindows) GTEST_SKIP() << "not on Windows: " << reason
