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
    const char* filter;
    const char* title;  // nullptr: the matrix file's dialog, with the platform's title
    bool save;
    const char* offered;  // |description|pattern|...
  };
  const Case cases[] = {
      {"FIX Files (*.fix):*.fix", "Open Fix File", false, "|FIX Files (*.fix)|*.fix"},
      {"Spillover Corrected File (*.scf)|*.scf", "Save Results File", true,
       "|Spillover Corrected File (*.scf)|*.scf"},
      {"Spillover (*.spl)|*.spl| All Files (*.*) |*.*", nullptr, false,
       "|Spillover (*.spl)|*.spl"}};
  for (const Case& c : cases) {
    for (const char* answer : {"/data/chosen file.dat", ""}) {  // chosen, cancelled
      SCOPED_TRACE(std::string(c.filter) + " answered \"" + answer);
      Started s;
      s.host.QueueFile(answer);
      EXPECT_EQ(c.title ? AskFileName(s.p, c.filter, c.title, c.save, "C:\\data\\run1.fix.scf")
                        : AskOpenFileName(s.p, c.filter),
                answer);
      const FileDialogRequest& r = s.host.dialogs.at(0);
      EXPECT_TRUE(r.save == c.save && r.title == (c.title ? c.title : ""));
      EXPECT_EQ(r.default_name, c.save ? "C:\\data\\run1.fix.scf" : "");
      std::string offered;
      for (const auto& f : r.filters) offered += "|" + f.description + "|" + f.pattern;
      EXPECT_EQ(offered, c.offered + std::string(c.save ? "" : "|All Files (*.*)|*.*"));
    }
  }
}

}  // namespace
}  // namespace kolvane
