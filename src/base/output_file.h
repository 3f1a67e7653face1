// In this file: the writer every file the program writes goes through (results, run records,
// reports, pictures, summaries).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kolvane {

// An output file is written to a temporary file in the target's folder (.kolvane-PID-XXXXXX.part)
// and takes the target's name only when it is closed while kept (from Open, or after Hold() until
// Keep()) and every write succeeded; any other close removes the temporary file, so that the
// target never holds a half-written file and a run that fails never touches an earlier one. A
// target that is a symbolic link is the file the link names (the link stays). A target that
// exists and is not a regular file (a pipe, a terminal) is written directly.
class OutputChannel {
 public:
  OutputChannel();
  ~OutputChannel();
  OutputChannel(const OutputChannel&) = delete;
  OutputChannel& operator=(const OutputChannel&) = delete;

  // False when the target cannot be written; Failure() then says why.
  bool Open(const std::string& path);
  // The lines written are to be kept: the next Close puts them under the target's name.
  void Keep() {
    keep_ = true;
    keep_as_.clear();
  }
  // The lines written are to be kept under another name in the target's folder (a run that
  // did not complete keeps its lines beside the results file, never over it).
  void KeepAs(const std::string& path) {
    keep_ = true;
    keep_as_ = path;
  }
  // Not to be kept until Keep(): a results file opened by a load waits for the run.
  void Hold() { keep_ = false; }
  // Flushes, syncs and closes the temporary file but leaves it under its temporary name until
  // Close: whether every byte reached the disk is known (Good()) before anything is renamed.
  void Settle();
  // Settles; renames over the target (or the KeepAs name) when kept, else removes the
  // temporary file.
  void Close();
  // Closes and removes the temporary file whatever Keep() said.
  void Discard();
  bool IsOpen() const;
  // Opened and not yet closed (it may be settled).
  bool Pending() const { return !path_.empty(); }
  // Written to a temporary file (not directly, as a pipe is).
  bool Temporary() const { return !part_.empty(); }
  // After Close: the name the lines were put under; empty when they were dropped or went to
  // the target directly.
  const std::string& KeptAt() const { return kept_at_; }
  // The file that takes the lines: the target, a link's target when the target is a link.
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
  std::string keep_as_;  // empty: the target
  std::string kept_at_;
  std::string part_;       // the temporary file; empty when the target is written directly
  int partial_slot_ = -1;  // where the signal handler finds part_; -1: it does not
  int hold_ = -1;          // the settled temporary file, held open until it is renamed
  std::string pending_;
  std::string failure_;
  bool keep_ = false;
};

// A whole file (a run record, a report, a picture) written through an OutputChannel: the target
// gets the bytes only when all of them reached the disk. Empty, or "PATH (REASON)".
std::string SaveWholeFile(const std::string& path, std::string_view bytes);

// The temporary files being written, removed from a signal handler: async-signal-safe.
void RemovePartialFile();

// The path a file is written to: the file a symbolic link names (links followed, the last one
// may dangle), else the path itself.
std::string WrittenPath(const std::string& path);

// The renames that put a run's files in place (its record, then its results) happen between
// BeginCommit and EndCommit; a stop signal that comes meanwhile ends the program only once
// they are done, so that a results file never stands beside another run's record.
void BeginCommit();
void EndCommit();
// For a signal handler that ends the program: removes the temporary files and ends it with
// the signal, or, during a commit, leaves both to EndCommit. Async-signal-safe.
void EndBySignal(int signal);

}  // namespace kolvane
