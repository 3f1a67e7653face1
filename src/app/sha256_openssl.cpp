#include <openssl/evp.h>

#include "app/sha256.h"

namespace kolvane {

struct Sha256::State {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ~State() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256() : state_(new State) {
  Reset();
}

Sha256::~Sha256() = default;

void Sha256::Reset() {
  EVP_DigestInit_ex(state_->ctx, EVP_sha256(), nullptr);
}

void Sha256::Update(const void* bytes, std::size_t count) {
  EVP_DigestUpdate(state_->ctx, bytes, count);
}

std::string Sha256::FinalHex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(state_->ctx, digest, &length);
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 15];
  }
  return hex;
}

}  // namespace kolvane
