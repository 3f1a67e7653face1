// Reading through the input channels. Readings rounded to single precision: the separators
// around a number read as one number end wherever the read blocks happen to be cut, and a
// reading beyond single precision stops a record. The digests the channels make as they read:
// exactly one whole pass over a file's bytes, none for a pass that stopped early or for a file that
// changed since, and blocks that stay untouched while the digest may still be working on them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/channels.h"
#include "support/table.h"

namespace kolvane {
namespace {

constexpr std::size_t kBlock = 1 << 18;  // the channel's read block

std::string Write(const std::string& name, const std::string& bytes) {
  const auto path = std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()));
  std::ofstream(path, std::ios::binary) << bytes;
  return path.string();
}

// A number's end cut by the end of a block: the blanks, the comma or the CR LF after it in the
// next block still belong to it, so no empty field appears.
TEST(SingleNumbers, ANumberEndCutByTheBlockEndStaysOneEnd) {
  for (const std::string end : {"  ,", "\r\n", " \r\n", "\t,"}) {
    for (std::size_t cut = 1; cut <= end.size() + 1; ++cut) {
      SCOPED_TRACE("end \"" + end + "\" cut after " + std::to_string(cut));
      // "7" followed by `end` with the block's end `cut` bytes after the 7's start.
      std::string file;
      std::size_t count = 0;
      while (file.size() + 2 + cut < kBlock) file += "1\n", ++count;
      file += std::string(kBlock - cut - file.size(), ' ') + "7" + end + "8 9\n";
      InputChannel in;
      ASSERT_TRUE(in.Open(Write("cut", file)));
      std::vector<float> got(count + 4);
      bool beyond = false;
      ASSERT_EQ(in.ReadSingles(got.data(), static_cast<int>(count + 4), beyond), count + 3);
      EXPECT_EQ(std::vector<float>(got.begin() + count, got.end() - 1),
                (std::vector<float>{7, 8, 9}));
    }
  }
}

// What a record's readings leave behind: a stop beyond single precision, the line after them.
TEST(SingleNumbers, RecordsStopBeyondSinglePrecisionAndConsumeTheirLineEnd) {
  for (const TableRow& row : ReadTable("base/singles.tsv", "record")) {
    SCOPED_TRACE(row[0]);
    InputChannel in;
    ASSERT_TRUE(in.Open(Write("record", row[0])));
    const std::vector<double> values = Numbers(row[2]);
    float got[3] = {};
    bool beyond = false;
    ASSERT_EQ(in.ReadSingles(got, static_cast<int>(Number(row[1])), beyond),
              static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(got[i], values[i]);
    EXPECT_EQ(beyond, row[3] == "1");
    if (row[4] == "-") continue;
    std::string next;
    in.ReadLine(next);
    EXPECT_EQ(next, row[4]);
  }
}

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

// Numbers "1,2,...,n" over lines of ten, long enough to span several read blocks.
std::string Counting(int n) {
  std::string text = "\xEF\xBB\xBF";  // a byte order mark belongs to the file's bytes
  for (int i = 1; i <= n; ++i) text += std::to_string(i) + (i % 10 == 0 ? "\r\n" : ",");
  return text;
}

// One whole pass is digested while the numbers read right; a pass broken off by a rewind is
// started again; later passes and later opens of the same content are not digested again.
// A pass that stops early, a file changed since and a channel outside the program's channels
// give no digest.
TEST(PassDigests, OnlyWholePassesOverTheSameContent) {
  g_made = 0;
  Channels channels;
  InputChannel& in = channels.In(Channels::kData);
  channels.Digests().SetMaker(&MakeLateCopy);
  const std::string text = Counting(200000);  // about 1.3 MB: six blocks
  const std::string path = Write("digest-numbers", text);
  ASSERT_TRUE(in.Open(path));
  std::string line;
  in.ReadLine(line);
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
  in.Rewind();
  in.ReadLine(line);
  in.Close();
  ASSERT_TRUE(in.Open(path));
  EXPECT_EQ(g_made, 1);
  EXPECT_EQ(channels.Digests().Find(path), text);

  // Exactly two blocks' worth of characters, read without looking further: a whole pass.
  const std::string blocks(2 * kBlock, 'x');
  const std::string blocks_path = Write("digest-blocks", blocks);
  ASSERT_TRUE(in.Open(blocks_path));
  char c = 0;
  for (std::size_t i = 0; i < blocks.size(); ++i) in.ReadChar(c);
  EXPECT_EQ(channels.Digests().Find(blocks_path), blocks);

  const std::string stopped = Write("digest-stopped", Counting(100000));
  ASSERT_TRUE(in.Open(stopped));
  for (int i = 0; i < 1000; ++i) in.ReadNumber(value);
  in.Close();
  EXPECT_EQ(channels.Digests().Find(stopped), "");
  ASSERT_TRUE(in.Open(stopped));
  while (in.ReadLine(line) == ReadStatus::Ok) {
  }
  EXPECT_NE(channels.Digests().Find(stopped), "");
  Write("digest-stopped", "1,2\r\n");  // the same name, another content
  EXPECT_EQ(channels.Digests().Find(stopped), "");
  InputChannel alone;
  ASSERT_TRUE(alone.Open(stopped));
  while (alone.ReadLine(line) == ReadStatus::Ok) {
  }
  EXPECT_EQ(channels.Digests().Find(stopped), "");
  EXPECT_EQ(g_made, 4);
}

}  // namespace
}  // namespace kolvane
