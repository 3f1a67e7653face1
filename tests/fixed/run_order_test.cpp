// The run reads records ahead of writing them; what it writes and says must not show it: the
// lines of every record before one that stops the run are written, none after, whichever
// place the stopping record takes.
#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class RunOrder : public FixedFixture {};

TEST_F(RunOrder, LinesUpToTheRecordThatStopsTheRun) {
  // Pures that spill half into each other: S = (1.7e308, -1.7e308) eliminates to an infinite
  // first result, while the other samples solve to ordinary numbers.
  for (int stop = 1; stop <= 5; ++stop) {
    SCOPED_TRACE(stop);
    std::string body = CrLf({"P1\t100\t50", "P2\t50\t100"});
    for (int s = 1; s <= 5; ++s)
      body += "S" + std::to_string(s) + (s == stop ? "\t1.7e308\t-1.7e308\r\n" : "\t30\t30\r\n");
    std::string data = Write("d" + std::to_string(stop) + ".fix", kTwoColors + body);
    ASSERT_EQ(Flow::Continue, Load(data));
    host.ExpectMessage("The results of record S" + std::to_string(stop) +
                       " are too large to be written.  Analysis ending.");
    EXPECT_EQ(Flow::Stop, Analyze());
    const std::string text = Read(data + ".scf");
    EXPECT_NE(std::string::npos, text.find("\r\nP1\t")) << text;
    EXPECT_NE(std::string::npos, text.find("\r\nP2\t")) << text;
    for (int s = 1; s <= 5; ++s) {
      // 30 = x + 0.5 x for both colours: x = 20.
      const std::string line = "\r\nS" + std::to_string(s) + "\t20.000\t20.000\r\n";
      EXPECT_EQ(s < stop, text.find(line) != std::string::npos) << s << "\n" << text;
    }
    EXPECT_FALSE(p.RunCompleted);
    p.channels.CloseAll();
    CloseDataset(p);
  }
}

TEST_F(RunOrder, OddAndEvenNumbersOfRecordsAllWritten) {
  for (int count = 0; count <= 5; ++count) {
    SCOPED_TRACE(count);
    std::string body = CrLf({"P1\t100\t0", "P2\t0\t100"});
    for (int s = 1; s <= count; ++s)
      body += "S" + std::to_string(s) + "\t" + std::to_string(s) + "\t" + std::to_string(2 * s) +
              "\r\n";
    body += "X9\t1\t1\r\n";  // another type: no line, still read
    std::string data = Write("e" + std::to_string(count) + ".fix", kTwoColors + body);
    ASSERT_EQ(Flow::Continue, Load(data));
    EXPECT_EQ(Flow::Continue, Analyze());
    const std::string text = Read(data + ".scf");
    std::string expected = "P1\t100.000\t0.000\r\nP2\t0.000\t100.000\r\n";
    for (int s = 1; s <= count; ++s)
      expected += "S" + std::to_string(s) + "\t" + std::to_string(s) + ".000\t" +
                  std::to_string(2 * s) + ".000\r\n";
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(expected, text.substr(text.size() - expected.size())) << text;
    EXPECT_TRUE(p.RunCompleted);
    p.channels.CloseAll();
    CloseDataset(p);
  }
}

}  // namespace
}  // namespace kolvane
