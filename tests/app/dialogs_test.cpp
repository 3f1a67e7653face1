// The file dialogs' requests, the tissue dialogs and the stored tissue sample, the about box.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/about_box.h"
#include "app/file_dialogs.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/tissue_dialogs.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

struct Started {
  ScriptedHost host;
  Program p{host};
  Started() { Form_Load(p, 30000, 20000); }
};

void ExpectFilters(const FileDialogRequest& r,
                   const std::vector<std::pair<std::string, std::string>>& expected) {
  ASSERT_EQ(r.filters.size(), expected.size()) << r.title;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(r.filters[i].description, expected[i].first) << r.title << " entry " << i;
    EXPECT_EQ(r.filters[i].pattern, expected[i].second) << r.title << " entry " << i;
  }
}

TEST(FileDialogs, OpenDialogsOfferTheCallersEntryAndAllFiles) {
  struct Case {
    const char* filter;
    const char* title;
    const char* description;
    const char* pattern;
  };
  const Case cases[] = {
      {"FIX Files (*.fix):*.fix", "Open Fix File", "FIX Files (*.fix)", "*.fix"},
      {"Blanks (*.blk)|*.blk", "Open Blanks File", "Blanks (*.blk)", "*.blk"},
      {"Control (*.ctl)|*.ctl", "Open Control File", "Control (*.ctl)", "*.ctl"},
      {"Synchronous Scans (*.syn)|*.syn", "Open Synchronous Scan File", "Synchronous Scans (*.syn)",
       "*.syn"},
  };
  for (const Case& c : cases) {
    Started s;
    s.host.QueueFile("/data/chosen file.dat");
    EXPECT_EQ(AskFileName(s.p, c.filter, c.title, false, "ignored.scf"), "/data/chosen file.dat");
    ASSERT_EQ(s.host.dialogs.size(), 1u);
    const FileDialogRequest& r = s.host.dialogs[0];
    EXPECT_FALSE(r.save);
    EXPECT_EQ(r.title, c.title);
    EXPECT_EQ(r.default_name, "") << "open dialogs propose no name";
    ExpectFilters(r, {{c.description, c.pattern}, {"All Files (*.*)", "*.*"}});
  }
}

TEST(FileDialogs, SaveDialogProposesTheResultsName) {
  Started s;
  s.host.QueueFile("C:\\data\\run1.fix.scf");
  std::string answer = AskFileName(s.p, "Spillover Corrected File (*.scf)|*.scf",
                                   "Save Results File", true, "C:\\data\\run1.fix.scf");
  EXPECT_EQ(answer, "C:\\data\\run1.fix.scf");
  const FileDialogRequest& r = s.host.dialogs.at(0);
  EXPECT_TRUE(r.save);
  EXPECT_EQ(r.title, "Save Results File");
  EXPECT_EQ(r.default_name, "C:\\data\\run1.fix.scf");
  ExpectFilters(r, {{"Spillover Corrected File (*.scf)", "*.scf"}});
}

TEST(FileDialogs, CancelAnswersEmpty) {
  Started s;
  s.host.QueueFile("");
  EXPECT_EQ(AskFileName(s.p, "FIX Files (*.fix):*.fix", "Open Fix File", false, ""), "");
  s.host.QueueFile("");
  EXPECT_EQ(AskOpenFileName(s.p, "Spillover (*.spl)|*.spl| All Files (*.*) |*.*"), "");
}

TEST(FileDialogs, MatrixFileDialogReadsThePlatformForm) {
  Started s;
  s.host.QueueFile("/m/a.spl");
  EXPECT_EQ(AskOpenFileName(s.p, "Spillover (*.spl)|*.spl| All Files (*.*) |*.*"), "/m/a.spl");
  const FileDialogRequest& r = s.host.dialogs.at(0);
  EXPECT_FALSE(r.save);
  EXPECT_EQ(r.title, "") << "the platform's default title";
  ExpectFilters(r, {{"Spillover (*.spl)", "*.spl"}, {"All Files (*.*)", "*.*"}});
}

