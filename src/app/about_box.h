// In this file: the about box as a form model.
#pragma once

#include <string>

namespace kolvane {

struct AboutForm {
  std::string caption;
  std::string product;
  std::string lblVersion;
  std::string lblDescription;  // five lines
  std::string lblDisclaimer;   // five lines
};

// Fills the box as it opens.
void AboutForm_Load(AboutForm& f);

}  // namespace kolvane
