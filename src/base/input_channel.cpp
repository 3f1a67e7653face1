// In this file: the buffered input files. Input is read in large blocks and scanned in memory, so
// that a 100 MB data file reads item by item or number by number in a fraction of a second.
#include "base/input_channel.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/number_skim.h"
#include "base/numbers.h"
#include "base/platform_files.h"
#include "base/system_error.h"

namespace kolvane {

namespace {

constexpr std::size_t kReadBlockSize = 1 << 18;

bool IsLineEnd(int c) {
  return c == '\r' || c == '\n';
}
bool IsBlankOrTab(int c) {
  return c == ' ' || c == '\t';
}
bool EndsNumber(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
}

}  // namespace

InputChannel::InputChannel() = default;

InputChannel::~InputChannel() {
  Close();
}

bool InputChannel::Open(const std::string& path) {
  Close();
  failure_.clear();
  open_failure_.clear();
  bool folder = false;
  if (IsFolderOrStream(path, folder)) {
    open_failure_ = path + (folder ? " (a folder, not a file)" : " (not a regular file)");
    return false;
  }
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) {
    open_failure_ = path + " (" + ErrorText(errno) + ")";
    return false;
  }
  // The channel keeps its own block buffer; a second one inside the C library only copies.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  path_ = path;
  digest_.reset();
  if (digests_ != nullptr && digests_->make_ != nullptr) {
    if (StampOfOpenFile(file_, stamp_) && !digests_->Has(stamp_)) digest_ = digests_->make_();
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
  block_offset_ = next_offset_;
  next_offset_ += static_cast<long long>(len_);
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
  block_offset_ = next_offset_ = 0;
  if (std::fseek(file_, 0, SEEK_SET) != 0) return;
  if (digest_ && !digests_->deferred_) {
    digest_->Reset();
    digested_ = 0;
  }
  if (Fill() && len_ >= 3 && std::memcmp(block_, "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

void InputChannel::Rewind() {
  Start();
}

bool InputChannel::Seek(long long offset) {
  pos_ = len_ = 0;
  spill_.clear();
  if (file_ == nullptr || Failed() || offset < 0) return false;
  std::clearerr(file_);
  digested_ = -1;
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
  block_offset_ = next_offset_ = offset;
  return true;
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

}  // namespace kolvane
