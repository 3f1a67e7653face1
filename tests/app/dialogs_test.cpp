// The file dialogs' requests, the tissue dialogs and the stored tissue sample, the about box.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "app/about_box.h"
#include "app/file_dialogs.h"
#include "app/tissue_dialogs.h"
#include "window_fixtures.h"

namespace kolvane {
namespace {

using testing_window::Started;

TEST(FileDialogs, RequestTitleFiltersAndProposedName) {
  struct Case {
    const char* filter;
    const char* title;  // nullptr: the matrix file's dialog, with the platform's title
    bool save;
    const char* filters;  // the entries offered, description|pattern|...
  };
  const std::string all = "|All Files (*.*)|*.*";
  // clang-format off
  const Case cases[] = {
      {"FIX Files (*.fix):*.fix", "Open Fix File", false, "FIX Files (*.fix)|*.fix"},
      {"Blanks (*.blk)|*.blk", "Open Blanks File", false, "Blanks (*.blk)|*.blk"},
      {"Control (*.ctl)|*.ctl", "Open Control File", false, "Control (*.ctl)|*.ctl"},
      {"Synchronous Scans (*.syn)|*.syn", "Open Synchronous Scan File", false, "Synchronous Scans (*.syn)|*.syn"},
      {"Spillover Corrected File (*.scf)|*.scf", "Save Results File", true, "Spillover Corrected File (*.scf)|*.scf"},
      {"Spillover (*.spl)|*.spl| All Files (*.*) |*.*", nullptr, false, "Spillover (*.spl)|*.spl"}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    for (const char* answer : {"/data/chosen file.dat", ""}) {  // chosen, cancelled
      Started s;
      s.host.QueueFile(answer);
      EXPECT_EQ(c.title ? AskFileName(s.p, c.filter, c.title, c.save, "C:\\data\\run1.fix.scf")
                        : AskOpenFileName(s.p, c.filter),
                answer);
      ASSERT_EQ(s.host.dialogs.size(), 1u);
      const FileDialogRequest& r = s.host.dialogs[0];
      EXPECT_EQ(r.save, c.save);
      EXPECT_EQ(r.title, c.title ? c.title : "");
      EXPECT_EQ(r.default_name, c.save ? "C:\\data\\run1.fix.scf" : "") << "open: no name";
      std::string offered;
      for (const auto& f : r.filters) offered += "|" + f.description + "|" + f.pattern;
      EXPECT_EQ(offered, "|" + std::string(c.filters) + (c.save ? "" : all));
    }
  }
}

// --- tissue dialogs ---------------------------------------------------------------------

TEST(TissueDialog, OkCancelAndTheCloseBox) {
  struct Case {
    bool use_tissue;  // the first option clicked
    int button;       // 1 Ok, 2 Cancel, 0 the window's close box
    bool in_file, excluded, cancelled;
  };
  // An option's effect holds once chosen, whether the analysis goes on or not; the close box
  // leaves the cancel flag as it was (set).
  const Case cases[] = {{false, 1, false, true, false},
                        {true, 1, true, false, false},
                        {true, 2, true, false, true},
                        {true, 0, true, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE("use tissue " + std::to_string(c.use_tissue) + ", button " +
                 std::to_string(c.button));
    Started s;
    Program& p = s.p;
    p.TissueInFile = p.TissueRunCancelled = true;
    p.TissueExcluded = false;
    s.host.on_tissue = [&](TissueForm& f) {
      EXPECT_EQ(f.caption, "Tissue");
      EXPECT_EQ(f.selected, 1) << "the second option is selected as the dialog opens";
      EXPECT_FALSE(p.TissueInFile);
      EXPECT_TRUE(p.TissueExcluded);
      if (c.use_tissue) TissueOpt_Click(f, 0);
      if (c.button == 1) TissueOk_Click(f);
      if (c.button == 2) TissueCancel_Click(f);
      EXPECT_EQ(f.closed, c.button != 0);
    };
    ShowTissueDialog(p);
    EXPECT_EQ(p.TissueInFile, c.in_file);
    EXPECT_EQ(p.TissueExcluded, c.excluded);
    EXPECT_EQ(p.TissueRunCancelled, c.cancelled);
  }
}

// A matrix of the given colours filled with 5.
struct MatrixCase : Started {
  explicit MatrixCase(std::vector<std::string> names) {
    for (auto& row : p.SpillMatrix) row.fill(5.0);
    p.MatrixSize = p.NumColors = static_cast<std::int16_t>(names.size());
    p.FirstNormalizedColor = 1;
    for (std::size_t k = 0; k < names.size(); ++k) p.MatrixColorNames[k + 1] = names[k];
  }
};

TEST(TissueOptions, StoredSampleWritesRowAndColumnOne) {
  struct Case {
    std::vector<std::string> names;
    double row[6], column[6];  // entries 1..5 of row 1 and column 1; 5 = left as it was
  };
  // Names compare case-sensitively; beyond the matrix nothing is written.
  // clang-format off
  const Case cases[] = {
      {{"Tissue", "Blue", "Green"}, {0, 1, 0.6165, 0, 5, 5}, {0, 1, 0.1034, 0, 5, 5}},
      {{"Tissue", "Green", "Blue-Green", "Red"}, {0, 1, 0, 0.0266, 0, 5}, {0, 1, 0, 0.0019, 0, 5}},
      {{"Tissue", "blue", "Green", "BLUE-GREEN"}, {0, 1, 0, 0, 0, 5}, {0, 1, 0, 0, 0, 5}}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names[1]);
    MatrixCase m(c.names);
    Program& p = m.p;
    p.TissueAbortRun = true;
    m.host.on_tissue_options = [&](TissueOptionsForm& f) {
      EXPECT_EQ(f.caption, "Tissue Sample Options");
      EXPECT_FALSE(p.TissueAbortRun) << "cleared as the dialog opens";
      TissueOptionsUseStored_Click(f);
      EXPECT_TRUE(f.closed);
    };
    ShowTissueOptionsDialog(p);
    for (int k = 1; k <= 5; ++k) {
      EXPECT_EQ(p.SpillMatrix[1][k], c.row[k]) << "(1, " << k << ")";
      EXPECT_EQ(p.SpillMatrix[k][1], c.column[k]) << "(" << k << ", 1)";
    }
    // The dye part of the matrix is left for the completion to normalise.
    EXPECT_TRUE(p.SpillMatrix[2][2] == 5.0 && p.SpillMatrix[2][3] == 5.0);
    EXPECT_EQ(p.FirstNormalizedColor, 2);
    EXPECT_FALSE(p.TissueAbortRun);
  }
}

TEST(TissueOptions, ProvidedSampleChangesNothingAbortSetsTheFlag) {
  MatrixCase m({"Tissue", "Blue"});
  Program& p = m.p;
  m.host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsUseProvided_Click(f); };
  ShowTissueOptionsDialog(p);
  EXPECT_EQ(p.FirstNormalizedColor, 1);
  EXPECT_FALSE(p.TissueAbortRun);
  m.host.on_tissue_options = [](TissueOptionsForm& f) { TissueOptionsAbort_Click(f); };
  ShowTissueOptionsDialog(p);
  EXPECT_TRUE(p.TissueAbortRun);
  EXPECT_EQ(p.SpillMatrix[1][2], 5.0);
}

// --- about box --------------------------------------------------------------------------

TEST(AboutBox, ShowsNameVersionAndTwoFiveLineBlocks) {
  // The version as the project declares it in its build description.
  std::ifstream in(std::string(KOLVANE_SOURCE_DIR) + "/CMakeLists.txt");
  std::stringstream text;
  text << in.rdbuf();
  const std::string cmake = text.str();
  std::smatch v;
  ASSERT_TRUE(
      std::regex_search(cmake, v, std::regex(R"(project\(kolvane\s+VERSION\s+(\d+\.\d+))")));
  AboutForm f;
  AboutForm_Load(f);
  EXPECT_EQ(f.lblVersion, "Version " + v[1].str());
  EXPECT_EQ(f.caption, "KOLVANE");
  EXPECT_EQ(f.product, "KOLVANE");
  EXPECT_EQ(std::count(f.lblDescription.begin(), f.lblDescription.end(), '\n'), 4);
  EXPECT_EQ(std::count(f.lblDisclaimer.begin(), f.lblDisclaimer.end(), '\n'), 4);
  EXPECT_NE(f.lblDisclaimer.find("https://kolvane.example.org"), std::string::npos);
  EXPECT_NE(f.lblDisclaimer.find("support@kolvane.example.org"), std::string::npos);

  Started s;
  AbtKOLVANE_Click(s.p);
  EXPECT_EQ(s.host.about_shown, 1);
}

}  // namespace
}  // namespace kolvane
