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

using Filters = std::vector<std::pair<std::string, std::string>>;

TEST(FileDialogs, RequestTitleFiltersAndProposedName) {
  const Filters all = {{"All Files (*.*)", "*.*"}};
  struct Case {
    const char* filter;
    const char* title;  // nullptr: the matrix file's dialog
    bool save;
    Filters expected;
    const char* proposed;
  };
  const Case cases[] = {
      {"FIX Files (*.fix):*.fix", "Open Fix File", false, {{"FIX Files (*.fix)", "*.fix"}}, ""},
      {"Blanks (*.blk)|*.blk", "Open Blanks File", false, {{"Blanks (*.blk)", "*.blk"}}, ""},
      {"Control (*.ctl)|*.ctl", "Open Control File", false, {{"Control (*.ctl)", "*.ctl"}}, ""},
      {"Synchronous Scans (*.syn)|*.syn",
       "Open Synchronous Scan File",
       false,
       {{"Synchronous Scans (*.syn)", "*.syn"}},
       ""},
      {"Spillover Corrected File (*.scf)|*.scf",
       "Save Results File",
       true,
       {{"Spillover Corrected File (*.scf)", "*.scf"}},
       "C:\\data\\run1.fix.scf"},
      {"Spillover (*.spl)|*.spl| All Files (*.*) |*.*",
       nullptr,
       false,
       {{"Spillover (*.spl)", "*.spl"}},
       ""}};
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
      EXPECT_EQ(r.title, c.title ? c.title : "") << "the matrix file: the platform's title";
      EXPECT_EQ(r.default_name, c.proposed) << "open dialogs propose no name";
      Filters expected = c.expected;
      if (!c.save) expected.push_back(all[0]);
      Filters got;
      for (const auto& f : r.filters) got.push_back({f.description, f.pattern});
      EXPECT_EQ(got, expected);
    }
  }
}

// --- tissue dialogs ---------------------------------------------------------------------

TEST(TissueDialog, OkCancelAndTheCloseBox) {
  struct Case {
    const char* name;
    void (*act)(TissueForm&);
    bool in_file, excluded, cancelled, closed;
  };
  const Case cases[] = {
      {"Ok at once", [](TissueForm& f) { TissueOk_Click(f); }, false, true, false, true},
      {"use tissue, Ok",
       [](TissueForm& f) {
         TissueOpt_Click(f, 0);
         TissueOk_Click(f);
       },
       true, false, false, true},
      // An option's effect holds once chosen, whether the analysis goes on or not.
      {"use tissue, Cancel",
       [](TissueForm& f) {
         TissueOpt_Click(f, 0);
         TissueCancel_Click(f);
       },
       true, false, true, true},
      // The window's close box: the flags the options left, the cancel flag as it was (set).
      {"use tissue, close box", [](TissueForm& f) { TissueOpt_Click(f, 0); }, true, false, true,
       false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
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
      c.act(f);
      EXPECT_EQ(f.closed, c.closed);
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
  struct Entry {
    int i, j;
    double value;
  };
  struct Case {
    std::vector<std::string> names;
    std::vector<Entry> expected;
  };
  const Case cases[] = {
      // The dye part of the matrix is left for the completion to normalise.
      {{"Tissue", "Blue", "Green"},
       {{1, 1, 1.0},
        {1, 2, 0.6165},
        {1, 3, 0.0},
        {2, 1, 0.1034},
        {3, 1, 0.0},
        {2, 2, 5.0},
        {3, 2, 5.0},
        {2, 3, 5.0}}},
      {{"Tissue", "Green", "Blue-Green", "Red"},
       {{1, 3, 0.0266}, {3, 1, 0.0019}, {1, 2, 0.0}, {2, 1, 0.0}, {1, 4, 0.0}, {4, 1, 0.0}}},
      // Names compare case-sensitively; beyond the matrix nothing is written.
      {{"Tissue", "blue", "Green", "BLUE-GREEN"},
       {{1, 1, 1.0},
        {1, 2, 0.0},
        {2, 1, 0.0},
        {1, 3, 0.0},
        {3, 1, 0.0},
        {1, 4, 0.0},
        {4, 1, 0.0},
        {1, 5, 5.0}}}};
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
    for (const Entry& e : c.expected)
      EXPECT_EQ(p.SpillMatrix[e.i][e.j], e.value) << "(" << e.i << ", " << e.j << ")";
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
