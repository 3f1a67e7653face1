// How the fixed-wavelength files are read, beyond what the golden datasets show: the counts
// the load shows, the header values the results do not echo, and
// the matrix file.
#include <gtest/gtest.h>

#include "fixed/header.h"
#include "fixed_fixture.h"
#include "support/table.h"

namespace kolvane {
namespace {

class Readers : public FixedFixture {};

// The quirk files are golden cases; the load takes as many samples as a count can hold.
TEST_F(Readers, LargestSampleCount) {
  ASSERT_EQ(Flow::Continue,
            Load(Write("many.fix", kTwoColors + kTwoPures + Repeat("S1\t1\t1\r\n", 32767))));
  EXPECT_EQ("32767", p.form.Samples.caption);
  EXPECT_EQ("2", p.form.PureStat.caption);
  EXPECT_TRUE(p.form.OFResults_Radio[0].selected && !p.form.OFResults_Radio[1].selected);
}

// Header values that only the window and the scan run use, parsed twice in one program.
TEST_F(Readers, HeaderValuesNotEchoed) {
  for (bool first : {true, false}) {
    p.channels.CloseAll();
    ASSERT_TRUE(
        p.channels.In(Channels::kData)
            .Open(Write("h.fix", first
                                     ? CrLf({"Pures\t2", "Amount of solvent\t3.5", "Wavelengths\t2",
                                             "Color Tube\tViolet\tTissue", "P1\t1\t2"})
                                     : CrLf({"Wavelengths\t1", "Color Tube\tTissue2", "P1\t1"}))));
    ASSERT_EQ(Flow::Continue, ReadDataFileHeader(p, true, false));
    EXPECT_EQ(first ? 2 : 0, p.HeaderPureCount);
    EXPECT_FLOAT_EQ(first ? 3.5f : 2.0f, p.SolventAmount);
    EXPECT_EQ(first, p.TissueInFile && p.TissueColumn && p.ColorIsTissue[2]);
    EXPECT_FALSE(p.ColorIsTissue[1]);  // "Violet", then "Tissue2": not the tissue column
    EXPECT_EQ(!first, p.ColorSelected[1] && !p.ColorSelected[2]);
    std::string line;  // the next read is the first body record
    p.channels.In(Channels::kData).ReadLine(line);
    EXPECT_EQ(first ? "P1\t1\t2" : "P1\t1", line);
  }
}

// The files of tests/data/fixed/matrix_files.tsv, each read over a good one.
TEST_F(Readers, MatrixFile) {
  const std::string good = CrLf({"100\t5\t1", "2\t100\t8", "0\t3\t100"});
  const std::string unchanged = "  The spillover matrix was not changed.";
  host.ExpectMessage(kNoPuresMessage);
  ASSERT_EQ(Flow::Continue,
            Load(Write("n.fix", CrLf({"Wavelengths\t3", "Color Tube\tA\tB\tC", "S1\t1\t1\t1"}))));
  host.ExpectMessage("The spillover matrix file " + Path("m.spl") + " has fewer than 3 lines." +
                     unchanged);
  EXPECT_EQ(Flow::Stop, ReadMatrix("100\t0\t0\r\n"));
  EXPECT_FALSE(p.MatrixReady || p.MatrixFromFile);  // without an earlier matrix, none
  for (const TableRow& c : ReadTable("fixed/matrix_files.tsv")) {
    SCOPED_TRACE(c[0]);
    host.QueueFile(Write("good.spl", good));
    ASSERT_EQ(Flow::Continue, Spillover_Click(p));
    if (!c[1].empty()) host.ExpectMessage(ReplaceAll(c[1], "%m", Path("m.spl")) + unchanged);
    EXPECT_EQ(c[1].empty() ? Flow::Continue : Flow::Stop, ReadMatrix(c[0]));
    const double rows[4][4] = {{}, {0, 1.0, 0.05, 0.01}, {0, 0.02, 1.0, 0.08}, {0, 0, 0.03, 1.0}};
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(rows[i][j], p.SpillMatrix[i][j]) << i << j;
    EXPECT_TRUE(p.MatrixReady && p.MatrixFromFile);
    EXPECT_EQ(Path(c[1].empty() ? "m.spl" : "good.spl"), p.MatrixFileName);
    EXPECT_FALSE(p.channels.In(Channels::kMatrix).IsOpen());
  }
  host.QueueFile("");  // cancelled: the earlier file stays
  EXPECT_EQ(Flow::Stop, Spillover_Click(p));
  EXPECT_EQ(Path("good.spl"), p.MatrixFileName);
}

}  // namespace
}  // namespace kolvane
