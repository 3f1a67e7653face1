// In this file: the subcommands of kolvane-batch, one function each, and the steps they
// share. Each drives the handlers the window's menu, boxes and buttons call, in the order a
// user would, with the host answering the dialogs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/flow.h"
#include "app/program.h"
#include "cli/batch_host.h"
#include "cli/batch_options.h"

namespace kolvane {

// kolvane-batch fixed / scan. Return the exit status.
int RunFixedBatch(const BatchOptions& options, BatchHost& host);
int RunScanBatch(const BatchOptions& options, BatchHost& host);

// --- steps both subcommands take ----------------------------------------------------------

// Start-up as the window does it, on a screen of a usual size (only the centring reads it).
void StartProgram(Program& p, BatchHost& host);
// The "Report Results" choice: selects the option button and runs its handler.
void ChooseResultFormat(Program& p, bool microspheres);
// The Background Subtraction box, when the option was given and the box is offered.
void ChooseBackground(Program& p, BatchHost& host, const BatchOptions& options);
// The exit status after Analyze: 0 only for a run that wrote its results file to the end.
int FinishRun(Program& p, BatchHost& host, Flow flow);
// The load or a step before Analyze stopped: closes what is open, returns status 1.
int StopBeforeRun(Program& p, BatchHost& host, Flow flow);

// The number of colour slots (fixed) or pures (scan) the data file's header announces, read
// before the load opens anything for writing; empty when the header cannot be read (the load
// then refuses the file and says why).
std::optional<int> FixedHeaderColors(const std::string& data);
std::optional<int> ScanHeaderPures(const std::string& data);
// A file of a run by its role ("results file", "run record", "report", "data file", ...).
struct RoleFile {
  std::string role;
  std::string path;
};
// A file written that is a file read (read: true) or another file written: the two, by their
// roles. No clash: written is null.
struct FileClash {
  const RoleFile* written = nullptr;
  const RoleFile* other = nullptr;
  bool read = false;
};
// Compared by device and file number as SameFile does (links and other spellings count), by
// the path written to for files that do not exist yet. Empty paths are left out.
FileClash FindFileClash(const std::vector<RoleFile>& reads, const std::vector<RoleFile>& writes);
// The files a run with these options reads, and those it may write: the results file, the
// incomplete results file, their records and the report.
std::vector<RoleFile> FilesRead(const BatchOptions& options);
std::vector<RoleFile> FilesWritten(const BatchOptions& options);
// The data file or a companion is not a regular file, or a file the run writes would land on
// a file it reads or on another it writes: the message that refuses the run, else empty.
std::string RefusedInput(const BatchOptions& options);
// A path as a file dialog answers it: absolute, "." and ".." folded.
std::string FullPath(const std::string& path);
// --micros-per-ml with more values than the file has boxes: the usage message, else empty.
std::string TooManyMicros(const BatchOptions& options, int boxes, const char* what);

}  // namespace kolvane
