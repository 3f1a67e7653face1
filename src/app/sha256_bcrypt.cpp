// SHA-256 from Windows' own cryptography (bcrypt.dll).
#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include <algorithm>

#include "app/sha256.h"

namespace kolvane {

struct Sha256::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  void Close() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    hash = nullptr;
  }
  ~State() {
    Close();
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

Sha256::Sha256() : state_(new State) {
  BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
  Reset();
}

Sha256::~Sha256() = default;

void Sha256::Reset() {
  state_->Close();
  if (state_->algorithm != nullptr)
    BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0);
}

void Sha256::Update(const void* bytes, std::size_t count) {
  if (state_->hash == nullptr) return;
  auto* p = static_cast<UCHAR*>(const_cast<void*>(bytes));
  while (count > 0) {  // BCrypt takes at most 4 GB at a time
    const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(count, 1u << 30));
    BCryptHashData(state_->hash, p, chunk, 0);
    p += chunk;
    count -= chunk;
  }
}

std::string Sha256::FinalHex() {
  UCHAR digest[32];
  // A failed digest is no digest: the record then has none rather than a wrong one.
  if (state_->hash == nullptr || BCryptFinishHash(state_->hash, digest, sizeof digest, 0) != 0)
    return "";
  state_->Close();
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (UCHAR byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

}  // namespace kolvane
