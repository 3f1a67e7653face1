// In this file: the file system calls that differ between POSIX systems and Windows. Windows is
// reached through its wide-character calls, file names converted from and to UTF-8.
#include "base/platform_files.h"

#include <cerrno>
#include <cstdio>

#include "base/file_identity.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace kolvane {

std::filesystem::path PathOf(const std::string& name) {
  return std::filesystem::u8path(name);
}

std::string NameOf(const std::filesystem::path& path) {
  return path.u8string();
}

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// The C library's number for the system's error, so that ErrorText says it as everywhere else.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    default:
      return EIO;
  }
}

bool Fail() {
  errno = ErrnoOf(GetLastError());
  return false;
}

constexpr unsigned long long kTicksPerSecond = 10000000;      // FILETIME counts 100 ns
constexpr unsigned long long kEpochSeconds = 11644473600ull;  // from 1601 to 1970

bool StampOfHandle(HANDLE handle, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  const auto join = [](DWORD high, DWORD low) {
    return (static_cast<unsigned long long>(high) << 32) | low;
  };
  const unsigned long long ticks =
      join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
  stamp.device = info.dwVolumeSerialNumber;
  stamp.inode = join(info.nFileIndexHigh, info.nFileIndexLow);
  stamp.size = static_cast<long long>(join(info.nFileSizeHigh, info.nFileSizeLow));
  stamp.seconds =
      static_cast<long long>(ticks / kTicksPerSecond) - static_cast<long long>(kEpochSeconds);
  stamp.nanoseconds = static_cast<long long>(ticks % kTicksPerSecond) * 100;
  return true;
}

bool IsRegularHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A handle that reads only the file's information (folders too); INVALID_HANDLE_VALUE when the
// name names nothing.
HANDLE OpenForInformation(const std::string& name) {
  return CreateFileW(Wide(name).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

const char* const kPathSeparators = "/\\";

unsigned long ThisProcessId() {
  return GetCurrentProcessId();
}

int CreateUniqueFile(std::string& name, unsigned, int suffix_length) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<unsigned long long> drawn{0};
  const std::size_t tail = suffix_length > 0 ? static_cast<std::size_t>(suffix_length) : 0;
  if (name.size() < 6 + tail || name.compare(name.size() - tail - 6, 6, "XXXXXX") != 0) {
    errno = EINVAL;
    return -1;
  }
  for (int attempt = 0; attempt < 1000; ++attempt) {
    unsigned long long x = (GetTickCount64() << 20) ^
                           (GetCurrentProcessId() * 0x9E3779B97F4A7C15ull) ^
                           (++drawn * 0xBF58476D1CE4E5B9ull);
    for (std::size_t i = name.size() - tail - 6; i < name.size() - tail; ++i) {
      x ^= x >> 29;
      x *= 0x94D049BB133111EBull;
      name[i] = kLetters[(x >> 32) % 36];
    }
    // FILE_SHARE_DELETE: a stopped program's handler can remove the file while it is open.
    const HANDLE handle = CreateFileW(Wide(name).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      errno = ErrnoOf(error);
      return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
    if (fd < 0) {
      CloseHandle(handle);
      DeleteFileW(Wide(name).c_str());
      errno = EMFILE;
    }
    return fd;
  }
  errno = EEXIST;
  return -1;
}

bool FlushToDisk(std::FILE* file) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) ? true : Fail();
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? true
             : Fail();
}

void RemoveFileNow(const char* name) {
  wchar_t wide[4096];
  if (MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 4096) > 0) DeleteFileW(wide);
}

bool RemoveUnlessOpen(const std::string& name) {
  // Shared with no one: the open fails while any other handle is open on the file. Closing the
  // handle removes the file.
  const HANDLE handle =
      CreateFileW(Wide(name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                  FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Fail();
  CloseHandle(handle);
  return true;
}

bool ReadStampOfOpenFile(std::FILE* file, FileStamp& stamp) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && IsRegularHandle(handle) && StampOfHandle(handle, stamp);
}

bool ReadStampOfPath(const std::string& name, FileStamp& stamp) {
  const HANDLE handle = OpenForInformation(name);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool read = StampOfHandle(handle, stamp);
  CloseHandle(handle);
  return read;
}

bool IsSpecialPath(const std::string& name) {
  const HANDLE handle = OpenForInformation(name);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool special = !IsRegularHandle(handle);
  CloseHandle(handle);
  return special;
}

bool IsFolderOrStream(const std::string& name, bool& folder) {
  const HANDLE handle = OpenForInformation(name);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  folder = GetFileInformationByHandle(handle, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool stream = GetFileType(handle) == FILE_TYPE_PIPE;
  CloseHandle(handle);
  return folder || stream;
}

#else

namespace {

FileStamp StampOf(const struct stat& st) {
  return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
          static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
          static_cast<long long>(st.st_mtim.tv_nsec)};
}

}  // namespace

const char* const kPathSeparators = "/";

unsigned long ThisProcessId() {
  return static_cast<unsigned long>(getpid());
}

int CreateUniqueFile(std::string& name, unsigned mode, int suffix_length) {
  const int fd = mkstemps(name.data(), suffix_length);
  if (fd >= 0) fchmod(fd, static_cast<mode_t>(mode));
  return fd;
}

bool FlushToDisk(std::FILE* file) {
  return fsync(fileno(file)) == 0;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFileNow(const char* name) {
  unlink(name);
}

bool RemoveUnlessOpen(const std::string& name) {
  return unlink(name.c_str()) == 0;
}

bool ReadStampOfOpenFile(std::FILE* file, FileStamp& stamp) {
  struct stat st {};
  if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp = StampOf(st);
  return true;
}

bool ReadStampOfPath(const std::string& name, FileStamp& stamp) {
  struct stat st {};
  if (stat(name.c_str(), &st) != 0) return false;
  stamp = StampOf(st);
  return true;
}

bool IsSpecialPath(const std::string& name) {
  struct stat st {};
  return stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

bool IsFolderOrStream(const std::string& name, bool& folder) {
  struct stat st {};
  if (stat(name.c_str(), &st) != 0) return false;
  folder = S_ISDIR(st.st_mode);
  return folder || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode);
}

#endif

}  // namespace kolvane
