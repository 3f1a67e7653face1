#include "base/digests.h"

namespace kolvane {

bool PassDigests::Has(const FileStamp& stamp) const {
  for (const Done& d : done_)
    if (d.stamp == stamp) return true;
  return false;
}

std::string PassDigests::Find(const std::string& path, long long* size) const {
  FileStamp stamp;
  if (done_.empty() || !StampOfPath(path, stamp)) return "";
  for (const Done& d : done_) {
    if (!(d.stamp == stamp)) continue;
    if (size != nullptr) *size = stamp.size;
    return d.digest;
  }
  return "";
}

}  // namespace kolvane
