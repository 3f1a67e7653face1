// In this file: running kolvane-batch's BatchMain inside a test, with its standard output and
// error captured, and a temporary folder that is removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kolvane {

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

}  // namespace kolvane
