// The file dialogs' requests.
#include <gtest/gtest.h>

#include <string>

#include "app/file_dialogs.h"
#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::Started;

TEST(FileDialogs, RequestTitleFiltersAndProposedName) {
  struct Case {
    FileRole role;
    const char* filter;
    const char* title;  // nullptr: the matrix file's dialog, with the platform's title
    bool save;
    const char* offered;  // |description|pattern|...
  };
  const Case cases[] = {{FileRole::Data, "FIX Files (*.fix):*.fix", "Open Fix File", false,
                         "|FIX Files (*.fix)|*.fix"},
                        {FileRole::Results, "Spillover Corrected File (*.scf)|*.scf",
                         "Save Results File", true, "|Spillover Corrected File (*.scf)|*.scf"},
                        {FileRole::Matrix, "Spillover (*.spl)|*.spl| All Files (*.*) |*.*", nullptr,
                         false, "|Spillover (*.spl)|*.spl"}};
  for (const Case& c : cases) {
    for (const char* answer : {"/data/chosen file.dat", ""}) {  // chosen, cancelled
      SCOPED_TRACE(std::string(c.filter) + " answered \"" + answer);
      Started s;
      s.host.QueueFile(answer);
      EXPECT_EQ(c.title
                    ? AskFileName(s.p, c.role, c.filter, c.title, c.save, "C:\\data\\run1.fix.scf")
                    : AskOpenFileName(s.p, c.role, c.filter),
                answer);
      const FileDialogRequest& r = s.host.dialogs.at(0);
      EXPECT_TRUE(r.role == c.role && r.save == c.save && r.title == (c.title ? c.title : ""));
      // The run record keeps the data and results files by their role (not the matrix file).
      const ChosenFileSet& kept = s.p.ChosenFiles;
      EXPECT_EQ(kept.data + kept.results, c.role == FileRole::Matrix ? "" : answer);
      EXPECT_EQ(r.default_name, c.save ? "C:\\data\\run1.fix.scf" : "");
      std::string offered;
      for (const auto& f : r.filters) offered += "|" + f.description + "|" + f.pattern;
      EXPECT_EQ(offered, c.offered + std::string(c.save ? "" : "|All Files (*.*)|*.*"));
    }
  }
}

}  // namespace
}  // namespace kolvane
