// The matrix file: how its lines and numbers are read and what is refused. Runs with a matrix
// from a file are in the results-file cases.
#include "app/matrix_file.h"

#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

const std::string kGood = CrLf({"100\t5\t1", "2\t100\t8", "0\t3\t100"});

class MatrixFile : public FixedFixture {
 protected:
  // A loaded three-colour dataset without pures (Blue, Green, Red).
  void LoadWithoutPures() {
    std::string data =
        Write("nopures.fix",
              CrLf({"Pures\t0", "Wavelengths\t3", "Color Tube\tBlue\tGreen\tRed", "S1\t1\t1\t1"}));
    host.ExpectMessage(kNoPuresMessage);
    ASSERT_EQ(Flow::Continue, Load(data));
    ASSERT_FALSE(p.MatrixReady);
  }
  Flow ReadMatrixAs(const std::string& name, const std::string& text) {
    host.QueueFile(Write(name, text));
    return Spillover_Click(p);
  }
  // The matrix of kGood is in force, marked as read from `name`.
  void ExpectGoodMatrix(const std::string& name) {
    const double rows[4][4] = {{}, {0, 1.0, 0.05, 0.01}, {0, 0.02, 1.0, 0.08}, {0, 0, 0.03, 1.0}};
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_DOUBLE_EQ(rows[i][j], p.SpillMatrix[i][j]) << i << j;
    EXPECT_TRUE(p.MatrixReady);
    EXPECT_TRUE(p.MatrixFromFile);
    EXPECT_EQ(Path(name), p.MatrixFileName);
  }
};

// A number ends at a TAB or a blank, also in the last column: "1 99" is not 199.
TEST_F(MatrixFile, SeparatorsReadAlike) {
  struct Case {
    const char* name;
    std::string text;
  } cases[] = {
      {"tabs", kGood},
      {"blanks", CrLf({"100   5  1", "2 100      8", "0 3 100"})},
      {"leading blanks and tabs", CrLf({"  100\t5\t1", "\t 2\t100\t8", "   0   3   100"})},
      {"surplus numbers and lines", CrLf({"100 5 1 99", "2\t100\t8\t77", "0 3 100", "9 9 9"})},
      {"lf only", "100\t5\t1\n2\t100\t8\n0\t3\t100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadWithoutPures();
    ASSERT_EQ(Flow::Continue, ReadMatrixAs("m.spl", c.text));
    ExpectGoodMatrix("m.spl");
    CloseIt_Click(p);
  }
}

// Read into a temporary and committed only when whole.
TEST_F(MatrixFile, MalformedFilesLeaveTheMatrixInForce) {
  struct Case {
    const char* name;
    std::string text;
    std::string before, after;  // the message around the file's name
  } cases[] = {
      {"two lines", CrLf({"100\t0\t0", "0\t100\t0"}), "The spillover matrix file ",
       " has fewer than 3 lines."},
      {"short line", CrLf({"100\t0\t0", "0\t100", "0\t0\t100"}),
       "Line 2 of the spillover matrix file ", " has fewer than 3 numbers."},
      {"empty line", CrLf({"100\t0\t0", "", "0\t0\t100"}), "Line 2 of the spillover matrix file ",
       " has fewer than 3 numbers."},
      {"comma", CrLf({"100,0,0", "0\t100\t0", "0\t0\t100"}), "Line 1 of the spillover matrix file ",
       " holds a comma; numbers must be separated by TABs or blanks."},
      {"decimal comma", CrLf({"100\t0\t0", "0\t100\t0", "0\t0,5\t100"}),
       "Line 3 of the spillover matrix file ",
       " holds a comma; numbers must be separated by TABs or blanks."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadWithoutPures();
    ASSERT_EQ(Flow::Continue, ReadMatrixAs("good.spl", kGood));
    host.ExpectMessage(c.before + Path("bad.spl") + c.after +
                       "  The spillover matrix was not changed.");
    EXPECT_EQ(Flow::Stop, ReadMatrixAs("bad.spl", c.text));
    ExpectGoodMatrix("good.spl");
    EXPECT_FALSE(p.channels.In(Channels::kMatrix).IsOpen());
    CloseIt_Click(p);
  }
  // Without an earlier matrix none is ready afterwards.
  LoadWithoutPures();
  host.ExpectMessage("The spillover matrix file " + Path("m.spl") +
                     " has fewer than 3 lines.  The spillover matrix was not changed.");
  EXPECT_EQ(Flow::Stop, ReadMatrixAs("m.spl", CrLf({"100\t0\t0"})));
  EXPECT_FALSE(p.MatrixReady);
  EXPECT_FALSE(p.MatrixFromFile);
  host.QueueFile(Path("none.spl"));
  host.ExpectMessage("Can't open file: " + Path("none.spl"));
  EXPECT_EQ(Flow::Stop, Spillover_Click(p));
  EXPECT_FALSE(p.MatrixReady);
}

TEST_F(MatrixFile, CancelKeepsTheEarlierFilesMark) {
  LoadWithoutPures();
  ASSERT_EQ(Flow::Continue, ReadMatrixAs("m.spl", kGood));
  host.QueueFile("");
  EXPECT_EQ(Flow::Stop, Spillover_Click(p));
  ExpectGoodMatrix("m.spl");
  ASSERT_EQ(4u + 2u, host.dialogs.size());  // the load's four, then two matrix files
  EXPECT_EQ("Spillover (*.spl)", host.dialogs.back().filters.at(0).description);
}

}  // namespace
}  // namespace kolvane
