// The calls where POSIX systems and Windows differ: a rename onto an existing file, fresh
// temporary names, file identity, error texts, the local time's offset, and file names outside
// ASCII through the writer and the reader.
#include "base/platform_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/channels.h"
#include "base/local_time.h"
#include "base/system_error.h"
#include "support/portable.h"
#include "support/table.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

struct Folder {
  std::string path =
      NameOf(fs::temp_directory_path() / ("kolvane-platform-" + std::to_string(ProcessId())));
  Folder() { fs::create_directories(PathOf(path)); }
  ~Folder() { fs::remove_all(PathOf(path)); }
  std::string File(const std::string& name) const { return path + "/" + name; }
};

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(PathOf(path), std::ios::binary) << bytes;
}
std::string Get(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(PathOf(path), std::ios::binary).rdbuf();
  return s.str();
}

TEST(PlatformFiles, RenameReplacesAnExistingFile) {
  Folder f;
  Put(f.File("new"), "NEW\r\n");
  Put(f.File("old"), "OLD, LONGER\r\n");
  ASSERT_TRUE(RenameReplacing(f.File("new"), f.File("old")));
  EXPECT_EQ("NEW\r\n", Get(f.File("old")));
  EXPECT_FALSE(fs::exists(PathOf(f.File("new"))));
  errno = 0;
  EXPECT_FALSE(RenameReplacing(f.File("missing"), f.File("old")));
  EXPECT_EQ(ENOENT, errno);
  EXPECT_EQ("NEW\r\n", Get(f.File("old")));
}

TEST(PlatformFiles, UniqueFilesAreFreshAndWritable) {
  Folder f;
  std::string a = f.File("r.scf.part-XXXXXX"), b = a;
  const int fa = CreateUniqueFile(a, 0644), fb = CreateUniqueFile(b, 0644);
  ASSERT_GE(fa, 0);
  ASSERT_GE(fb, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(f.File("r.scf.part-"), a.substr(0, a.size() - 6));
  EXPECT_EQ(std::string::npos, a.find("XXXXXX"));
  std::FILE* file = fdopen(fa, "wb");
  ASSERT_NE(nullptr, file);
  EXPECT_EQ(3u, std::fwrite("abc", 1, 3, file));
  EXPECT_TRUE(FlushToDisk(file));
  std::fclose(file);
  std::fclose(fdopen(fb, "wb"));
  EXPECT_EQ("abc", Get(a));
  EXPECT_EQ("", Get(b));
  std::string missing = f.File("no-such-folder/x-XXXXXX");
  errno = 0;
  EXPECT_LT(CreateUniqueFile(missing, 0644), 0);
  EXPECT_EQ(ENOENT, errno);
}

TEST(PlatformFiles, IdentitySizeAndSpecialFiles) {
  Folder f;
  Put(f.File("a"), "12345");
  Put(f.File("b"), "12345");
  FileStamp a, a2, b;
  ASSERT_TRUE(StampOfPath(f.File("a"), a));
  ASSERT_TRUE(StampOfPath(f.File("./a"), a2));
  ASSERT_TRUE(StampOfPath(f.File("b"), b));
  EXPECT_EQ(5, a.size);
  EXPECT_TRUE(a == a2);
  EXPECT_EQ(a.device, b.device);
  EXPECT_NE(a.inode, b.inode);  // two files with the same bytes are two files
  // The stamp of the open file is the path's; a folder has none and is special.
  std::FILE* open = std::fopen(f.File("a").c_str(), "rb");
  ASSERT_NE(nullptr, open);
  FileStamp of_open;
  EXPECT_TRUE(StampOfOpenFile(open, of_open));
  std::fclose(open);
  EXPECT_TRUE(of_open == a);
  EXPECT_FALSE(StampOfPath(f.File("missing"), b));
  EXPECT_TRUE(IsSpecialFile(f.path));
  EXPECT_FALSE(IsSpecialFile(f.File("a")));
  EXPECT_FALSE(IsSpecialFile(f.File("missing")));
  // A later write with another size is another content.
  Put(f.File("a"), "123456");
  ASSERT_TRUE(StampOfPath(f.File("a"), a2));
  EXPECT_FALSE(a == a2);
}

TEST(PlatformFiles, ErrorTexts) {
  EXPECT_EQ("No such file or directory", ErrorText(ENOENT));
  EXPECT_EQ("Permission denied", ErrorText(EACCES));
  EXPECT_EQ("No space left on device", ErrorText(ENOSPC));
}

// The moments of tests/data/base/local_time.tsv in their zones.
TEST(LocalTime, TextWithTheZonesOffset) {
  for (const TableRow& c : ReadTable("base/local_time.tsv")) {
    SetTimeZone(c[0].c_str());
    EXPECT_EQ(LocalTimeText(static_cast<std::time_t>(std::stoll(c[1]))), c[2]) << c[0];
  }
  SetTimeZone(nullptr);
}

TEST(PlatformFiles, NamesOutsideAscii) {
  Folder f;
  for (const std::string name : {"M\xC3\xBCller.fix", "\xE6\x95\xB0\xE6\x8D\xAE.fix"}) {
    const std::string path = f.File(name);
    EXPECT_EQ("", SaveWholeFile(path, "1\r\n2\r\n"));
    EXPECT_EQ("", SaveWholeFile(path, "3\r\n"));  // replaced
    InputChannel in;
    ASSERT_TRUE(in.Open(path)) << name;
    std::string line;
    EXPECT_EQ(ReadStatus::Ok, in.ReadLine(line));
    EXPECT_EQ("3", line);
    in.Close();
    FileStamp stamp;
    EXPECT_TRUE(StampOfPath(path, stamp));
    EXPECT_EQ(3, stamp.size);
    EXPECT_TRUE(fs::is_regular_file(PathOf(path)));
    EXPECT_EQ(name, NameOf(PathOf(path).filename()));
  }
  int files = 0;
  for (const auto& entry : fs::directory_iterator(PathOf(f.path))) files += entry.is_regular_file();
  EXPECT_EQ(2, files);  // no temporary file left
}

}  // namespace
}  // namespace kolvane
