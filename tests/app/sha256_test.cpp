// SHA-256 from the system's library (libcrypto, or BCrypt on Windows) against the published test
// vectors, whole and fed in pieces.
#include "app/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace kolvane {
namespace {

struct Vector {
  std::string message;
  const char* digest;
};

TEST(Sha256, PublishedVectorsWholeAndInPieces) {
  const Vector vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  Sha256 sha;
  for (const Vector& v : vectors) {
    SCOPED_TRACE(v.message.substr(0, 8));
    sha.Reset();
    sha.Update(v.message.data(), v.message.size());
    EXPECT_EQ(v.digest, sha.FinalHex());
    // The same bytes in uneven pieces, after a Reset that forgets an unfinished digest.
    sha.Reset();
    sha.Update("unfinished", 10);
    sha.Reset();
    for (std::size_t at = 0, piece = 1; at < v.message.size(); at += piece, piece = piece * 3 + 1)
      sha.Update(v.message.data() + at, std::min(piece, v.message.size() - at));
    EXPECT_EQ(v.digest, sha.FinalHex());
  }
}

}  // namespace
}  // namespace kolvane
