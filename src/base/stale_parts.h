// In this file: the sweep of the temporary files earlier runs left behind. The writer puts its
// lines in .kolvane-PID-XXXXXX.part beside the target (PID: the writing process) and removes or
// renames it when it closes; a process killed with SIGKILL, or on a node that failed, leaves it
// for ever. A run sweeps each folder it writes into before it writes anything.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace kolvane {

// Removes from `folder` the temporary files of the writer's naming that no live process holds:
// a file whose PID is no longer a running process, and a file last written before `run_start`
// that its PID's process does not have open. A file this process has open, or that an open
// file holds locked (see HoldPartFile), is kept, and so is anything of another naming. Returns
// the paths removed (folder/name), sorted; an unreadable folder gives none.
std::vector<std::string> RemoveStaleParts(const std::string& folder,
                                          std::chrono::system_clock::time_point run_start);

// Locks the temporary file just made on `fd` for as long as it is open, so that a sweep in
// another process (or on another machine, where the file system passes locks on) keeps it.
// False when the file system takes no lock; the file is written all the same.
bool HoldPartFile(int fd);

}  // namespace kolvane
