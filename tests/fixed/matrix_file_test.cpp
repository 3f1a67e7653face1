// The matrix file: how its lines and numbers are read, what is refused, and how a run uses a
// matrix from a file.
#include "app/matrix_file.h"

#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class MatrixFile : public FixedFixture {
 protected:
  // A loaded three-colour dataset without pures (Blue, Green, Red).
  void LoadWithoutPures(const std::string& body = CrLf({"S1\t105\t60\t10"})) {
    std::string data = Write(
        "nopures.fix", CrLf({"Pures\t0", "Wavelengths\t3", "Color Tube\tBlue\tGreen\tRed"}) + body);
    host.ExpectMessage(
        "Pure colors missing in file.  Please use New Spillover option to input a spillover "
        "matrix.");
    ASSERT_EQ(Flow::Continue, Load(data));
    ASSERT_FALSE(p.MatrixReady);
  }
  Flow ReadMatrix(const std::string& name, const std::string& text) {
    host.QueueFile(Write(name, text));
    return Spillover_Click(p);
  }
  void ExpectRow(int i, double a, double b, double c) {
    EXPECT_DOUBLE_EQ(a, p.SpillMatrix[i][1]) << "row " << i;
    EXPECT_DOUBLE_EQ(b, p.SpillMatrix[i][2]) << "row " << i;
    EXPECT_DOUBLE_EQ(c, p.SpillMatrix[i][3]) << "row " << i;
  }
};

