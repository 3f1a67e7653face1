// In this file: what the writer and the file checks need of the file system where systems differ
// (POSIX and Windows). File names are UTF-8 text on every system.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace kolvane {

struct FileStamp;

// A path for std::filesystem from a UTF-8 file name, and a file name from a path: on Windows a
// name converted as the system's narrow text would lose every letter outside ASCII.
std::filesystem::path PathOf(const std::string& name);
std::string NameOf(const std::filesystem::path& path);

// The characters that end a folder's name in a path: both slashes on Windows.
extern const char* const kPathSeparators;

// This process's number, as the system shows it.
unsigned long ThisProcessId();

// Creates a new file for writing whose name is `name` with the six characters (XXXXXX) before
// its last `suffix_length` replaced so that no file had it, with the file mode `mode` where the
// system has modes. The open descriptor, or -1 with errno set. On Windows the file can be
// removed while it is open (RemoveFileNow), so that a stopped program leaves none behind.
int CreateUniqueFile(std::string& name, unsigned mode, int suffix_length = 0);
// Removes a file that no process has open; false (and the file kept) otherwise. On POSIX
// systems, where an open file can be removed, a plain removal.
bool RemoveUnlessOpen(const std::string& name);
// Moves the file's written bytes to the disk. False with errno set.
bool FlushToDisk(std::FILE* file);
// Gives `from` the name `to`, replacing a file that has it, and makes the change durable where
// the system can. False with errno set.
bool RenameReplacing(const std::string& from, const std::string& to);
// Removes a file; safe in a signal handler (async-signal-safe on POSIX systems).
void RemoveFileNow(const char* name);

// The identity, size and time of the last change of an open file and of the file a path names
// (links followed). False when it cannot be read, or when the open file is not a regular file.
bool ReadStampOfOpenFile(std::FILE* file, FileStamp& stamp);
bool ReadStampOfPath(const std::string& name, FileStamp& stamp);
// True when the path names something that exists and is not a regular file.
bool IsSpecialPath(const std::string& name);
// True when the path names a folder, a pipe or a socket (nothing a file is read from);
// `folder` says whether it is a folder.
bool IsFolderOrStream(const std::string& name, bool& folder);

}  // namespace kolvane
