// How the fixed-wavelength files are read: the records whatever their line ends and number
// forms, the counts of the load, the header, the first group of blanks, the matrix file.
#include <gtest/gtest.h>

#include "fixed/blanks_controls.h"
#include "fixed/header.h"
#include "fixed_fixture.h"

namespace kolvane {
namespace {

class Readers : public FixedFixture {};

// Pures Blue (100, 10) and Red (20, 200) give [[1, 0.1], [0.1, 1]]; (b, r) solves to
// ((b - 0.1 r), (r - 0.1 b)) / 0.99: S1 (120, 210) -> (100, 200), S2 (50, 40) -> (46.4646..,
// 35.3535..). Every quirk file holds this dataset; every form of a reading reads the same.
TEST_F(Readers, QuirkFilesAndNumberFormsReadTheSameRecords) {
  const std::string two_samples =
      CrLf({"Sample/Color\tBlue\tRed", "P1\t100.000\t0.000", "P2\t0.000\t200.000",
            "S1\t100.000\t200.000", "S2\t46.465\t35.354"});
  std::vector<std::pair<std::string, std::string>> files;  // path, expected tail
  for (const char* name : {"cr_lf_line_ends.fix", "lf_line_ends.fix", "cr_only_line_ends.fix",
                           "no_final_line_end.fix", "empty_lines_between_records.fix",
                           "surplus_fields_and_trailing_tabs.fix", "auto_delivery_field.fix"})
    files.push_back({std::string(KOLVANE_TEST_DATA) + "/fixed/" + name, two_samples});
  int i = 0;
  for (const char* s1 :
       {"120\t210", "120.\t210.0", "+120\t0210", " 120\t210 ", "1.2e2\t2.1E+2", "12 0\t2 10",
        "120.000000\t210\t", "000000000000000000120\t210", "120.00000000000000000000001\t210"})
    files.push_back(
        {Write("f" + std::to_string(++i) + ".fix",
               kTwoColors + CrLf({"P1\t100\t10", "P2\t20\t200", std::string("S1\t") + s1})),
         "S1\t100.000\t200.000\r\n"});
  for (const auto& [path, tail] : files) {
    SCOPED_TRACE(path);
    ASSERT_EQ(Flow::Continue, Load(path, "", "", Path("out.scf")));
    EXPECT_EQ(tail == two_samples ? "2" : "1", p.form.Samples.caption);
    EXPECT_EQ("2", p.form.PureStat.caption);
    ASSERT_EQ(Flow::Continue, Analyze());
    const std::string text = Read(Path("out.scf"));
    EXPECT_EQ(tail, text.substr(text.size() - std::min(text.size(), tail.size())));
  }
}

// The load counts the fields of a line instead of converting them, and must accept what the
// run accepts.
TEST_F(Readers, LoadCountsWhatTheRunAccepts) {
  const std::string auto_head = CrLf({"Delivery\tAuto", "Wavelengths\t2", "Color Tube\tBlue\tRed",
                                      "P1\t7\t100\t0", "P2\t7\t0\t100"});
  const std::string ok = kTwoColors + kTwoPures;
  struct Case {
    std::string fix;
    int pures, samples;
  } cases[] = {
      {ok + CrLf({"S1\t1\t1\t1e999", "S2\t1\t1\t1" + std::string(399, '0')}), 2,
       2},  // surplus fields
      {ok + CrLf({"S1\t2.5e2\t1E-3", "S2\t1\t", "S3\t1\t1" + std::string(299, '0')}), 2, 3},
      {ok + CrLf({"", "X1\t1\t1", "  ", "S0012\t1\t1", "S-3\t1\t1", "s2\t1\t1", "B3\t1\t1"}), 2, 2},
      {auto_head + CrLf({"S1\t3\t1\t1", "S2\t3\t1\t1\t9"}), 2, 2},
      {ok + CrLf({"S32767\t1\t1", "S-32768\t1\t1", "S09999\t1\t1"}), 2, 3},
      {ok + Repeat("S1\t1\t1\r\n", 32767), 2, 32767},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.samples);
    EXPECT_EQ(Flow::Continue, Load(Write("d.fix", c.fix)));
    EXPECT_EQ(c.pures, p.NumPures);
    EXPECT_EQ(c.samples, p.NumSamples);
    EXPECT_EQ(std::to_string(c.samples), p.form.Samples.caption);
    p.channels.CloseAll();
    CloseDataset(p);
  }
}

// Headers parsed one after the other by the same program: nothing of an earlier one survives.
TEST_F(Readers, HeaderValuesColorLineAndDeliveryCut) {
  struct Case {
    std::string text;
    int colors, pures;
    float solvent;
    std::vector<std::string> captions;
    bool auto_delivery;
    const char* ex_wl;
  } cases[] = {
      {CrLf({"Run of 3 May", "Pures\t2", "Wavelengths\t2", "Amount of solvent\t3.5",
             "Delivery\tAuto", "ex wl\t1\t495\t534", "Color Tube\tViolet\tTissue"}),
       2,
       2,
       3.5f,
       {"Violet", "Tissue"},
       true,
       "ex wl\t495\t534"},
      {CrLf({"Wavelengths\t2", "Color\tBlue"}), 2, 0, 2.0f, {"Color", "Blue"}, false, ""},
      {CrLf({"ex wl\t1\t495\t534", "Delivery\tAuto", "Wavelengths\t4", "Color Tube\tBlue\t Red "}),
       4,
       0,
       2.0f,
       {"Blue", "Red", "Red", "Red"},
       true,
       "ex wl\t1\t495\t534"},
      {CrLf({"Pures and Wavelengths\t3", "Delivery\tManual", "ex wl\t1\t495\t534",
             "Color Tube\ta\tb\tc"}),
       3,
       3,
       2.0f,
       {"a", "b", "c"},
       false,
       "ex wl\t1\t495\t534"},
      {CrLf({"Delivery\tAuto", "ex wl\t495", "Wavelengths\t2", "Color Tube\tA\tB"}),
       2,
       0,
       2.0f,
       {"A", "B"},
       true,
       "ex wl\t495"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    p.channels.CloseAll();
    ASSERT_TRUE(p.channels.In(Channels::kData).Open(Write("h.fix", c.text + CrLf({"P1\t1\t2"}))));
    ASSERT_EQ(Flow::Continue, ReadDataFileHeader(p, true, false));
    EXPECT_EQ(c.colors, p.NumColors);
    EXPECT_EQ(c.pures, p.HeaderPureCount);
    EXPECT_FLOAT_EQ(c.solvent, p.SolventAmount);
    EXPECT_EQ(c.auto_delivery, p.fixed.AutoDelivery);
    EXPECT_EQ(c.ex_wl, p.fixed.WavelengthLines[2]);
    EXPECT_EQ(c.captions.back() == "Tissue", p.TissueInFile && p.TissueColumn);
    for (int i = 1; i <= kMaxColors; ++i) {
      const bool used = i <= c.colors;
      EXPECT_EQ(used, p.ColorSelected[i] && p.form.Color[i].ticked) << i;
      if (!used) continue;
      const std::string& name = c.captions[static_cast<std::size_t>(i - 1)];
      EXPECT_EQ(name, p.form.Color[i].caption) << i;
      EXPECT_EQ(name == "Tissue" ? kBlue : kBlack, p.form.Color[i].text_color) << i;
    }
    std::string line;  // the next read is the first body record
    p.channels.In(Channels::kData).ReadLine(line);
    EXPECT_EQ("P1\t1\t2", line);
  }
}

// Each colour is sorted by itself; an earlier dataset's background never survives.
TEST_F(Readers, BlanksFirstGroupMedianAndLaterRecords) {
  const int none = FixedTables::kNoRecord;
  struct Case {
    std::string records;
    double median1, median2;
    int count, next_index, next_start;
  } cases[] = {
      {CrLf({"B1\t5\t30", "B1\t9\t10", "B1\t7\t20"}), 7, 20, 3, none, none},
      {CrLf({"B1\t5\t30", "B1\t9\t10", "B1\t7\t20", "B1\t3\t40"}), 6, 25, 4, none, none},
      {CrLf({"B1\t-2\t0", "B1\t4\t0"}), 1, 0, 2, none, none},
      {CrLf({"B1\t5\t1", "", "B1\t7\t1", "B5\t1\t1", "B9\t2\t1", ""}), 6, 1, 4, 3, 5},
      {CrLf({"B2.5\t5\t5", "B3.5\t9\t9"}), 0, 0, 2, 1, 2},  // none numbered 1; 2.5 rounds to 2
      {"", 0, 0, 0, none, none},                            // heading lines only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records);
    p.fixed.SampleBackground[1] = p.fixed.PureBackground[1] = 55;
    p.BlanksPresent = p.BackgroundOn = true;
    p.channels.CloseAll();
    p.NumColors = 2;
    ASSERT_TRUE(p.channels.In(Channels::kBlanks).Open(Write("b.blk", kBlankHead + c.records)));
    ASSERT_EQ(Flow::Continue, ReadBlanksFile(p));
    EXPECT_EQ(c.count, p.NumBlanks);
    EXPECT_EQ(c.median1, p.fixed.SampleBackground[1]);
    EXPECT_EQ(c.median1, p.fixed.PureBackground[1]);
    EXPECT_EQ(c.median2, p.fixed.SampleBackground[2]);
    EXPECT_EQ(c.next_index, p.fixed.NextBlankIndex);
    EXPECT_EQ(c.next_start, p.fixed.NextBlankStart);
    EXPECT_EQ(c.count > 0, p.BackgroundOn && p.BlanksPresent);
  }
}

// A number ends at a TAB or a blank ("1 99" is not 199); a malformed file leaves the matrix in
// force and says which line is wrong.
TEST_F(Readers, MatrixFile) {
  const std::string good = CrLf({"100\t5\t1", "2\t100\t8", "0\t3\t100"});
  const std::string unchanged = "  The spillover matrix was not changed.";
  struct Case {
    std::string text, message;  // %m: the file's path; no message: read as `good`
  } cases[] = {
      {good, ""},
      {CrLf({"100   5  1", "2 100      8", "0 3 100"}), ""},
      {CrLf({"  100\t5\t1", "\t 2\t100\t8", "   0   3   100"}), ""},
      {CrLf({"100 5 1 99", "2\t100\t8\t77", "0 3 100", "9 9 9"}), ""},
      {"100\t5\t1\n2\t100\t8\n0\t3\t100", ""},
      {CrLf({"100\t0\t0", "0\t100\t0"}), "The spillover matrix file %m has fewer than 3 lines."},
      {CrLf({"100\t0\t0", "0\t100", "0\t0\t100"}),
       "Line 2 of the spillover matrix file %m has fewer than 3 numbers."},
      {CrLf({"100\t0\t0", "", "0\t0\t100"}),
       "Line 2 of the spillover matrix file %m has fewer than 3 numbers."},
      {CrLf({"100,0,0", "0\t100\t0", "0\t0\t100"}),
       "Line 1 of the spillover matrix file %m holds a comma; numbers must be separated by TABs or "
       "blanks."},
      {CrLf({"100\t0\t0", "0\t100\t0", "0\t0,5\t100"}),
       "Line 3 of the spillover matrix file %m holds a comma; numbers must be separated by TABs or "
       "blanks."},
  };
  const std::string data =
      Write("n.fix", CrLf({"Pures\t0", "Wavelengths\t3", "Color Tube\tA\tB\tC", "S1\t1\t1\t1"}));
  host.ExpectMessage(kNoPuresMessage);
  ASSERT_EQ(Flow::Continue, Load(data));
  host.ExpectMessage("The spillover matrix file " + Path("m.spl") + " has fewer than 3 lines." +
                     unchanged);
  EXPECT_EQ(Flow::Stop, ReadMatrix("100\t0\t0\r\n"));
  EXPECT_FALSE(p.MatrixReady || p.MatrixFromFile);  // without an earlier matrix, none
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    host.QueueFile(Write("good.spl", good));
    ASSERT_EQ(Flow::Continue, Spillover_Click(p));
    if (!c.message.empty())
      host.ExpectMessage(ReplaceAll(c.message, "%m", Path("m.spl")) + unchanged);
    EXPECT_EQ(c.message.empty() ? Flow::Continue : Flow::Stop, ReadMatrix(c.text));
    const double rows[4][4] = {{}, {0, 1.0, 0.05, 0.01}, {0, 0.02, 1.0, 0.08}, {0, 0, 0.03, 1.0}};
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(rows[i][j], p.SpillMatrix[i][j]) << i << j;
    EXPECT_TRUE(p.MatrixReady && p.MatrixFromFile);
    EXPECT_EQ(Path(c.message.empty() ? "m.spl" : "good.spl"), p.MatrixFileName);
    EXPECT_FALSE(p.channels.In(Channels::kMatrix).IsOpen());
  }
  host.QueueFile("");  // cancelled: the earlier file stays
  EXPECT_EQ(Flow::Stop, Spillover_Click(p));
  EXPECT_EQ(Path("good.spl"), p.MatrixFileName);
}

}  // namespace
}  // namespace kolvane
