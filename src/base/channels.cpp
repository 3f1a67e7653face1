// In this file: the buffered numbered text files. Input is read in large blocks and scanned in
// memory, so that a 100 MB data file reads item by item or number by number in a fraction of
// a second; output collects whole lines and writes them in large blocks.
#include "base/channels.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/number_skim.h"
#include "base/numbers.h"
#include "base/stale_parts.h"

namespace kolvane {

namespace {

constexpr std::size_t kBlockSize = 1 << 18;  // output
constexpr std::size_t kReadBlockSize = 1 << 18;

// strerror may share one buffer among the threads of a study; strerror_r writes the caller's
// (its GNU form may return a text of its own instead).
[[maybe_unused]] const char* ErrorTextOf(int, const char* buffer) {
  return buffer;
}
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*) {
  return text;
}
std::string ErrorText(int error) {
  char buffer[256] = {};
  return ErrorTextOf(strerror_r(error, buffer, sizeof buffer), buffer);
}

bool IsLineEnd(int c) {
  return c == '\r' || c == '\n';
}
bool IsBlankOrTab(int c) {
  return c == ' ' || c == '\t';
}
bool EndsNumber(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
}

FileStamp StampOf(const struct stat& st) {
  return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
          static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
          static_cast<long long>(st.st_mtim.tv_nsec)};
}

}  // namespace

// --- InputChannel --------------------------------------------------------------------------

InputChannel::InputChannel() = default;

InputChannel::~InputChannel() {
  Close();
}

bool InputChannel::Open(const std::string& path) {
  Close();
  failure_.clear();
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  // The channel keeps its own block buffer; a second one inside the C library only copies.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  path_ = path;
  digest_.reset();
  if (digests_ != nullptr && digests_->make_ != nullptr) {
    struct stat st {};
    if (fstat(fileno(file_), &st) == 0 && S_ISREG(st.st_mode)) {
      stamp_ = StampOf(st);
      if (!digests_->Has(stamp_)) digest_ = digests_->make_();
    }
  }
  buffer_.reset(new char[digest_ ? 2 * kReadBlockSize : kReadBlockSize]);
  block_ = buffer_.get();
  capacity_ = kReadBlockSize;
  Start();
  return true;
}

void InputChannel::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  path_.clear();
  pos_ = len_ = 0;
  digest_.reset();  // a pass that did not reach the end leaves no digest
  digested_ = -1;
  buffer_.reset();
  block_ = nullptr;
  capacity_ = 0;
  spill_.clear();
}

bool InputChannel::IsOpen() const {
  return file_ != nullptr;
}

bool InputChannel::Fill() {
  pos_ = len_ = 0;
  if (file_ == nullptr || Failed()) return false;
  if (digested_ >= 0) block_ = buffer_.get() + (block_ == buffer_.get() ? capacity_ : 0);
  len_ = std::fread(block_, 1, capacity_, file_);
  if (len_ == 0 && std::ferror(file_)) failure_ = path_ + " (" + ErrorText(errno) + ")";
  Digest();
  return len_ > 0;
}

void InputChannel::Digest() {
  if (digested_ < 0) return;
  if (Failed()) {
    digested_ = -1;
    return;
  }
  if (len_ > 0) digest_->Update(block_, len_);
  digested_ += static_cast<long long>(len_);
  // A short read is the end of the file; so is its size at Open when no byte follows.
  if (len_ == capacity_ && digested_ != stamp_.size) return;
  if (digested_ == stamp_.size) digests_->done_.push_back({stamp_, digest_->Final()});
  digest_.reset();
  digested_ = -1;
}

bool InputChannel::TooLong(std::size_t length) {
  if (length <= kMaxLineLength) return false;
  failure_ = path_ + " (a line longer than 1 MiB)";
  pos_ = len_ = 0;
  return true;
}

