// In this file: the output files. Output collects whole lines and writes them in large blocks to
// a temporary file beside the target, which takes the target's name only when it is kept.
#include "base/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "base/platform_files.h"
#include "base/stale_parts.h"
#include "base/stop_signals.h"
#include "base/system_error.h"

namespace kolvane {

namespace {

constexpr std::size_t kBlockSize = 1 << 18;

}  // namespace

namespace {

// The temporary files a signal handler removes, one slot per output file being written (the
// workers of a study write several at once). A slot is claimed (kClaimed) while its path is
// copied, and readable by the handler only once it is kSet.
constexpr int kFree = 0, kClaimed = 1, kSet = 2;
struct PartialSlot {
  std::atomic<int> state{kFree};
  char path[4096];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");
PartialSlot g_partials[64];

// The slot that now holds the path, or -1 when none is free or the path is too long.
int SetPartialPath(const std::string& path) {
  if (path.empty() || path.size() >= sizeof g_partials[0].path) return -1;
  for (int i = 0; i < static_cast<int>(std::size(g_partials)); ++i) {
    int expected = kFree;
    if (!g_partials[i].state.compare_exchange_strong(expected, kClaimed)) continue;
    std::memcpy(g_partials[i].path, path.c_str(), path.size() + 1);
    g_partials[i].state.store(kSet);
    return i;
  }
  return -1;
}

void ForgetPartialPath(int slot) {
  if (slot < 0) return;
  g_partials[slot].state.store(kClaimed);
  g_partials[slot].state.store(kFree);
}

// The process's file mode mask, read once before main while one thread runs: reading it means
// setting it, which would race with the files other threads create.
mode_t ReadProcessMask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}
const mode_t g_process_mask = ReadProcessMask();

// The mode a new file gets from the process's mask, or the mode of the file it replaces.
mode_t ModeFor(const struct stat* existing) {
  if (existing != nullptr) return existing->st_mode & 07777;
  return 0666 & ~g_process_mask;
}

}  // namespace

namespace {

// Commits under way, and a stop signal that came during one (0: none).
std::atomic<int> g_commits{0};
std::atomic<int> g_pending_signal{0};

void EndNow(int signal) {
  RemovePartialFile();
  EndByStopRequest(signal);
}

}  // namespace

void RemovePartialFile() {
  for (PartialSlot& slot : g_partials)
    if (slot.state.load() == kSet) RemoveFileNow(slot.path);
}

void BeginCommit() {
  ++g_commits;
}

void EndCommit() {
  if (--g_commits > 0) return;
  if (const int signal = g_pending_signal.exchange(0)) EndNow(signal);
}

void EndBySignal(int signal) {
  if (g_commits.load() > 0) {
    g_pending_signal.store(signal);
    return;
  }
  EndNow(signal);
}

std::string WrittenPath(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path at = PathOf(path);
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(at, ec); ++hops) {
    const fs::path next = fs::read_symlink(at, ec);
    if (ec) break;
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return NameOf(at.lexically_normal());
}

namespace {

// The temporary file's pattern in the folder of `path`: short, so that any name that fits
// the folder leaves room for it.
std::string PartPattern(const std::string& path) {
  const std::size_t cut = path.find_last_of(kPathSeparators);
  const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  return folder + ".kolvane-" + std::to_string(ThisProcessId()) + "-XXXXXX.part";
}

}  // namespace

OutputChannel::OutputChannel() = default;

OutputChannel::~OutputChannel() {
  Close();
}

bool OutputChannel::Open(const std::string& named) {
  Close();
  failure_.clear();
  keep_ = true;
  keep_as_.clear();
  kept_at_.clear();
  const std::string path = WrittenPath(named);
  const auto refuse = [&](int error) {
    failure_ = path + " (" + ErrorText(error) + ")";
    return false;
  };
  struct stat st {};
  const bool exists = stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    file_ = std::fopen(path.c_str(), "wb");
  } else {
    // A file the user may not write keeps its content, as it did when it was written in place.
    if (exists && access(path.c_str(), W_OK) != 0) return refuse(errno);
    std::string part = PartPattern(path);
    const int fd = CreateUniqueFile(part, ModeFor(exists ? &st : nullptr), 5);
    if (fd < 0) return refuse(errno);
    HoldPartFile(fd);  // a sweep by another run leaves the file alone while it is written
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
      const int error = errno;
      close(fd);
      RemoveFileNow(part.c_str());
      return refuse(error);
    }
    part_ = part;
    partial_slot_ = SetPartialPath(part_);
  }
  if (file_ == nullptr) return refuse(errno);
  std::setvbuf(file_, nullptr, _IONBF, 0);
  path_ = path;
  pending_.reserve(kBlockSize + 4096);
  return true;
}

void OutputChannel::Fail(int error) {
  if (failure_.empty()) failure_ = path_ + " (" + ErrorText(error) + ")";
}

void OutputChannel::Close() {
  Finish(keep_);
}

void OutputChannel::Discard() {
  Finish(false);
}

void OutputChannel::Settle() {
  if (file_ == nullptr) return;
  Flush();
  if (keep_ && !part_.empty() && Good() && !FlushToDisk(file_)) Fail(errno);
  // The temporary file stays open, and so locked, until Close names or removes it: a sweep by
  // another run takes a file that no live process holds for one a killed run left.
  if (!part_.empty()) hold_ = dup(fileno(file_));
  if (std::fclose(file_) != 0) Fail(errno);
  file_ = nullptr;
}

void OutputChannel::Finish(bool keep) {
  if (file_ == nullptr && path_.empty()) return;
  const bool was_kept = keep_;
  keep_ = keep;
  Settle();
  keep_ = was_kept;
  if (!part_.empty()) {
    const std::string& name = keep_as_.empty() ? path_ : keep_as_;
    if (keep && Good() && !RenameReplacing(part_, name)) Fail(errno);
    if (!keep || !Good()) RemoveFileNow(part_.c_str());
    if (keep && Good()) kept_at_ = name;
    ForgetPartialPath(partial_slot_);
    partial_slot_ = -1;
  }
  if (hold_ >= 0) close(hold_);
  hold_ = -1;
  keep_ = false;
  keep_as_.clear();
  part_.clear();
  path_.clear();
  pending_.clear();
  pending_.shrink_to_fit();
}

bool OutputChannel::IsOpen() const {
  return file_ != nullptr;
}

void OutputChannel::WriteLine(std::string_view text) {
  if (file_ == nullptr) return;
  pending_.append(text);
  pending_.append("\r\n", 2);
  if (pending_.size() >= kBlockSize) Flush();
}

void OutputChannel::Write(std::string_view bytes) {
  if (file_ == nullptr) return;
  pending_.append(bytes);
  if (pending_.size() >= kBlockSize) Flush();
}

void OutputChannel::Flush() {
  if (file_ == nullptr || pending_.empty()) return;
  // After a failure the rest goes nowhere: the file is incomplete whatever follows.
  if (Good() && std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size())
    Fail(errno);
  pending_.clear();
}

std::string SaveWholeFile(const std::string& path, std::string_view bytes) {
  OutputChannel out;
  if (!out.Open(path)) return out.Failure();
  out.Write(bytes);
  out.Close();
  return out.Failure();
}

}  // namespace kolvane
