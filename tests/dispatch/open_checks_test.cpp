// The Open commands check what the user chooses as soon as it is chosen: a data file of the
// other kind names the menu item that opens it, a file of neither kind is refused before its
// companions are asked for, and a results file that cannot be written is asked for again with
// the system's reason while the files chosen before stay chosen.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "dispatch_fixtures.h"
#include "support/portable.h"
#include "support/table.h"

namespace kolvane {
namespace {

const std::string& kFix = testing_window::kFixedFiles[0];
const std::string& kSyn = testing_window::kScanFiles[0];

std::string Temp(const std::string& name, const std::string& text) {
  const std::string path = testing_window::TempPath("open-" + name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(OpenChecks, AWrongDataFileIsRefusedAsSoonAsItIsChosen) {
  const std::map<std::string, std::string> files = {
      {"small.syn", kSyn},
      {"tissue_blanks_controls.fix", kFix},
      {"README.md", Temp("README.md", "# Examples\n\nOpen the files below.\n")},
      {"binary.dat", Temp("binary.dat", std::string("\x7f"
                                                    "ELF\x02\x01\x01\0\0\0",
                                                    10))}};
  for (const TableRow& c : ReadTable("dispatch/wrong_data_files.tsv")) {
    SCOPED_TRACE(c[0] + " " + c[1]);
    const std::string& file = files.at(c[1]);
    std::string message = c[2];
    message.replace(message.find("%f"), 2, file);
    testing_window::Started s;
    s.host.QueueFile(file);
    s.host.allow_any_message = true;
    EXPECT_EQ(c[0] == "scan" ? OpenDataSS_Click(s.p) : OpenData_Click(s.p), Flow::Stop);
    EXPECT_EQ(s.host.dialogs.size(), 1u) << "no companion asked for";
    ASSERT_EQ(s.host.messages.size(), 1u);
    EXPECT_EQ(s.host.messages[0].substr(0, message.size()), message);
    EXPECT_FALSE(s.p.form.CloseIt.enabled || s.p.FixedDataLoaded || s.p.ScanDataLoaded);
    EXPECT_FALSE(s.p.channels.In(Channels::kData).IsOpen());
  }
  std::remove(files.at("README.md").c_str());
  std::remove(files.at("binary.dat").c_str());
}

// /proc takes no new file: the message gives the system's reason, the results dialog comes
// again (proposing the refused name) and the dataset loads with the next answer. The data file
// itself as results file: the same.
TEST(OpenChecks, AResultsFileThatCannotBeWrittenIsAskedForAgain) {
  KOLVANE_SKIP_ON_WINDOWS("a folder (/proc) no one may write into");
  for (bool scan : {false, true}) {
    const std::string data = scan ? kSyn : kFix;
    for (const std::string& refused : {std::string("/proc/kolvane-out.scf"), data}) {
      SCOPED_TRACE(refused);
      const std::string before = testing_window::FileText(data);
      testing_window::Window s;
      s.host.allow_any_message = true;
      const std::string results = testing_window::TempPath("open-results.scf");
      std::vector<std::string> files = {data, "", "", refused, results};  // no companions
      if (scan) files.erase(files.begin() + 2);                           // a scan has no controls
      ASSERT_EQ(s.Open(scan, files), Flow::Continue);
      EXPECT_TRUE(scan ? s.p.ScanDataLoaded : s.p.FixedDataLoaded);
      ASSERT_EQ(s.host.messages.size(), 1u);
      const std::string& m = s.host.messages[0];
      EXPECT_NE(m.find(refused), std::string::npos) << m;
      if (refused != data) {
        EXPECT_NE(m.find(refused + " ("), std::string::npos) << "the reason";
      }
      const std::string again = "  Please choose another name for the results file.";
      EXPECT_EQ(m.substr(m.size() - again.size()), again);
      ASSERT_EQ(s.host.dialogs.size(), scan ? 4u : 5u);
      EXPECT_EQ(s.host.dialogs.back().title, "Save Results File");
      EXPECT_EQ(s.host.dialogs.back().default_name, refused);
      EXPECT_EQ(s.p.channels.Out(Channels::kResults).Path(), results);
      CloseIt_Click(s.p);
      EXPECT_EQ(testing_window::FileText(data), before) << "the data file is untouched";
      std::remove(results.c_str());
    }
  }
}

// A host that would answer the same again (the batch): one message, and the load ends.
TEST(OpenChecks, AHostThatAnswersFromItsCommandLineIsNotAskedAgain) {
  KOLVANE_SKIP_ON_WINDOWS("a folder (/proc) no one may write into");
  testing_window::Window s;
  s.host.has_user = false;
  s.host.allow_any_message = true;
  EXPECT_EQ(s.Open(false, {kFix, "", "", "/proc/kolvane-out.scf"}), Flow::Stop);
  ASSERT_EQ(s.host.messages.size(), 1u);
  EXPECT_EQ(s.host.messages[0].rfind("Can't open file: /proc/kolvane-out.scf (", 0), 0u);
  EXPECT_FALSE(s.p.form.CloseIt.enabled);
}

}  // namespace
}  // namespace kolvane
