#include "batch_runner.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/batch.h"
#include "support/portable.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kolvane {

std::string CliData(const std::string& name) {
  return std::string(KOLVANE_TEST_DATA) + "/cli/" + name;
}

BatchRun RunBatch(const std::vector<std::string>& args) {
  std::vector<std::string> words{"kolvane-batch"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  BatchRun run;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  run.status = BatchMain(static_cast<int>(words.size()), argv.data());
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
  run.err = testing::internal::GetCapturedStderr();
  run.out = testing::internal::GetCapturedStdout();
  return run;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kolvane-cli-XXXXXX").string();
  if (!MakeFreshFolder(pattern)) ADD_FAILURE() << "cannot make a temporary folder";
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Copy(const std::string& source, const std::string& name) const {
  const std::filesystem::path target =
      path_ /
      (name.empty() ? std::filesystem::path(source).filename() : std::filesystem::path(name));
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
  return target.string();
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

long RecordLines(const std::string& text) {
  long n = 0;
  for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    n += (text[at] == 'P' || text[at] == 'S' || text[at] == 'B') && at + 1 < text.size() &&
         std::isdigit(static_cast<unsigned char>(text[at + 1]));
    if (text.find('\n', at) == std::string::npos) break;
  }
  return n;
}

bool TempFileIn(const std::filesystem::path& dir) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec))
    if (e.path().filename().string().rfind(".kolvane-", 0) == 0) return true;
  return false;
}

#ifndef _WIN32
std::string SimulatedScan(const TempDir& t, int records, int points) {
  const std::string sim = BuiltProgram("kolvane-simulate") + " scan --records " +
                          std::to_string(records) + " --points " + std::to_string(points) + " -o " +
                          t.File("a") + " >/dev/null 2>&1";
  return std::system(sim.c_str()) == 0 ? t.File("a.syn") : "";
}

pid_t StartBatch(const std::vector<std::string>& args) {
  std::vector<std::string> words{BuiltProgram("kolvane-batch")};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}
#endif

}  // namespace kolvane
