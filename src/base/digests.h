// In this file: the digests of the files the program reads (SHA-256 for the run record), made
// on the side as the input channels read each file's bytes for the first time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "base/file_identity.h"

namespace kolvane {

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

// The digests of the files that input channels read whole, made as they read: each file's
// first pass from its first to its last byte is digested, and later passes over the same
// content are not.
class PassDigests {
 public:
  using Maker = std::unique_ptr<ByteDigest> (*)();
  void SetMaker(Maker make) { make_ = make; }
  // While deferred, a pass that starts is not digested (the file stays undigested until a pass
  // starts after the deferral ends): the program defers the loads' passes, which skim a file faster
  // than it can be digested, and lets the run's converting pass digest it on the side.
  void Defer(bool deferred) { deferred_ = deferred; }
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
  bool deferred_ = false;
  std::vector<Done> done_;
};

}  // namespace kolvane
