// In this file: SHA-256 from the system's library (libcrypto; BCrypt on Windows), one file per
// system chosen by the build.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace kolvane {

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Reset();  // starts a new digest
  void Update(const void* bytes, std::size_t count);
  std::string FinalHex();  // the digest in lower-case hex; Reset before the next one

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kolvane