void InputChannel::Start() {
  pos_ = len_ = 0;
  if (file_ == nullptr || Failed()) return;
  std::clearerr(file_);
  digested_ = -1;
  if (std::fseek(file_, 0, SEEK_SET) != 0) return;
  if (digest_ && !digests_->held_) {
    digest_->Reset();
    digested_ = 0;
  }
  if (Fill() && len_ >= 3 && std::memcmp(block_, "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

void InputChannel::Rewind() {
  Start();
}

bool InputChannel::AtEnd() {
  return Peek() < 0;
}

void InputChannel::SkipLineEnd(int first) {
  if (first == '\r' && Peek() == '\n') ++pos_;
}

ReadStatus InputChannel::ReadItem(std::string& item) {
  item.clear();
  int c = Peek();
  while (c == ' ') {
    ++pos_;
    c = Peek();
  }
  if (c < 0) return ReadStatus::End;

  if (c == '"') {
    ++pos_;
    for (;;) {
      if (pos_ >= len_ && !Fill()) return ReadStatus::Ok;  // the file ends inside the quotes
      const char* begin = block_ + pos_;
      const char* end = block_ + len_;
      const char* p = begin;
      while (p != end && *p != '"' && !IsLineEnd(*p)) ++p;
      item.append(begin, p);
      pos_ += static_cast<std::size_t>(p - begin);
      if (TooLong(item.size())) return ReadStatus::End;
      if (p == end) continue;
      ++pos_;
      if (*p == '"') break;
      SkipLineEnd(*p);  // an unclosed quote ends with its line
      return ReadStatus::Ok;
    }
    // Whatever stands between the closing quote and the end of the item is dropped.
    for (;;) {
      c = Get();
      if (c < 0 || c == ',') return ReadStatus::Ok;
      if (IsLineEnd(c)) {
        SkipLineEnd(c);
        return ReadStatus::Ok;
      }
    }
  }

  for (;;) {
    if (pos_ >= len_ && !Fill()) return ReadStatus::Ok;  // the file ends inside the item
    const char* begin = block_ + pos_;
    const char* end = block_ + len_;
    const char* p = begin;
    while (p != end && *p != ',' && *p != '\r' && *p != '\n') ++p;
    item.append(begin, p);
    pos_ += static_cast<std::size_t>(p - begin);
    if (TooLong(item.size())) return ReadStatus::End;
    if (p == end) continue;
    c = Get();
    if (IsLineEnd(c)) SkipLineEnd(c);
    return ReadStatus::Ok;
  }
}

ReadStatus InputChannel::ReadLine(std::string& line) {
  line.clear();
  if (Peek() < 0) return ReadStatus::End;
  for (;;) {
    if (pos_ >= len_ && !Fill()) return ReadStatus::Ok;  // last line without a line end
    const char* begin = block_ + pos_;
    const char* end = block_ + len_;
    const char* p = begin;
    while (p != end && *p != '\r' && *p != '\n') ++p;
    line.append(begin, p);
    pos_ += static_cast<std::size_t>(p - begin);
    if (TooLong(line.size())) {
      line.clear();
      return ReadStatus::End;
    }
    if (p == end) continue;
    SkipLineEnd(Get());
    return ReadStatus::Ok;
  }
}

ReadStatus InputChannel::ReadLineView(std::string_view& line) {
  if (pos_ < len_) {
    const char* begin = block_ + pos_;
    const char* end = block_ + len_;
    // The first CR or LF, found with two scans of the library's fast byte search.
    const char* cr =
        static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(end - begin)));
    const char* lf_end = cr != nullptr ? cr : end;
    const char* lf = static_cast<const char*>(
        std::memchr(begin, '\n', static_cast<std::size_t>(lf_end - begin)));
    const char* p = lf != nullptr ? lf : lf_end;
    // The line end must lie in the block too, CR LF whole, as a refill would overwrite the
    // line.
    if (p != end && (*p == '\n' || (p + 1 != end))) {
      line = std::string_view(begin, static_cast<std::size_t>(p - begin));
      pos_ += static_cast<std::size_t>(p - begin) + 1;
      if (*p == '\r' && p[1] == '\n') ++pos_;
      return ReadStatus::Ok;
    }
  }
  const ReadStatus status = ReadLine(spill_);
  line = spill_;
  return status;
}

ReadStatus InputChannel::ReadChar(char& c) {
  const int next = Get();
  if (next < 0) {
    c = '\0';
    return ReadStatus::End;
  }
  c = static_cast<char>(next);
  return ReadStatus::Ok;
}

ReadStatus InputChannel::ReadNumber(double& value) {
  value = 0.0;
  int c = Peek();
  while (IsBlankOrTab(c) || IsLineEnd(c)) {
    ++pos_;
    c = Peek();
  }
  if (c < 0) return ReadStatus::End;

  // The plainest numbers are converted in one pass over the buffer; the others are converted
  // where they lie in the buffer, and only a number cut by the end of the buffer is copied.
  const char* here = block_ + pos_;
  const char* filled = block_ + len_;
  const char* stop = ParsePlainNumber(here, filled, value);
  if (stop != nullptr && stop != filled && EndsNumber(*stop)) {
    pos_ += static_cast<std::size_t>(stop - here);
    SkipNumberEnd();
    return ReadStatus::Ok;
  }
  value = 0.0;
  spill_.clear();
  for (;;) {
    const char* begin = block_ + pos_;
    const char* end = block_ + len_;
    const char* p = begin;
    while (p != end && !EndsNumber(*p)) ++p;
    pos_ += static_cast<std::size_t>(p - begin);
    if (p != end) {
      if (spill_.empty()) {
        value = LenientNumber(std::string_view(begin, static_cast<std::size_t>(p - begin)));
      } else {
        spill_.append(begin, p);
        if (TooLong(spill_.size())) return ReadStatus::End;
        value = LenientNumber(spill_);
      }
      break;
    }
    spill_.append(begin, p);
    if (TooLong(spill_.size())) {
      value = 0.0;
      return ReadStatus::End;
    }
    if (!Fill()) {
      value = LenientNumber(spill_);
      return ReadStatus::Ok;
    }
  }
  SkipNumberEnd();
  return ReadStatus::Ok;
}

int InputChannel::ReadSingles(float* out, int count, bool& beyond_single) {
  beyond_single = false;
  for (int done = 0; done < count; ++done) {
    // A plain number that ends inside the block is converted where it lies, and the blanks,
    // TABs and the one comma or line end after it are passed over here while they lie in the
    // block too. (Such a number has at most 15 digits and no exponent: always a finite single.)
    const char* p = block_ + pos_;
    const char* end = block_ + len_;
    while (p != end && (IsBlankOrTab(*p) || IsLineEnd(*p))) ++p;
    double value = 0.0;
    const char* stop = ParsePlainNumber(p, end, value);
    if (stop != nullptr && stop != end && EndsNumber(*stop)) {
      out[done] = static_cast<float>(value);
      while (stop != end && IsBlankOrTab(*stop)) ++stop;
      pos_ = static_cast<std::size_t>(stop - block_);
      if (stop != end && (*stop == ',' || *stop == '\n')) {
        ++pos_;
      } else if (stop != end && *stop == '\r' && stop + 1 != end) {
        pos_ += stop[1] == '\n' ? 2 : 1;
      } else if (stop == end || *stop == '\r') {
        SkipNumberEnd();  // what follows lies in the next block
      }
      continue;
    }
    pos_ = static_cast<std::size_t>(p - block_);
    if (ReadNumber(value) == ReadStatus::End) return done;
    const float single = static_cast<float>(value);
    if (!std::isfinite(single)) {
      beyond_single = true;
      return done;
    }
    out[done] = single;
  }
  return count;
}

int InputChannel::SkipNumbers(int count, bool& beyond_single) {
  beyond_single = false;
  int done = 0;
  while (done < count) {
    // The plain numbers in the block at once, up to the last one, which is read on its own:
    // its end may lie in the next block.
    if (count - done > 1 && pos_ < len_) {
      const SkimmedNumbers skimmed =
          SkimPlainNumbers(block_ + pos_, block_ + len_, count - done - 1);
      done += skimmed.passed;
      pos_ += skimmed.stop;
    }
    // One number the long way: an unusual one, one cut by the end of the block, or the last.
    int c = Peek();
    while (IsBlankOrTab(c) || IsLineEnd(c)) {
      ++pos_;
      c = Peek();
    }
    if (c < 0) return done;
    const char* begin = block_ + pos_;
    const char* end = block_ + len_;
    const char* p = begin;
    bool exponent = false;
    for (; p != end && !EndsNumber(*p); ++p) exponent |= (*p == 'e' || *p == 'E');
    double value = 0.0;
    if (p == end) {
      ReadNumber(value);  // cut by the end of the block
    } else {
      pos_ += static_cast<std::size_t>(p - begin);
      // Without an exponent, 38 characters hold no number of 10^38 or more.
      if (exponent || p - begin > 38) {
        value = LenientNumber(std::string_view(begin, static_cast<std::size_t>(p - begin)));
      }
      SkipNumberEnd();
    }
    if (!std::isfinite(static_cast<float>(value))) {
      beyond_single = true;
      return done;
    }
    ++done;
  }
  return count;
}

void InputChannel::SkipNumberEnd() {
  int c = Peek();
  while (IsBlankOrTab(c)) {
    ++pos_;
    c = Peek();
  }
  if (c == ',') {
    ++pos_;
  } else if (IsLineEnd(c)) {
    ++pos_;
    SkipLineEnd(c);
  }
}

// --- OutputChannel -------------------------------------------------------------------------

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

void RemovePartialFile() {
  for (PartialSlot& slot : g_partials)
    if (slot.state.load() == kSet) unlink(slot.path);
}

OutputChannel::OutputChannel() = default;

OutputChannel::~OutputChannel() {
  Close();
}

bool OutputChannel::Open(const std::string& path) {
  Close();
  failure_.clear();
  keep_ = true;
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
    std::string part = path + ".part-XXXXXX";
    const int fd = mkstemp(part.data());
    if (fd < 0) return refuse(errno);
    HoldPartFile(fd);  // a sweep by another run leaves the file alone while it is written
    fchmod(fd, ModeFor(exists ? &st : nullptr));
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
      const int error = errno;
      close(fd);
      unlink(part.c_str());
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

void OutputChannel::Finish(bool keep) {
  if (file_ == nullptr) return;
  Flush();
  if (keep && !part_.empty() && Good() && fsync(fileno(file_)) != 0) Fail(errno);
  if (std::fclose(file_) != 0) Fail(errno);
  file_ = nullptr;
  if (!part_.empty()) {
    if (keep && Good() && std::rename(part_.c_str(), path_.c_str()) != 0) Fail(errno);
    if (!keep || !Good()) unlink(part_.c_str());
    ForgetPartialPath(partial_slot_);
    partial_slot_ = -1;
  }
  keep_ = false;
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

// --- Channels ------------------------------------------------------------------------------

bool FileStamp::operator==(const FileStamp& o) const {
  return device == o.device && inode == o.inode && size == o.size && seconds == o.seconds &&
         nanoseconds == o.nanoseconds;
}

bool PassDigests::Has(const FileStamp& stamp) const {
  for (const Done& d : done_)
    if (d.stamp == stamp) return true;
  return false;
}

std::string PassDigests::Find(const std::string& path, long long* size) const {
  struct stat st {};
  if (done_.empty() || stat(path.c_str(), &st) != 0) return "";
  const FileStamp stamp = StampOf(st);
  for (const Done& d : done_) {
    if (!(d.stamp == stamp)) continue;
    if (size != nullptr) *size = stamp.size;
    return d.digest;
  }
  return "";
}

Channels::Channels() {
  for (auto& channel : inputs_) channel.DigestInto(&digests_);
}

void Channels::CloseAll() {
  for (auto& channel : outputs_) channel.Close();
  for (auto& channel : inputs_) channel.Close();
}

void Channels::FlushAll() {
  for (auto& channel : outputs_) channel.Flush();
}

std::string Channels::ReadFailure() const {
  for (const auto& channel : inputs_)
    if (channel.Failed()) return channel.Failure();
  return "";
}

void Channels::ForgetReadFailures() {
  for (auto& channel : inputs_) channel.ForgetFailure();
}

std::string SaveWholeFile(const std::string& path, std::string_view bytes) {
  OutputChannel out;
  if (!out.Open(path)) return out.Failure();
  out.Write(bytes);
  out.Close();
  return out.Failure();
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
