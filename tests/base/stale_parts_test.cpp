// The sweep of temporary files earlier runs left: which files of the writer's naming go (their
// process is gone, or it runs but does not hold a file older than the run) and which stay (held
// open or locked by a live process, written since the run began, or of another naming).
#include "base/stale_parts.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/output_file.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

// A child process that takes hold of a file (`hold`), says so through a pipe and waits until
// it is killed; without `hold`, a live PID that holds nothing.
class Child {
 public:
  explicit Child(const std::function<bool()>& hold = nullptr) {
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    pid_ = fork();
    if (pid_ == 0) {
      if (hold && !hold()) _exit(1);
      (void)!write(ready[1], "r", 1);
      for (;;) pause();
    }
    close(ready[1]);
    char c = 0;
    EXPECT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
  }
  ~Child() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_;
};

TEST(StaleParts, RemovesWhatNoLiveProcessHolds) {
  const fs::path dir = fs::temp_directory_path() / ("kolvane-parts-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const Clock::time_point start = Clock::now();
  // A file written `age` seconds before the run began (negative: after).
  const auto file = [&](const std::string& name, int age) {
    const std::string path = (dir / name).string();
    std::ofstream(path) << "P1\t1.000\r\n";
    const auto when = Clock::to_time_t(start - std::chrono::seconds(age));
    const timespec times[2] = {{when, 0}, {when, 0}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    return path;
  };
  const auto part = [&](pid_t pid, const std::string& random) {
    return ".kolvane-" + std::to_string(pid) + "-" + random + ".part";
  };
  const pid_t dead = fork();  // ended and waited for: no process has its PID
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string d = std::to_string(dead);

  // Held open, and locked, by live children: each file is made first, then named after its
  // holder (the lock alone keeps a file whose PID has ended).
  const std::string held = file("held", 60), locked = file("locked", 60);
  Child holder([&] { return open(held.c_str(), O_RDWR) >= 0; }), other;
  Child locker([&] { return HoldPartFile(open(locked.c_str(), O_RDWR)); });
  fs::rename(held, dir / part(holder.pid(), "held00"));
  fs::rename(locked, dir / part(dead, "locked"));
  // A results file its live writer has settled and not yet renamed (the run record is written
  // in between): the writer's temporary file, given a name the list can hold.
  Child settler([&] {
    static OutputChannel out;
    if (!out.Open((dir / "settled.scf").string())) return false;
    out.WriteLine("P1\t1.000");
    out.Settle();
    return true;
  });
  const std::string settled = part(settler.pid(), "settle");
  const std::string writers = ".kolvane-" + std::to_string(settler.pid()) + "-";
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().rfind(writers, 0) == 0)
      fs::rename(entry.path(), dir / settled);
  file(settled, 60);
  const int fd = open(file(part(getpid(), "opened"), 60).c_str(), O_RDONLY);

  const std::vector<std::string> removed = {
      file(part(dead, "before"), 60), file(part(dead, "after0"), -60),
      file(part(other.pid(), "before"), 60), file(part(getpid(), "before"), 60)};
  const std::vector<std::string> kept = {
      part(holder.pid(), "held00"), part(dead, "locked"), part(getpid(), "opened"), settled,
      file(part(other.pid(), "after0"), -60), file(part(getpid(), "after0"), -60),
      // Other namings, and names of the naming that are no regular file.
      ".kolvane-" + d + "-abcde.part", ".kolvane-" + d + "-abcdefg.part",
      ".kolvane-" + d + "-abc.ef.part", ".kolvane--abcdef.part", ".kolvane-0-abcdef.part",
      ".kolvane-0" + d + "-abcdef.part", ".kolvane-" + d + "-abcdef.part~",
      "kolvane-" + d + "-abcdef.part", ".kolvane-" + d + "x-abcdef.part",
      ".kolvane-" + d + "1abcdef.part", ".kolvane-99999999999-abcdef.part", "r.fix.scf.part-abcdef",
      "target.scf", part(dead, "link00"), part(dead, "folder")};
  for (std::size_t i = 6; i + 2 < kept.size(); ++i) file(kept[i], 60);
  fs::create_symlink(dir / "target.scf", dir / part(dead, "link00"));
  fs::create_directory(dir / part(dead, "folder"));

  std::vector<std::string> expected = removed;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(RemoveStaleParts(dir.string(), start), expected);
  for (const std::string& name : kept)
    EXPECT_TRUE(fs::exists(dir / fs::path(name).filename())) << name;
  close(fd);
  EXPECT_TRUE(RemoveStaleParts((dir / "none").string(), start).empty());
  fs::remove_all(dir);
}

}  // namespace
}  // namespace kolvane