// --- tissue dialogs ---------------------------------------------------------------------

TEST(TissueDialog, OkAtOnceLeavesTissueExcluded) {
  Started s;
  Program& p = s.p;
  p.TissueInFile = true;
  p.TissueExcluded = false;
  p.TissueRunCancelled = true;
  s.host.on_tissue = [&](TissueForm& f) {
    EXPECT_EQ(f.caption, "Tissue");
    EXPECT_EQ(f.selected, 1) << "the second option is selected as the dialog opens";
    EXPECT_FALSE(p.TissueInFile);
    EXPECT_TRUE(p.TissueExcluded);
    TissueOk_Click(f);
    EXPECT_TRUE(f.closed);
  };
  ShowTissueDialog(p);
  EXPECT_TRUE(p.TissueExcluded);
  EXPECT_FALSE(p.TissueInFile);
  EXPECT_FALSE(p.TissueRunCancelled);
}

TEST(TissueDialog, UsingTissueThenOk) {
  Started s;
  Program& p = s.p;
  s.host.on_tissue = [](TissueForm& f) {
    TissueOpt_Click(f, 0);
    TissueOk_Click(f);
  };
  ShowTissueDialog(p);
  EXPECT_TRUE(p.TissueInFile);
  EXPECT_FALSE(p.TissueExcluded);
  EXPECT_FALSE(p.TissueRunCancelled);
}

TEST(TissueDialog, CancelAnalysisAndTheCloseBox) {
  Started s;
  Program& p = s.p;
  s.host.on_tissue = [](TissueForm& f) {
    TissueOpt_Click(f, 0);
    TissueCancel_Click(f);
  };
  ShowTissueDialog(p);
  EXPECT_TRUE(p.TissueRunCancelled);
  EXPECT_TRUE(p.TissueInFile) << "an option's effect holds once chosen";

  // Closed with the window's close box: the flags the options left, the cancel flag as it was.
  s.host.on_tissue = [](TissueForm& f) { TissueOpt_Click(f, 0); };
  ShowTissueDialog(p);
  EXPECT_TRUE(p.TissueRunCancelled);
  EXPECT_TRUE(p.TissueInFile);
  EXPECT_FALSE(p.TissueExcluded);
}

struct MatrixCase {
  Started s;
  explicit MatrixCase(std::vector<std::string> names) {
    Program& p = s.p;
    for (auto& row : p.SpillMatrix) row.fill(5.0);
    p.MatrixSize = static_cast<std::int16_t>(names.size());
    p.NumColors = static_cast<std::int16_t>(names.size());
    p.FirstNormalizedColor = 1;
    for (std::size_t k = 0; k < names.size(); ++k) p.MatrixColorNames[k + 1] = names[k];
  }
};

TEST(TissueOptions, StoredSampleWritesRowAndColumnOne) {
  MatrixCase m({"Tissue", "Blue", "Green"});
  Program& p = m.s.p;
  p.TissueAbortRun = true;
  m.s.host.on_tissue_options = [&](TissueOptionsForm& f) {
    EXPECT_EQ(f.caption, "Tissue Sample Options");
    EXPECT_FALSE(p.TissueAbortRun) << "cleared as the dialog opens";
    TissueOptionsUseStored_Click(f);
    EXPECT_TRUE(f.closed);
  };
  ShowTissueOptionsDialog(p);
  const SlotMatrix& a = p.SpillMatrix;
  EXPECT_EQ(a[1][1], 1.0);
  EXPECT_EQ(a[1][2], 0.6165);
  EXPECT_EQ(a[1][3], 0.0);
  EXPECT_EQ(a[2][1], 0.1034);
  EXPECT_EQ(a[3][1], 0.0);
  EXPECT_EQ(p.FirstNormalizedColor, 2);
  EXPECT_FALSE(p.TissueAbortRun);
  // The dye part of the matrix is left for the completion to normalise.
  EXPECT_EQ(a[2][2], 5.0);
  EXPECT_EQ(a[3][2], 5.0);
  EXPECT_EQ(a[2][3], 5.0);
}

