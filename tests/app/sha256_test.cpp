// SHA-256 from the system's library (libcrypto, or BCrypt on Windows) against the published test
// vectors, whole and fed in pieces.
#include "app/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/table.h"

namespace kolvane {
namespace {

TEST(Sha256, PublishedVectorsWholeAndInPieces) {
  Sha256 sha;
  for (const TableRow& v : ReadTable("app/sha256_vectors.tsv")) {
    std::string message;
    for (int i = std::stoi(v[1]); i > 0; --i) message += v[0];
    SCOPED_TRACE(message.substr(0, 8));
    sha.Reset();
    sha.Update(message.data(), message.size());
    EXPECT_EQ(v[2], sha.FinalHex());
    // The same bytes in uneven pieces, after a Reset that forgets an unfinished digest.
    sha.Reset();
    sha.Update("unfinished", 10);
    sha.Reset();
    for (std::size_t at = 0, piece = 1; at < message.size(); at += piece, piece = piece * 3 + 1)
      sha.Update(message.data() + at, std::min(piece, message.size() - at));
    EXPECT_EQ(v[2], sha.FinalHex());
  }
}

}  // namespace
}  // namespace kolvane
