// Reading through the input channels. Readings rounded to single precision: every number text
// gives exactly the single that the C library's conversion to a double, rounded to single
// precision, gives; the separators around it read as one number end wherever the read blocks
// happen to be cut. The digests the channels make as they read: exactly one whole pass over a
// file's bytes, none for a pass that stopped early or for a file that changed since, and blocks
// that stay untouched while the digest may still be working on them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
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

// Reads `n` singles in runs of random length, as the scan records are read.
std::vector<float> ReadAll(const std::string& path, std::size_t n) {
  InputChannel in;
  EXPECT_TRUE(in.Open(path));
  std::vector<float> got(n);
  std::mt19937 rng(7);
  std::size_t done = 0;
  bool beyond = false;
  while (done < n) {
    const int want = static_cast<int>(std::min<std::size_t>(1 + rng() % 600, n - done));
    const int read = in.ReadSingles(got.data() + done, want, beyond);
    EXPECT_FALSE(beyond);
    done += static_cast<std::size_t>(read);
    if (read < want) break;
  }
  EXPECT_EQ(done, n);
  std::remove(path.c_str());
  return got;
}

std::string Digits(std::mt19937& rng, int count) {
  std::string d;
  for (int i = 0; i < count; ++i) d += static_cast<char>('0' + rng() % 10);
  return d;
}

TEST(SingleNumbers, EqualTheLibraryConversionRoundedToSingle) {
  std::setlocale(LC_NUMERIC, "C");
  std::vector<std::string> texts;
  for (const TableRow& row : ReadTable("base/singles.tsv", "text")) texts.push_back(row[0]);
  std::mt19937 rng(2024);
  for (int i = 0; i < 300000; ++i) {
    std::string t = rng() % 4 == 0 ? (rng() % 2 ? "-" : "+") : "";
    const int whole = static_cast<int>(rng() % 10), fraction = static_cast<int>(rng() % 12);
    t += Digits(rng, whole);
    if (fraction > 0 || whole == 0) t += "." + Digits(rng, fraction == 0 ? 1 : fraction);
    if (rng() % 50 == 0) t += "e" + std::to_string(static_cast<int>(rng() % 60) - 30);
    texts.push_back(t);
  }
  const char* const kEnds[] = {" ", "   ", "\t", "\r\n", "\n", "\r", ",", " ,", ", ", "\t,\r\n"};
  std::string file;
  for (const std::string& t : texts) file += t + kEnds[rng() % 10];
  ASSERT_GT(file.size(), 8 * kBlock);

  const std::vector<float> got = ReadAll(Write("singles", file), texts.size());
  int differ = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const float expected = static_cast<float>(std::strtod(texts[i].c_str(), nullptr));
    if (std::memcmp(&expected, &got[i], sizeof expected) != 0 && ++differ < 10)
      ADD_FAILURE() << texts[i] << " read as " << got[i] << ", expected " << expected;
  }
  EXPECT_EQ(differ, 0);
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
      const std::vector<float> got = ReadAll(Write("cut", file), count + 3);
      ASSERT_EQ(got.size(), count + 3);
      EXPECT_EQ(got[count], 7.0f);
      EXPECT_EQ(got[count + 1], 8.0f);
      EXPECT_EQ(got[count + 2], 9.0f);
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

struct PassDigestTest : ::testing::Test {
  void SetUp() override {
    g_made = 0;
    channels.Digests().SetMaker(&MakeLateCopy);
  }
  Channels channels;
  InputChannel& in = channels.In(Channels::kData);
};

TEST_F(PassDigestTest, OneWholePassIsDigestedWhileTheNumbersReadRight) {
  const std::string text = Counting(200000);  // about 1.3 MB: six blocks
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
  const std::string path = Write("digest-stopped", Counting(100000));
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