TEST(TissueOptions, StoredSampleForBlueGreen) {
  MatrixCase m({"Tissue", "Green", "Blue-Green", "Red"});
  UseStoredTissueSample(m.s.p);
  const SlotMatrix& a = m.s.p.SpillMatrix;
  EXPECT_EQ(a[1][3], 0.0266);
  EXPECT_EQ(a[3][1], 0.0019);
  EXPECT_EQ(a[1][2], 0.0);
  EXPECT_EQ(a[2][1], 0.0);
  EXPECT_EQ(a[1][4], 0.0);
  EXPECT_EQ(a[4][1], 0.0);
}

TEST(TissueOptions, WithoutBlueOnlyTheUnitDiagonalRemains) {
  MatrixCase m({"Tissue", "blue", "Green", "BLUE-GREEN"});  // names compare case-sensitively
  UseStoredTissueSample(m.s.p);
  const SlotMatrix& a = m.s.p.SpillMatrix;
  EXPECT_EQ(a[1][1], 1.0);
  for (int i = 2; i <= 4; ++i) {
    EXPECT_EQ(a[1][i], 0.0) << i;
    EXPECT_EQ(a[i][1], 0.0) << i;
  }
  EXPECT_EQ(a[1][5], 5.0) << "beyond the matrix nothing is written";
}

TEST(TissueOptions, ProvidedSampleChangesNothingAbortSetsTheFlag) {
  MatrixCase m({"Tissue", "Blue"});
  Program& p = m.s.p;
  m.s.host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); };
  ShowTissueOptionsDialog(p);
  EXPECT_EQ(p.SpillMatrix[1][2], 5.0);
  EXPECT_EQ(p.FirstNormalizedColor, 1);
  EXPECT_FALSE(p.TissueAbortRun);

  m.s.host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); };
  ShowTissueOptionsDialog(p);
  EXPECT_TRUE(p.TissueAbortRun);
  EXPECT_EQ(p.SpillMatrix[1][2], 5.0);
}

// --- about box --------------------------------------------------------------------------

// The version as the project declares it, read from the build description.
std::string DeclaredVersion() {
  std::ifstream in(std::string(KOLVANE_SOURCE_DIR) + "/CMakeLists.txt");
  std::stringstream text;
  text << in.rdbuf();
  std::smatch m;
  std::string s = text.str();
  if (!std::regex_search(s, m, std::regex(R"(project\(kolvane\s+VERSION\s+(\d+)\.(\d+))")))
    return "";
  return m[1].str() + "." + m[2].str();
}

TEST(AboutBox, ShowsNameVersionAndTwoFiveLineBlocks) {
  AboutForm f;
  AboutForm_Load(f);
  std::string version = DeclaredVersion();
  ASSERT_FALSE(version.empty());
  EXPECT_EQ(f.lblVersion, "Version " + version);
  EXPECT_EQ(f.caption, "KOLVANE");
  EXPECT_EQ(f.product, "KOLVANE");
  EXPECT_EQ(std::count(f.lblDescription.begin(), f.lblDescription.end(), '\n'), 4);
  EXPECT_EQ(std::count(f.lblDisclaimer.begin(), f.lblDisclaimer.end(), '\n'), 4);
  EXPECT_NE(f.lblDisclaimer.find("https://kolvane.example.org"), std::string::npos);
  EXPECT_NE(f.lblDisclaimer.find("support@kolvane.example.org"), std::string::npos);
}

TEST(AboutBox, TheHelpCommandShowsItOnce) {
  Started s;
  AbtKOLVANE_Click(s.p);
  EXPECT_EQ(s.host.about_shown, 1);
}

}  // namespace
}  // namespace kolvane
