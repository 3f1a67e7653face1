// The body records: one line is one record whatever the line ends, with empty lines, surplus
// fields and the delivery field of automatic delivery; what the load shows; the progress.
#include <gtest/gtest.h>

#include <vector>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class Records : public FixedFixture {};

// Every quirk file holds the same dataset: pures Blue (100, 10) and Red (20, 200) give the
// matrix [[1, 0.1], [0.1, 1]]; (b, r) solves to ((b - 0.1 r), (r - 0.1 b)) / 0.99, so
// S1 (120, 210) -> (100, 200) and S2 (50, 40) -> (46.4646.., 35.3535..).
TEST_F(Records, LineEndAndFieldQuirksReadTheSameRecords) {
  const std::string expected =
      CrLf({"Sample/Color\tBlue\tRed", "P1\t100.000\t0.000", "P2\t0.000\t200.000",
            "S1\t100.000\t200.000", "S2\t46.465\t35.354"});
  for (const char* name : {"cr_lf_line_ends.fix", "lf_line_ends.fix", "cr_only_line_ends.fix",
                           "no_final_line_end.fix", "empty_lines_between_records.fix",
                           "surplus_fields_and_trailing_tabs.fix", "auto_delivery_field.fix"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Flow::Continue,
              Load(std::string(KOLVANE_TEST_DATA) + "/fixed/" + name, "", "", Path("out.scf")));
    EXPECT_EQ("2", p.form.Samples.caption);
    EXPECT_EQ("2", p.form.PureStat.caption);
    ASSERT_EQ(Flow::Continue, Analyze());
    std::string text = Read(Path("out.scf"));
    auto at = text.find("Sample/Color");
    ASSERT_NE(std::string::npos, at) << text;
    EXPECT_EQ(expected, text.substr(at));
  }
}

TEST_F(Records, OnlyPureAndSampleRecordsAreCountedAndWritten) {
  std::string data = Write("types.fix", CrLf({"Wavelengths\t1", "Color Tube\tBlue", "P1\t10",
                                              "X1\t5", "S1\t4", "s2\t3", "B3\t2", "S4\t1"}));
  ASSERT_EQ(Flow::Continue, Load(data));
  EXPECT_EQ("2", p.form.Samples.caption);
  EXPECT_EQ("1", p.form.PureStat.caption);
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(std::string::npos,
            text.find(CrLf({"Sample/Color\tBlue", "P1\t10.000", "S1\t4.000", "S4\t1.000"})))
      << text;
}

TEST_F(Records, LoadShowsTheStatisticsAndTheWindowForTheChoices) {
  std::string data =
      Write("w.fix", CrLf({"Wavelengths\t12", "Color Tube\ta\tb\tc\td\te\tf\tg\th\ti\tj\tk\tl",
                           "S1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1"}));
  host.ExpectMessage(kNoPuresMessage);
  ASSERT_EQ(Flow::Continue, Load(data));
  const MainForm& f = p.form;
  EXPECT_EQ("NA", f.BlanksNum.caption);
  EXPECT_EQ("NA", f.ControlsNum.caption);
  EXPECT_EQ("0", f.PureStat.caption);
  EXPECT_FALSE(f.BackSub.visible || f.ControlCorr.visible || p.BackgroundOn);
  for (int i = 1; i <= kMaxColors; ++i) {
    EXPECT_EQ(i <= 12, f.Color[i].visible) << i;
    if (i > 12) {
      EXPECT_FALSE(f.MicrosPerMlFix[i].visible) << i;
    }
  }
  EXPECT_EQ(12, p.SelectedColorCount);
  EXPECT_TRUE(p.FixedDataLoaded && !p.ScanDataLoaded);
  EXPECT_TRUE(f.Spillover.enabled && f.CloseIt.enabled && f.RunAnalysis.visible);
  EXPECT_FALSE(f.OpenData.enabled || f.OpenDataSS.enabled);
  EXPECT_TRUE(f.OFResults_Radio[0].selected);
  EXPECT_FALSE(p.ResultsInMicrospheres);
  EXPECT_TRUE(p.channels.In(Channels::kData).IsOpen());
  EXPECT_TRUE(p.channels.Out(Channels::kResults).IsOpen());
  const char* titles[] = {"Open Fix File", "Open Blanks File", "Open Control File",
                          "Save Results File"};
  ASSERT_GE(host.dialogs.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(titles[i], host.dialogs[i].title);
  EXPECT_TRUE(host.dialogs[3].save);
  EXPECT_EQ(data + ".scf", host.dialogs[3].default_name);
  EXPECT_EQ(Pointer::Default, host.pointers.back());
}

// The progress bar counts the pures taken as done and every record of the sample pass, and
// stops at 100; a file without samples shows 100.
TEST_F(Records, Progress) {
  struct Case {
    const char* name;
    std::string body;
    std::vector<int> values;
  } cases[] = {
      // 1 pure taken; 4 samples: records 2, 3, 4, 5, 6 of the pass -> 50, 75, 100, 100, 100.
      {"samples", CrLf({"P1\t10", "S1\t1", "S2\t1", "S3\t1", "S4\t1"}), {50, 75, 100}},
      {"no samples", CrLf({"P1\t10"}), {100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Flow::Continue,
              Load(Write("pr.fix", CrLf({"Wavelengths\t1", "Color Tube\tBlue"}) + c.body)));
    std::vector<int> seen;
    host.on_messages = [&](int) {
      if (p.form.Perc_Panel.visible && (seen.empty() || p.form.Perc_Panel.value != seen.back()))
        seen.push_back(p.form.Perc_Panel.value);
    };
    ASSERT_EQ(Flow::Continue, RunFixedAnalysis(p));
    host.on_messages = nullptr;
    EXPECT_EQ(c.values.back(), p.form.Perc_Panel.value);
    EXPECT_FALSE(p.form.Perc_Panel.visible);
    ASSERT_GE(seen.size(), c.values.size());
    EXPECT_EQ(c.values, std::vector<int>(seen.end() - c.values.size(), seen.end()));
    p.channels.CloseAll();
    CloseIt_Click(p);
  }
}

}  // namespace
}  // namespace kolvane

namespace kolvane {
namespace {

// A reading in any form the number rule takes is the same reading: the plain forms that are
// converted where they stand and the others that take the general route agree. S1 (120, 210)
// solves to (100, 200) with the pures of the quirk files above.
TEST_F(Records, EveryFormOfAReadingReadsTheSame) {
  const std::vector<std::pair<std::string, std::string>> forms = {
      {"120", "210"},
      {"120.", "210.0"},
      {"+120", "0210"},
      {" 120", "210 "},
      {"1.2e2", "2.1E+2"},
      {"12 0", "2 10"},
      {"120.000000", "210"},
      {"120", "210\t"},
      {"000000000000000000120", "210"},
      {"120.00000000000000000000001", "210"}};
  for (const auto& [blue, red] : forms) {
    SCOPED_TRACE(blue + " | " + red);
    std::string data =
        Write("forms.fix", CrLf({"Wavelengths\t2", "Color Tube\tBlue\tRed", "P1\t100\t10",
                                 "P2\t20\t200", "S1\t" + blue + "\t" + red}));
    ASSERT_EQ(Flow::Continue, Load(data));
    ASSERT_EQ(Flow::Continue, Analyze());
    std::string text = Read(data + ".scf");
    EXPECT_NE(std::string::npos, text.find(CrLf({"S1\t100.000\t200.000"}))) << text;
    CloseDataset(p);
  }
}

}  // namespace
}  // namespace kolvane
