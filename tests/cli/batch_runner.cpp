#include "batch_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/batch.h"
#include "support/portable.h"

namespace kolvane {

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

}  // namespace kolvane
