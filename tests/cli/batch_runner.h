// In this file: running kolvane-batch's BatchMain inside a test, with its standard output and
// error captured, and a temporary folder that is removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace kolvane {

// tests/data/cli/<name>.
std::string CliData(const std::string& name);

inline bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct BatchRun {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs BatchMain with "kolvane-batch" followed by args.
BatchRun RunBatch(const std::vector<std::string>& args);

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  // path()/name as text.
  // (With the system's separators: the program writes the paths it makes with them.)
  std::string File(const std::string& name) const {
    return (path_ / name).make_preferred().string();
  }
  // Copies a file into the folder (under its own name, or `name`) and returns the copy's path.
  std::string Copy(const std::string& source, const std::string& name = "") const;

 private:
  std::filesystem::path path_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// The record lines of a results file: those that start with a record's type (P, S, B) and number.
long RecordLines(const std::string& text);

// Whether `dir` holds a temporary file of the writer (".kolvane-..."); false when it does not
// exist.
bool TempFileIn(const std::filesystem::path& dir);

#ifndef _WIN32
// Writes a simulated scan file t/a.syn of `records` records of `points` points (large enough
// for a signal to come while it is analysed) and returns its path ("" when the simulator failed).
std::string SimulatedScan(const TempDir& t, int records, int points);
// Starts the build's kolvane-batch with `args` in a process of its own, its output discarded.
pid_t StartBatch(const std::vector<std::string>& args);
#endif

}  // namespace kolvane
