// The digests the input channels make as they read: exactly one whole pass over a file's bytes,
// none for a pass that stopped early or for a file that changed since, and blocks that stay
// untouched while the digest may still be working on them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "base/channels.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

// The "digest" is the bytes themselves, copied only at the call after the one that handed them
// over, as late as a digest working on a thread of its own may read them.
int g_made = 0;
class LateCopy : public ByteDigest {
 public:
  void Reset() override { Take(), bytes_.clear(); }
  void Update(const char* bytes, std::size_t count) override { Take(), pending_ = {bytes, count}; }
  std::string Final() override { return Take(), bytes_; }

 private:
  void Take() { bytes_.append(pending_), pending_ = {}; }
  std::string bytes_;
  std::string_view pending_;
};
std::unique_ptr<ByteDigest> MakeLateCopy() {
  ++g_made;
  return std::make_unique<LateCopy>();
}

std::string Write(const std::string& name, const std::string& bytes) {
  const fs::path path = fs::temp_directory_path() / (name + std::to_string(::getpid()));
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

// Numbers "1,2,...,n" over lines of ten, long enough to span several read blocks.
std::string Numbers(int n) {
  std::string text = "\xEF\xBB\xBF";  // a byte order mark belongs to the file's bytes
  for (int i = 1; i <= n; ++i) text += std::to_string(i) + (i % 10 == 0 ? "\r\n" : ",");
  return text;
}

struct PassDigestTest : ::testing::Test {
  void SetUp() override {
    g_made = 0;
    channels.Digests().SetMaker(&MakeLateCopy);
  }
  Channels channels;
  InputChannel& in = channels.In(Channels::kData);
};

TEST_F(PassDigestTest, OneWholePassIsDigestedWhileTheNumbersReadRight) {
  const std::string text = Numbers(200000);  // about 1.3 MB: six blocks
  const std::string path = Write("digest-numbers", text);
  ASSERT_TRUE(in.Open(path));
  std::string line;
  in.ReadLine(line);  // a pass broken off by a rewind is started again
  in.Rewind();
  long long sum = 0;
  double value = 0;
  for (int i = 0; i < 200000; ++i) {
    ASSERT_EQ(in.ReadNumber(value), ReadStatus::Ok);
    sum += static_cast<long long>(value);
  }
  EXPECT_EQ(sum, 200000LL * 200001 / 2);
  long long size = 0;
  EXPECT_EQ(channels.Digests().Find(path, &size), text);
  EXPECT_EQ(size, static_cast<long long>(text.size()));
  // Later passes and later opens of the same content are not digested again.
  in.Rewind();
  in.ReadLine(line);
  in.Close();
  ASSERT_TRUE(in.Open(path));
  EXPECT_EQ(g_made, 1);
  EXPECT_EQ(channels.Digests().Find(path), text);
}

TEST_F(PassDigestTest, APassThatEndsOnABlockBoundaryWithoutLookingFurtherIsWhole) {
  const std::string text(2 * 262144, 'x');  // read as exactly two blocks' worth of characters
  const std::string path = Write("digest-blocks", text);
  ASSERT_TRUE(in.Open(path));
  char c = 0;
  for (std::size_t i = 0; i < text.size(); ++i) in.ReadChar(c);
  EXPECT_EQ(channels.Digests().Find(path), text);
}

TEST_F(PassDigestTest, NoDigestForAStoppedPassOrAChangedFile) {
  const std::string path = Write("digest-stopped", Numbers(100000));
  ASSERT_TRUE(in.Open(path));
  double value = 0;
  for (int i = 0; i < 1000; ++i) in.ReadNumber(value);
  in.Close();
  EXPECT_EQ(channels.Digests().Find(path), "");

  ASSERT_TRUE(in.Open(path));
  std::string line;
  while (in.ReadLine(line) == ReadStatus::Ok) {
  }
  EXPECT_NE(channels.Digests().Find(path), "");
  Write("digest-stopped", "1,2\r\n");  // the same name, another content
  EXPECT_EQ(channels.Digests().Find(path), "");
  // A channel outside the program's channels digests nothing.
  InputChannel alone;
  ASSERT_TRUE(alone.Open(path));
  while (alone.ReadLine(line) == ReadStatus::Ok) {
  }
  EXPECT_EQ(channels.Digests().Find(path), "");
  EXPECT_EQ(g_made, 2);
}

}  // namespace
}  // namespace kolvane
