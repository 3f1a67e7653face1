// In this file: what makes two names one file, and what makes a file's content the same as
// before: the device and file number, size and time of the last change.
#pragma once

#include <cstdio>
#include <string>

namespace kolvane {

// What identifies a file's content for the digests below: the same file, size and time of the
// last change.
struct FileStamp {
  unsigned long long device = 0, inode = 0;
  long long size = -1, seconds = 0, nanoseconds = 0;
  bool operator==(const FileStamp& o) const;
};

// The stamp of an open file, or of the file a path names (links followed). False when it cannot
// be read or, for the open file, when it is not a regular file.
bool StampOfOpenFile(std::FILE* file, FileStamp& stamp);
bool StampOfPath(const std::string& path, FileStamp& stamp);

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
