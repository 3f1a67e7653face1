// In this file: the about box as a form model.
#pragma once

#include <string>

namespace kolvane {

struct AboutForm {
  std::string caption;
  std::string product;
  std::string lblVersion;      // "Version 1.0.0"
  std::string lblDescription;  // what the program does, and its copyright
  std::string lblDisclaimer;   // its license and where its source lives
};

// Fills the box as it opens.
void AboutForm_Load(AboutForm& f);

}  // namespace kolvane
