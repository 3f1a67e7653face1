// The file dialogs' requests.
#include <gtest/gtest.h>

#include <string>

#include "app/about_box.h"
#include "app/file_dialogs.h"
#include "app/version.h"
#include "support/table.h"
#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::Started;

TEST(FileDialogs, RequestTitleFiltersAndProposedName) {
  for (const TableRow& c : ReadTable("app/file_dialogs.tsv")) {
    const FileRole role = c[0] == "data"      ? FileRole::Data
                          : c[0] == "results" ? FileRole::Results
                                              : FileRole::Matrix;
    const bool save = c[3] == "yes";
    for (const char* answer : {"/data/chosen file.dat", ""}) {  // chosen, cancelled
      SCOPED_TRACE(c[1] + " answered \"" + answer);
      Started s;
      s.host.QueueFile(answer);
      EXPECT_EQ(c[2].empty() ? AskOpenFileName(s.p, role, c[1])
                             : AskFileName(s.p, role, c[1], c[2], save, "C:\\data\\run1.fix.scf"),
                answer);
      const FileDialogRequest& r = s.host.dialogs.at(0);
      EXPECT_TRUE(r.role == role && r.save == save && r.title == c[2]);
      // The run record keeps the data and results files by their role (not the matrix file).
      const ChosenFileSet& kept = s.p.ChosenFiles;
      EXPECT_EQ(kept.data + kept.results, role == FileRole::Matrix ? "" : answer);
      EXPECT_EQ(r.default_name, save ? "C:\\data\\run1.fix.scf" : "");
      std::string offered;
      for (const auto& f : r.filters) offered += "|" + f.description + "|" + f.pattern;
      EXPECT_EQ(offered, c[4] + (save ? "" : "|All Files (*.*)|*.*"));
    }
  }
}

}  // namespace
}  // namespace kolvane

namespace kolvane {
namespace {

// The about box says only what the build knows: the version, the license and where the source
// lives; no made-up address, telephone, fax or web site.
TEST(AboutBox, HoldsTheVersionLicenseAndSourceAndNoPlaceholders) {
  AboutForm f;
  AboutForm_Load(f);
  EXPECT_EQ(f.lblVersion, std::string("Version ") + KOLVANE_VERSION_STRING);
  const std::string text = f.lblDescription + "\n" + f.lblDisclaimer;
  EXPECT_NE(f.lblDisclaimer.find("License: "), std::string::npos) << text;
  EXPECT_NE(f.lblDisclaimer.find("Source: "), std::string::npos) << text;
  for (const char* placeholder : {"example.org", "project's web site", "Fax", "Telephone"})
    EXPECT_EQ(text.find(placeholder), std::string::npos) << placeholder;
}

// Show in Folder with no file manager to show it: the window says so and names the folder.
TEST(ShowInFolder, SaysSoWhenNoFileManagerShowsTheFolder) {
  for (bool opens : {true, false}) {
    Started s;
    s.p.form.StatusFolder = "/data/run 1";
    s.host.folder_opens = opens;
    if (!opens)
      s.host.ExpectMessage(
          "No file manager could show the folder of the results file.  The results are in "
          "/data/run 1");
    ShowInFolder_Click(s.p);
    EXPECT_EQ(s.host.folders_shown, std::vector<std::string>{"/data/run 1"});
  }
}

}  // namespace
}  // namespace kolvane
