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

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kolvane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

// A child process that opens `held` (when given), says so through a pipe and waits until it is
// killed: a live PID that holds a file, or none.
class Child {
 public:
  explicit Child(const std::string& held = "") {
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    pid_ = fork();
    if (pid_ == 0) {
      if (!held.empty() && open(held.c_str(), O_RDONLY) < 0) _exit(1);
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

// The PID of a process that has ended and been waited for: no process has it.
pid_t DeadPid() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

class StaleParts : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kolvane-parts-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    start_ = Clock::now();
  }
  void TearDown() override { fs::remove_all(dir_); }
  // A temporary file of the writer's naming with this PID, written `age` before the run began
  // (negative: after).
  std::string Part(pid_t pid, std::chrono::seconds age, const std::string& random = "a1B2c3") {
    const std::string name = ".kolvane-" + std::to_string(pid) + "-" + random + ".part";
    return File(name, age);
  }
  std::string File(const std::string& name, std::chrono::seconds age) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path) << "P1\t1.000\r\n";
    const auto when = Clock::to_time_t(start_ - age);
    const timespec times[2] = {{when, 0}, {when, 0}};
    EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    return path;
  }
  std::vector<std::string> Sweep() { return RemoveStaleParts(dir_.string(), start_); }

  fs::path dir_;
  Clock::time_point start_;
};

constexpr std::chrono::seconds kBefore{60}, kAfter{-60};

TEST_F(StaleParts, TheFileOfAProcessThatHasEndedGoesWhateverItsAge) {
  const std::string old_one = Part(DeadPid(), kBefore, "aaaaaa");
  const std::string new_one = Part(DeadPid(), kAfter, "bbbbbb");
  EXPECT_EQ(Sweep(), (std::vector<std::string>{old_one, new_one}));
  EXPECT_FALSE(fs::exists(old_one));
  EXPECT_FALSE(fs::exists(new_one));
}

TEST_F(StaleParts, ALiveProcessKeepsTheFileItHoldsOrWroteSinceTheRunBegan) {
  const std::string plain = File("being-written", kBefore);
  Child holder(plain);
  const std::string held =
      (dir_ / (".kolvane-" + std::to_string(holder.pid()) + "-a1B2c3.part")).string();
  fs::rename(plain, held);
  Child other;
  const std::string fresh = Part(other.pid(), kAfter);
  EXPECT_TRUE(Sweep().empty());
  EXPECT_TRUE(fs::exists(held));
  EXPECT_TRUE(fs::exists(fresh));
}

TEST_F(StaleParts, AnOldFileItsLiveProcessDoesNotHoldGoes) {
  Child other;  // the PID was given again, to a process that never opened the file
  const std::string left = Part(other.pid(), kBefore);
  EXPECT_EQ(Sweep(), std::vector<std::string>{left});
}

TEST_F(StaleParts, ThisProcessKeepsWhatItHoldsOpenOrWroteSinceTheRunBegan) {
  const std::string open_here = Part(getpid(), kBefore, "openxx");
  const int fd = open(open_here.c_str(), O_RDONLY);
  const std::string written = Part(getpid(), kAfter, "neware");
  const std::string earlier = Part(getpid(), kBefore, "oldxxx");  // an earlier process, same PID
  EXPECT_EQ(Sweep(), std::vector<std::string>{earlier});
  close(fd);
  EXPECT_TRUE(fs::exists(open_here));
  EXPECT_TRUE(fs::exists(written));
}

TEST_F(StaleParts, ALockedFileStaysThoughItsPidHasEnded) {
  const std::string locked = Part(DeadPid(), kBefore);
  const int fd = open(locked.c_str(), O_RDWR);
  ASSERT_TRUE(HoldPartFile(fd));
  // The sweep in another process, which has not the file open: the lock alone keeps it.
  const pid_t sweeper = fork();
  if (sweeper == 0) {
    close(fd);
    _exit(RemoveStaleParts(dir_.string(), start_).empty() ? 0 : 1);
  }
  int status = -1;
  waitpid(sweeper, &status, 0);
  EXPECT_EQ(status, 0);
  close(fd);
  EXPECT_EQ(Sweep(), std::vector<std::string>{locked});  // the lock went with the last close
}

TEST_F(StaleParts, OnlyTheWritersNamingIsSwept) {
  const std::string dead = std::to_string(DeadPid());
  const std::vector<std::string> others = {".kolvane-" + dead + "-abcde.part",
                                           ".kolvane-" + dead + "-abcdefg.part",
                                           ".kolvane-" + dead + "-abc.ef.part",
                                           ".kolvane--abcdef.part",
                                           ".kolvane-0-abcdef.part",
                                           ".kolvane-0" + dead + "-abcdef.part",
                                           ".kolvane-" + dead + "-abcdef.part~",
                                           "kolvane-" + dead + "-abcdef.part",
                                           ".kolvane-" + dead + "x-abcdef.part",
                                           ".kolvane-" + dead + "1abcdef.part",
                                           ".kolvane-99999999999-abcdef.part",
                                           "r.fix.scf.part-abcdef",
                                           "r.fix.scf"};
  for (const std::string& name : others) File(name, kBefore);
  // Names of the naming that are no regular file: a link (its target stays) and a folder.
  const std::string target = File("target.scf", kBefore);
  fs::create_symlink(target, dir_ / (".kolvane-" + dead + "-linkxx.part"));
  fs::create_directory(dir_ / (".kolvane-" + dead + "-folder.part"));
  EXPECT_TRUE(Sweep().empty());
  for (const std::string& name : others) EXPECT_TRUE(fs::exists(dir_ / name)) << name;
  EXPECT_TRUE(fs::exists(target));
  EXPECT_TRUE(RemoveStaleParts((dir_ / "none").string(), start_).empty());
}

}  // namespace
}  // namespace kolvane