TEST_F(MatrixFile, SeparatorsReadAlike) {
  struct Case {
    const char* name;
    std::string text;
  } cases[] = {
      {"tabs", CrLf({"100\t5\t1", "2\t100\t8", "0\t3\t100"})},
      {"blanks", CrLf({"100   5  1", "2 100      8", "0 3 100"})},
      {"leading blanks and tabs", CrLf({"  100\t5\t1", "\t 2\t100\t8", "   0   3   100"})},
      {"surplus numbers and lines", CrLf({"100 5 1 99", "2\t100\t8\t77", "0 3 100", "9 9 9"})},
      {"lf only", "100\t5\t1\n2\t100\t8\n0\t3\t100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadWithoutPures();
    ASSERT_EQ(Flow::Continue, ReadMatrix("m.spl", c.text));
    ExpectRow(1, 1.0, 0.05, 0.01);
    ExpectRow(2, 0.02, 1.0, 0.08);
    ExpectRow(3, 0.0, 0.03, 1.0);
    EXPECT_TRUE(p.MatrixReady);
    EXPECT_TRUE(p.MatrixFromFile);
    EXPECT_EQ(Path("m.spl"), p.MatrixFileName);
    CloseIt_Click(p);
  }
}

TEST_F(MatrixFile, ANumberEndsAtABlankEvenInTheLastColumn) {
  LoadWithoutPures();
  ASSERT_EQ(Flow::Continue, ReadMatrix("m.spl", CrLf({"100 5 12 7", "0 100 0", "0 0 100"})));
  EXPECT_DOUBLE_EQ(0.12, p.SpillMatrix[1][3]);
}

TEST_F(MatrixFile, MalformedFilesLeaveTheMatrixInForce) {
  const std::string good = CrLf({"100\t5\t1", "2\t100\t8", "0\t3\t100"});
  struct Case {
    const char* name;
    std::string text;
    std::string message;
  } cases[] = {
      {"two lines", CrLf({"100\t0\t0", "0\t100\t0"}),
       "The spillover matrix file %s has fewer than 3 lines."},
      {"short line", CrLf({"100\t0\t0", "0\t100", "0\t0\t100"}),
       "Line 2 of the spillover matrix file %s has fewer than 3 numbers."},
      {"empty line", CrLf({"100\t0\t0", "", "0\t0\t100"}),
       "Line 2 of the spillover matrix file %s has fewer than 3 numbers."},
      {"comma", CrLf({"100,0,0", "0\t100\t0", "0\t0\t100"}),
       "Line 1 of the spillover matrix file %s holds a comma; numbers must be separated by TABs "
       "or blanks."},
      {"decimal comma", CrLf({"100\t0\t0", "0\t100\t0", "0\t0,5\t100"}),
       "Line 3 of the spillover matrix file %s holds a comma; numbers must be separated by TABs "
       "or blanks."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoadWithoutPures();
    ASSERT_EQ(Flow::Continue, ReadMatrix("good.spl", good));
    std::string message = c.message;
    message.replace(message.find("%s"), 2, Path("bad.spl"));
    host.ExpectMessage(message + "  The spillover matrix was not changed.");
    EXPECT_EQ(Flow::Stop, ReadMatrix("bad.spl", c.text));
    ExpectRow(1, 1.0, 0.05, 0.01);
    ExpectRow(2, 0.02, 1.0, 0.08);
    ExpectRow(3, 0.0, 0.03, 1.0);
    EXPECT_TRUE(p.MatrixReady);
    EXPECT_TRUE(p.MatrixFromFile);
    EXPECT_EQ(Path("good.spl"), p.MatrixFileName);
    EXPECT_FALSE(p.channels.In(Channels::kMatrix).IsOpen());
    CloseIt_Click(p);
  }
}

TEST_F(MatrixFile, ShortFileWithoutEarlierMatrixLeavesNoneReady) {
  LoadWithoutPures();
  host.ExpectMessage("The spillover matrix file " + Path("m.spl") +
                     " has fewer than 3 lines.  The spillover matrix was not changed.");
  EXPECT_EQ(Flow::Stop, ReadMatrix("m.spl", CrLf({"100\t0\t0"})));
  EXPECT_FALSE(p.MatrixReady);
  EXPECT_FALSE(p.MatrixFromFile);
}

TEST_F(MatrixFile, CancelKeepsTheEarlierFilesMark) {
  LoadWithoutPures();
  ASSERT_EQ(Flow::Continue, ReadMatrix("m.spl", CrLf({"100\t5\t1", "2\t100\t8", "0\t3\t100"})));
  host.QueueFile("");
  EXPECT_EQ(Flow::Stop, Spillover_Click(p));
  EXPECT_TRUE(p.MatrixFromFile);
  EXPECT_EQ(Path("m.spl"), p.MatrixFileName);
  EXPECT_TRUE(p.MatrixReady);
  ASSERT_EQ(4u + 2u, host.dialogs.size());  // the load's four, then two matrix files
  EXPECT_EQ("Spillover (*.spl)", host.dialogs.back().filters.at(0).description);
}

TEST_F(MatrixFile, MissingFileIsNamed) {
  LoadWithoutPures();
  host.QueueFile(Path("none.spl"));
  host.ExpectMessage("Can't open file: " + Path("none.spl"));
  EXPECT_EQ(Flow::Stop, Spillover_Click(p));
  EXPECT_FALSE(p.MatrixReady);
}

// Blue and Green with spillover 0.1 both ways, Red alone: S1 (105, 60, 10) solves to
// (100, 50, 10). Intensity levels are never scaled by the entered values.
TEST_F(MatrixFile, RunWithAMatrixFromAFile) {
  LoadWithoutPures();
  SetMicrosPerMlFixText(p, 1, "7");
  ASSERT_EQ(Flow::Continue, ReadMatrix("m.spl", CrLf({"100\t10\t0", "10\t100\t0", "0\t0\t100"})));
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(Path("nopures.fix.scf"));
  EXPECT_NE(std::string::npos,
            text.find(CrLf({"Color\tBlue\tGreen\tRed", "", "", "", "", "",
                            "Spillover Matrix Read from File: " + Path("m.spl"),
                            "Spillover Matrix\tBlue\tGreen\tRed", "Blue\t1.0000\t0.1000\t0.0000",
                            "Green\t0.1000\t1.0000\t0.0000", "Red\t0.0000\t0.0000\t1.0000", "",
                            "Sample/Color\tBlue\tGreen\tRed", "S1\t100.000\t50.000\t10.000"})))
      << text;
}

// Microspheres/ml without pures: the entered values multiply the results.
TEST_F(MatrixFile, MicrospheresWithoutPuresUseTheEntries) {
  LoadWithoutPures();
  ASSERT_EQ(Flow::Continue, ReadMatrix("m.spl", CrLf({"100\t10\t0", "10\t100\t0", "0\t0\t100"})));
  Microspheres({"2", "3", "0.5"});
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(Path("nopures.fix.scf"));
  EXPECT_NE(std::string::npos, text.find("\r\nS1\t200.000\t150.000\t5.000\r\n")) << text;
}

// With Green left out the run's matrix comes from the file's own matrix: Blue and Red with
// spillover 0.2 from Red to Blue. S1 (105, 60, 10) -> Red 10, Blue 105 - 2 = 103.
TEST_F(MatrixFile, ColorLeftOutIsCompactedFromTheFilesMatrix) {
  LoadWithoutPures();
  ASSERT_EQ(Flow::Continue, ReadMatrix("m.spl", CrLf({"100\t10\t0", "10\t100\t0", "20\t0\t100"})));
  Untick(2);
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(Path("nopures.fix.scf"));
  EXPECT_NE(std::string::npos, text.find(CrLf({"Spillover Matrix\tBlue\tRed",
                                               "Blue\t1.0000\t0.0000", "Red\t0.2000\t1.0000", "",
                                               "Sample/Color\tBlue\tRed", "S1\t103.000\t10.000"})))
      << text;
}

// A matrix file read for a dataset that has pures replaces their matrix, also when colours
// are left out.
TEST_F(MatrixFile, FileMatrixReplacesThePuresMatrix) {
  std::string data = Write("pures.fix", CrLf({"Wavelengths\t2", "Color Tube\tBlue\tRed",
                                              "P1\t100\t50", "P2\t50\t100", "S1\t30\t20"}));
  ASSERT_EQ(Flow::Continue, Load(data));
  ASSERT_EQ(Flow::Continue, ReadMatrix("id.spl", CrLf({"100\t0", "0\t100"})));
  ASSERT_EQ(Flow::Continue, Analyze());
  std::string text = Read(data + ".scf");
  EXPECT_NE(std::string::npos, text.find("\r\nS1\t30.000\t20.000\r\n")) << text;
  EXPECT_NE(std::string::npos, text.find("\r\nP1\t100.000\t50.000\r\n")) << text;
}

}  // namespace
}  // namespace kolvane
