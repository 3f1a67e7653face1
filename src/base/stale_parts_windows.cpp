// In this file: the sweep of left-over temporary files on Windows. A file is removed only when
// it can be opened for sole use, which fails while any process (this one too) has it open, so
// every file of the writer's naming that goes is one nobody writes any more.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/platform_files.h"
#include "base/stale_parts.h"

namespace kolvane {

namespace {

bool OfTheWritersNaming(const std::string& name) {
  static const std::string kHead = ".kolvane-", kTail = ".part";
  return name.size() > kHead.size() + kTail.size() + 7 &&
         name.compare(0, kHead.size(), kHead) == 0 &&
         name.compare(name.size() - kTail.size(), kTail.size(), kTail) == 0;
}

}  // namespace

std::vector<std::string> RemoveStaleParts(const std::string& folder,
                                          std::chrono::system_clock::time_point) {
  namespace fs = std::filesystem;
  std::vector<std::string> removed;
  std::error_code ec;
  fs::directory_iterator it(PathOf(folder), ec), end;
  std::vector<std::string> names;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = NameOf(it->path().filename());
    if (OfTheWritersNaming(name) && it->is_regular_file(ec)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string path = NameOf(PathOf(folder) / PathOf(name));
    if (RemoveUnlessOpen(path)) removed.push_back(path);
  }
  return removed;
}

bool HoldPartFile(int) {
  return false;  // an open file is held already
}

}  // namespace kolvane
