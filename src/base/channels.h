// In this file: the program's numbered text files ("channels"). The data file is channel 1,
// the results file 2, a spillover matrix file 3, a blanks file 5 and a controls file 7.
// Input channels read buffered, item by item, line by line, a character or a number at a
// time; output channels write lines ended by CR LF. Nothing here shows a message: opening
// reports failure as a result so that the caller can say "Can't open file: " + path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// No line or item of the program's files comes near this length; a longer one means the file
// is not one of them (a device that never ends a line), and reading it stops there.
constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

// A digest of a file's bytes (the program's is SHA-256), fed block by block as an input channel
// reads the file. Update may go on working on its bytes after it returns: they stay unchanged
// until the call of Update, Reset or Final after it.
class ByteDigest {
 public:
  virtual ~ByteDigest() = default;
  virtual void Reset() = 0;
  virtual void Update(const char* bytes, std::size_t count) = 0;
  virtual std::string Final() = 0;  // the digest as text
};

// What identifies a file's content for the digests below: the same file, size and time of the
// last change.
struct FileStamp {
  unsigned long long device = 0, inode = 0;
  long long size = -1, seconds = 0, nanoseconds = 0;
  bool operator==(const FileStamp& o) const;
};

// The digests of the files that input channels read whole, made as they read: each file's
// first pass from its first to its last byte is digested, and later passes over the same
// content are not.
class PassDigests {
 public:
  using Maker = std::unique_ptr<ByteDigest> (*)();
  void SetMaker(Maker make) { make_ = make; }
  // While held, a pass that starts is not digested (the file stays undigested until a pass
  // starts after the hold ends): the program holds the loads' passes, which skim a file faster
  // than it can be digested, and lets the run's converting pass digest it on the side.
  void Hold(bool held) { held_ = held; }
  // The digest of the file at `path` and its size, when a whole pass read it as it is now;
  // else empty.
  std::string Find(const std::string& path, long long* size = nullptr) const;

 private:
  friend class InputChannel;
  struct Done {
    FileStamp stamp;
    std::string digest;
  };
  bool Has(const FileStamp& stamp) const;
  Maker make_ = nullptr;
  bool held_ = false;
  std::vector<Done> done_;
};

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

  // False when the file cannot be opened for reading (or is a folder). A UTF-8 byte order
  // mark at the start is not part of the text: reading and Rewind start after it.
  bool Open(const std::string& path);
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

  void Start();                      // positions at the first byte, after a UTF-8 byte order mark
  bool TooLong(std::size_t length);  // true (and failed) past kMaxLineLength
  void Digest();                     // hands the block just read to the pass's digest

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
  std::string spill_;  // a number that runs across the end of the buffer
  std::string failure_;
};

inline int InputChannel::Peek() {
  if (pos_ < len_ || Fill()) return static_cast<unsigned char>(block_[pos_]);
  return -1;
}

inline int InputChannel::Get() {
  if (pos_ < len_ || Fill()) return static_cast<unsigned char>(block_[pos_++]);
  return -1;
}

// An output file is written to a temporary file beside it (NAME.part-XXXXXX) and takes the
// target's name only when it is closed while kept (from Open, or after Hold() until Keep())
// and every write succeeded; any other close removes the temporary file, so that the target never
// holds a half-written file and a run that fails never touches an earlier one. A target that exists
// and is not a regular file (a pipe, a terminal) is written directly.
class OutputChannel {
 public:
  OutputChannel();
  ~OutputChannel();
  OutputChannel(const OutputChannel&) = delete;
  OutputChannel& operator=(const OutputChannel&) = delete;

  // False when the target cannot be written; Failure() then says why.
  bool Open(const std::string& path);
  // The lines written are to be kept: the next Close puts them under the target's name.
  void Keep() { keep_ = true; }
  // Not to be kept until Keep(): a results file opened by a load waits for the run.
  void Hold() { keep_ = false; }
  // Flushes, syncs and closes; renames over the target when kept, else removes the
  // temporary file.
  void Close();
  // Closes and removes the temporary file whatever Keep() said.
  void Discard();
  bool IsOpen() const;
  const std::string& Path() const { return path_; }
  void WriteLine(std::string_view text);  // text followed by CR LF
  void Write(std::string_view bytes);     // the bytes as they are
  void Flush();
  // False once a write, flush, sync, close or rename failed since Open; Failure() then holds
  // the target's path and the system's reason, "PATH (REASON)". Kept after Close.
  bool Good() const { return failure_.empty(); }
  const std::string& Failure() const { return failure_; }

 private:
  void Fail(int error);
  void Finish(bool keep);

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string part_;       // the temporary file; empty when the target is written directly
  int partial_slot_ = -1;  // where the signal handler finds part_; -1: it does not
  std::string pending_;
  std::string failure_;
  bool keep_ = false;
};

// A whole file (a run record, a report, a picture) written through an OutputChannel: the target
// gets the bytes only when all of them reached the disk. Empty, or "PATH (REASON)".
std::string SaveWholeFile(const std::string& path, std::string_view bytes);

// The temporary files being written, removed from a signal handler: async-signal-safe.
void RemovePartialFile();

// The numbered channels of the program. Channel numbers 1..9 exist; the program uses 1, 2, 3,
// 5 and 7. Channel 2 is the results file (output); the others are read.
class Channels {
 public:
  static constexpr int kData = 1;
  static constexpr int kResults = 2;
  static constexpr int kMatrix = 3;
  static constexpr int kBlanks = 5;
  static constexpr int kControls = 7;

  InputChannel& In(int number) { return inputs_[number]; }
  OutputChannel& Out(int number) { return outputs_[number]; }
  // "Close every open file": flushes output and closes every channel.
  void CloseAll();
  // Flushes every open output channel (used before the program ends).
  void FlushAll();
  // The first input channel whose reads failed since ForgetReadFailures, or empty.
  std::string ReadFailure() const;
  void ForgetReadFailures();

 private:
  InputChannel inputs_[10];
  OutputChannel outputs_[10];
  PassDigests digests_;

 public:
  Channels();
  Channels(const Channels&) = delete;
  Channels& operator=(const Channels&) = delete;
  // The digests of the files the input channels read whole, made by what SetMaker gives.
  PassDigests& Digests() { return digests_; }
  const PassDigests& Digests() const { return digests_; }
};

// True when the two paths name the same existing file (same path, a link, or another
// spelling of it). Used to refuse a results file that is one of the files being read.
bool SameFile(const std::string& a, const std::string& b);
// True when the path names something that exists and is not a regular file (after following
// links): a pipe, a device, a folder.
bool IsSpecialFile(const std::string& path);
// The refusal of a data file that is not a regular file (a pipe, a device): the loads read it
// more than once.
std::string NotRegular(const std::string& path);

}  // namespace kolvane
