#include "app/about_box.h"

#include <string>

#include "app/version.h"

namespace kolvane {

void AboutForm_Load(AboutForm& f) {
  f.caption = "KOLVANE";
  f.product = "KOLVANE";
  f.lblVersion = std::string("Version ") + KOLVANE_VERSION_STRING;
  f.lblDescription =
      std::string(KOLVANE_DESCRIPTION) + "\nCopyright (C) 2026 the KOLVANE developers";
  // Only what the build knows: no address, telephone or web site that does not exist.
  const std::string source = KOLVANE_SOURCE_URL;
  f.lblDisclaimer = std::string("License: ") + KOLVANE_LICENSE + "\nSource: " +
                    (source.empty() ? std::string("not published with this build") : source);
}

}  // namespace kolvane
