// In this file: which temporary files of earlier runs can go, and their removal.
#include "base/stale_parts.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace kolvane {

namespace {

// The PID a name of the writer's naming carries, .kolvane-PID-XXXXXX.part (XXXXXX as mkstemp
// makes it); 0 for any other name.
pid_t PartOwner(const std::string& name) {
  static const std::string kHead = ".kolvane-", kTail = ".part";
  constexpr std::size_t kRandom = 6;
  if (name.size() < kHead.size() + 2 + kRandom + kTail.size() ||
      name.compare(0, kHead.size(), kHead) != 0 ||
      name.compare(name.size() - kTail.size(), kTail.size(), kTail) != 0)
    return 0;
  const std::size_t dash = name.size() - kTail.size() - kRandom - 1;
  if (name[dash] != '-' || name[kHead.size()] == '0') return 0;  // no PID gives 0 below
  long long pid = 0;
  for (std::size_t i = kHead.size(); i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    pid = pid * 10 + (name[i] - '0');
    if (pid > INT_MAX) return 0;
  }
  for (std::size_t i = dash + 1; i < dash + 1 + kRandom; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return 0;
  }
  return static_cast<pid_t>(pid);
}

// False only when the process's open files can be read and none is the file (dev, ino): a
// process of another user, or a system without /proc, may hold it.
bool MayHold(const std::string& fd_folder, dev_t dev, ino_t ino) {
  DIR* dir = opendir(fd_folder.c_str());
  if (dir == nullptr) return true;
  bool held = false;
  while (const dirent* entry = readdir(dir)) {
    struct stat st {};
    if (entry->d_name[0] != '.' && stat((fd_folder + "/" + entry->d_name).c_str(), &st) == 0 &&
        st.st_dev == dev && st.st_ino == ino) {
      held = true;
      break;
    }
  }
  closedir(dir);
  return held;
}

// Whether a file of the writer's naming, not held by this process nor locked, is left over.
bool Stale(pid_t pid, const struct stat& st, std::chrono::system_clock::time_point run_start) {
  if (kill(pid, 0) != 0 && errno == ESRCH) return true;
  const auto written = std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
  // The PID runs, but may be another process that got the number since: a file it does not
  // hold, untouched since before this run, is left over. With this process's own PID, the only
  // open file on it is the sweep's own (this process held none before).
  return written < run_start && (pid == getpid() || !MayHold("/proc/" + std::to_string(pid) + "/fd",
                                                             st.st_dev, st.st_ino));
}

}  // namespace

std::vector<std::string> RemoveStaleParts(const std::string& folder,
                                          std::chrono::system_clock::time_point run_start) {
  std::vector<std::string> removed;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return removed;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
  closedir(dir);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const pid_t pid = PartOwner(name);
    if (pid <= 0) continue;
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        MayHold("/proc/self/fd", st.st_dev, st.st_ino))
      continue;
    // Opened without following a link, for the lock test; a file that cannot be opened is left.
    int fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    // A lock another open file holds means a writer is at work; a file system without locks
    // (any other failure) leaves the decision to the PID and the age.
    const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    struct stat now {};
    if (!locked && fstat(fd, &now) == 0 && now.st_ino == st.st_ino && now.st_dev == st.st_dev &&
        Stale(pid, now, run_start) && unlink(path.c_str()) == 0)
      removed.push_back(path);
    close(fd);
  }
  return removed;
}

bool HoldPartFile(int fd) {
  return flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace kolvane
