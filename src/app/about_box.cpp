#include "app/about_box.h"

#include <string>

#include "app/version.h"

namespace kolvane {

void AboutForm_Load(AboutForm& f) {
  f.caption = "KOLVANE";
  f.product = "KOLVANE";
  f.lblVersion = "Version " + std::to_string(KOLVANE_VERSION_MAJOR) + "." +
                 std::to_string(KOLVANE_VERSION_MINOR);
  f.lblDescription =
      "KOLVANE project\n"
      "Microsphere data reduction\n"
      "Fluorescence spillover correction\n"
      "Postal address: see the project's web site\n"
      "kolvane.example.org";
  f.lblDisclaimer =
      "Web: https://kolvane.example.org\n"
      "Telephone: see the project's web site\n"
      "Fax: none\n"
      "E-mail: support@kolvane.example.org\n"
      "Fault reports: bugs@kolvane.example.org";
}

}  // namespace kolvane
