#include "base/file_identity.h"

#include <filesystem>
#include <system_error>

#include "base/platform_files.h"

namespace kolvane {

bool FileStamp::operator==(const FileStamp& o) const {
  return device == o.device && inode == o.inode && size == o.size && seconds == o.seconds &&
         nanoseconds == o.nanoseconds;
}

bool StampOfOpenFile(std::FILE* file, FileStamp& stamp) {
  return ReadStampOfOpenFile(file, stamp);
}

bool StampOfPath(const std::string& path, FileStamp& stamp) {
  return ReadStampOfPath(path, stamp);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(PathOf(a), PathOf(b), ec);
  return !ec && same;
}

bool IsSpecialFile(const std::string& path) {
  return IsSpecialPath(path);
}

std::string NotRegular(const std::string& path) {
  return "The data file " + path + " is not a regular file.  The file was not loaded.";
}

}  // namespace kolvane
