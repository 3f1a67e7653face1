// In this file: what the fixed-wavelength and scan tests share: a program started as the window
// starts it with the scripted host, a scratch folder of the test's own, and whole files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/main_form_ops.h"
#include "app/program.h"
#include "support/portable.h"
#include "support/scripted_host.h"

namespace kolvane {

// Lines ended by CR LF, as the program writes them.
inline std::string CrLf(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

inline std::string ReadFile(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    Form_Load(p, 19200, 14400);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = (std::filesystem::temp_directory_path() / ("kolvane_" + std::to_string(ProcessId()) +
                                                     "_" + info->test_suite_name() + info->name()))
              .string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  ~ProgramTest() override {
    p.channels.CloseAll();
    std::filesystem::remove_all(dir);
  }
  std::string Path(const std::string& name) const { return dir + "/" + name; }
  // Writes a file; an empty text stands for a cancelled dialog and writes nothing.
  std::string Write(const std::string& name, const std::string& text) const {
    if (text.empty()) return "";
    std::ofstream(Path(name), std::ios::binary) << text;
    return Path(name);
  }

  ScriptedHost host;
  Program p{host};
  std::string dir;
};

}  // namespace kolvane
