// In this file: an input file read buffered, item by item, line by line, a character or a number
// at a time. Nothing here shows a message: opening reports failure as a result so that the
// caller can say "Can't open file: " + OpenFailure().
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "base/digests.h"

namespace kolvane {

// No line or item of the program's files comes near this length; a longer one means the file
// is not one of them (a device that never ends a line), and reading it stops there.
constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

enum class ReadStatus {
  Ok,   // something was read
  End,  // the end of the file was reached before anything could be read
};

class InputChannel {
 public:
  InputChannel();
  ~InputChannel();
  InputChannel(const InputChannel&) = delete;
  InputChannel& operator=(const InputChannel&) = delete;

  // False when the file cannot be opened for reading (or is a folder, a named pipe or a
  // socket, which could keep the program waiting for ever); OpenFailure() then says why,
  // "PATH (REASON)". A UTF-8 byte order mark at the start is not part of the text: reading and
  // Rewind start after it.
  bool Open(const std::string& path);
  const std::string& OpenFailure() const { return open_failure_; }
  void Close();
  // From the next Open on, each whole pass over a file that `digests` does not hold yet is
  // digested into it.
  void DigestInto(PassDigests* digests) { digests_ = digests; }
  bool IsOpen() const;
  const std::string& Path() const { return path_; }

  // True when no byte is left to read.
  bool AtEnd();
  // Back to the first byte of the file.
  void Rewind();
  // The file offset of the next byte to be read.
  long long Tell() const { return block_offset_ + static_cast<long long>(pos_); }
  // Goes on reading at file offset `offset` (a pass so begun is not digested). False when the
  // file cannot be positioned there.
  bool Seek(long long offset);

  // An item: the text up to the next comma or line end, leading blanks skipped. An item that
  // starts with a double quote runs to the closing quote or the end of its line (commas inside
  // stay), without the quotes; what follows the closing quote up to the comma or line end is
  // dropped.
  // TABs stay inside the item. A CR LF pair, a lone LF or a lone CR ends the line.
  ReadStatus ReadItem(std::string& item);
  // A whole line without its line end (CR LF, LF or CR).
  ReadStatus ReadLine(std::string& line);
  // The same line as a view that stays valid until the next read from the channel: a line
  // that lies whole in the read block is not copied.
  ReadStatus ReadLineView(std::string_view& line);
  // One byte, line-end characters included.
  ReadStatus ReadChar(char& c);
  // A read that failed (a read error, or a line or item longer than kMaxLineLength): from
  // then on every read returns End, and Failure() says why, "PATH (REASON)", until the next
  // Open (a Close keeps it).
  bool Failed() const { return !failure_.empty(); }
  const std::string& Failure() const { return failure_; }
  void ForgetFailure() { failure_.clear(); }
  // For a reader that gathers a text of its own a byte at a time (a scan record's label): true,
  // and the channel failed as for a long line, once the text is longer than kMaxLineLength.
  bool TooLong(std::size_t length);

  // A number: starts at the first non-blank character (blanks, TABs and line ends before it are
  // skipped), ends at a blank, TAB, comma or line end; the text is converted by LenientNumber.
  // Blanks and TABs after the number, and then a single comma or line end, are consumed with
  // it, so that "1 , 2" and "1,2" both read as 1 and 2 and an empty field (",,") reads as 0.
  ReadStatus ReadNumber(double& value);
  // Up to `count` numbers as ReadNumber reads them, each rounded to single precision into
  // out[0], out[1], ... Returns how many were read: fewer than `count` when the file ended
  // first, or when a value is beyond single precision; `beyond_single` tells the second case
  // (that number is consumed and neither stored nor counted).
  int ReadSingles(float* out, int count, bool& beyond_single);
  // Passes over up to `count` numbers exactly as that many ReadNumber calls would, without
  // converting those that are certainly finite in single precision (no exponent, at most 38
  // characters). Returns how many were passed over: fewer than `count` when the file ended
  // first, or when a number's value is beyond single precision; `beyond_single` tells the
  // second case (that number is consumed and not counted).
  int SkipNumbers(int count, bool& beyond_single);

 private:
  bool Fill();                  // refills the buffer; false at the end of the file
  int Peek();                   // next byte or -1
  int Get();                    // next byte or -1
  void SkipLineEnd(int first);  // first was CR or LF: consume an LF after a CR
  void SkipNumberEnd();         // the blanks after a number and one comma or line end

  void Start();   // positions at the first byte, after a UTF-8 byte order mark
  void Digest();  // hands the block just read to the pass's digest

  std::FILE* file_ = nullptr;
  std::string path_;
  // Left uninitialised: only what fread fills is read, and a large file's reads never touch
  // the pages of the block that a small file leaves unused. While a pass is digested, the
  // blocks alternate between two halves, so that the digest works on one while the other fills.
  std::unique_ptr<char[]> buffer_;
  char* block_ = nullptr;  // the half in use
  std::size_t capacity_ = 0;
  PassDigests* digests_ = nullptr;
  std::unique_ptr<ByteDigest> digest_;  // while the file's content is not digested yet
  FileStamp stamp_;
  long long digested_ = -1;  // bytes of this pass handed to the digest; -1: none is digested
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  long long block_offset_ = 0;  // file offset of the block's first byte
  long long next_offset_ = 0;   // file offset of the next block
  std::string spill_;  // a number that runs across the end of the buffer
  std::string failure_;
  std::string open_failure_;
};

inline int InputChannel::Peek() {
  if (pos_ < len_ || Fill()) return static_cast<unsigned char>(block_[pos_]);
  return -1;
}

inline int InputChannel::Get() {
  if (pos_ < len_ || Fill()) return static_cast<unsigned char>(block_[pos_++]);
  return -1;
}

}  // namespace kolvane
