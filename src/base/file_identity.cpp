#include "base/file_identity.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace kolvane {

namespace {

FileStamp StampOf(const struct stat& st) {
  return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
          static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
          static_cast<long long>(st.st_mtim.tv_nsec)};
}

}  // namespace

bool FileStamp::operator==(const FileStamp& o) const {
  return device == o.device && inode == o.inode && size == o.size && seconds == o.seconds &&
         nanoseconds == o.nanoseconds;
}

bool StampOfOpenFile(std::FILE* file, FileStamp& stamp) {
  struct stat st {};
  if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp = StampOf(st);
  return true;
}

bool StampOfPath(const std::string& path, FileStamp& stamp) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  stamp = StampOf(st);
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

bool IsSpecialFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

std::string NotRegular(const std::string& path) {
  return "The data file " + path + " is not a regular file.  The file was not loaded.";
}

}  // namespace kolvane
