// In this file: the writer every file the program writes goes through (results, run records,
// reports, pictures, summaries).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kolvane {

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

// A whole file (a run record, a report, a picture) written through an OutputChannel: the target
// gets the bytes only when all of them reached the disk. Empty, or "PATH (REASON)".
std::string SaveWholeFile(const std::string& path, std::string_view bytes);

// The temporary files being written, removed from a signal handler: async-signal-safe.
void RemovePartialFile();

}  // namespace kolvane
