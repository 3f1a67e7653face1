// The scan header: the values it sets, the geometry decided from its final values, the echo
// into the results file, the skip mode, and the refusals of headers the tables cannot take.
#include "synch/scan_header.h"

#include <gtest/gtest.h>

#include "base/channels.h"
#include "scan_fixture.h"

namespace kolvane {
namespace {

using namespace scantest;

class ScanHeaderTest : public ScanTest {
 protected:
  Flow Parse(const std::string& header, bool copy = true) {
    p.channels.CloseAll();
    EXPECT_TRUE(p.channels.In(Channels::kData).Open(Write("h.syn", header)));
    EXPECT_TRUE(p.channels.Out(Channels::kResults).Open(PathOf("h.scf")));
    Flow flow = ReadScanHeader(p, copy);
    p.channels.Out(Channels::kResults).Close();
    return flow;
  }
};

struct GeometryCase {
  const char* name;
  const char* items;
  int points;
  bool has350;
  int point350;
};

TEST_F(ScanHeaderTest, GeometryFromTheFinalValues) {
  const GeometryCase cases[] = {
      {"400 to 700 by 2", "Scan lower\t400\nScan upper\t700\nScan data interval\t2\n", 150, false,
       0},
      {"300 by 0.5", "Scan lower\t300\nScan upper\t400\nScan data interval\t0.5\n", 200, true, 101},
      {"from exactly 350", "Scan lower\t350\nScan upper\t700\nScan data interval\t1\n", 350, true,
       1},
      // The interval before the lower limit: the same geometry as in the usual order.
      {"interval first", "Scan data interval\t0.5\nScan upper\t400\nScan lower\t300\n", 200, true,
       101},
      // 350 nm lies beyond the last point (300..338): no tissue value.
      {"ends below 350", "Scan lower\t300\nScan upper\t340\nScan data interval\t2\n", 20, false, 0},
  };
  for (const GeometryCase& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Parse(std::string("Pures\t2\n") + c.items + "Date/Time\tnow\n"), Flow::Continue);
    EXPECT_EQ(p.scan.ScanPoints, c.points);
    EXPECT_EQ(p.scan.ScanHas350, c.has350);
    EXPECT_EQ(p.scan.Point350, c.point350);
  }
}

TEST_F(ScanHeaderTest, ValuesOfTheItems) {
  ASSERT_EQ(Parse("Pures\t2.5\nAmount of solvent\t3.25\nDelivery\tAuto sampler\nScan lower\t"
                  "400\nScan upper\t700\nScan data interval\t2\nDate/Time\tnow\n"),
            Flow::Continue);
  EXPECT_EQ(p.HeaderPureCount, 2);  // 2.5 rounds to the even 2
  EXPECT_EQ(p.NumColors, 2);
  EXPECT_EQ(p.SolventAmount, 3.25f);
  EXPECT_TRUE(p.scan.AutoDelivery);
  EXPECT_FLOAT_EQ(p.scan.PointWavelength[1], 400.0f);
  EXPECT_FLOAT_EQ(p.scan.PointWavelength[150], 698.0f);

  ASSERT_EQ(Parse("Pures\t3.5\nDelivery\tManual\nScan lower\t400\nScan upper\t700\nScan data "
                  "interval\t2\nDate/Time\tnow\n"),
            Flow::Continue);
  EXPECT_EQ(p.HeaderPureCount, 4);  // 3.5 rounds to the even 4
  EXPECT_FALSE(p.scan.AutoDelivery);
  // Items missing from this header are back at their start-up values.
  EXPECT_EQ(p.SolventAmount, 2.0f);
}

TEST_F(ScanHeaderTest, EveryItemIsEchoedOnItsOwnLine) {
  ASSERT_EQ(Parse("Title,\"A, B\"\r\nPures\t1\r\nScan lower\t400\r\nScan upper\t700\r\n"
                  "Scan data interval\t2\r\nDate/Time\t1 Jan\r\nS1 1 2 3\r\n"),
            Flow::Continue);
  EXPECT_EQ(ReadFile(PathOf("h.scf")),
            "This file has been spillover corrected.\r\nTitle\r\nA, B\r\nPures\t1\r\n"
            "Scan lower\t400\r\nScan upper\t700\r\nScan data interval\t2\r\nDate/Time\t1 Jan\r\n");
}

TEST_F(ScanHeaderTest, SkipModeWritesAndChangesNothing) {
  ASSERT_EQ(Parse("Pures\t3\nScan lower\t400\nScan upper\t700\nScan data interval\t2\n"
                  "Date/Time\tnow\n"),
            Flow::Continue);
  ASSERT_EQ(Parse("Pures\t5\nScan lower\t300\nScan upper\t310\nScan data interval\t1\n"
                  "Date/Time\tnow\n",
                  false),
            Flow::Continue);
  EXPECT_EQ(p.HeaderPureCount, 3);
  EXPECT_EQ(p.scan.ScanPoints, 150);
  EXPECT_EQ(ReadFile(PathOf("h.scf")), "");
}

TEST_F(ScanHeaderTest, ByteOrderMarkIsNotPartOfTheFirstItem) {
  std::string bom_file = ReadFile(std::string(KOLVANE_TEST_DATA) + "/scan/bom_at_start.syn");
  ASSERT_EQ(bom_file.compare(0, 3, "\xEF\xBB\xBF"), 0);
  ASSERT_EQ(Parse(bom_file), Flow::Continue);
  std::vector<std::string> lines = Lines(PathOf("h.scf"));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "Pures\t1");
  EXPECT_EQ(p.HeaderPureCount, 1);
}

struct RefusalCase {
  const char* name;
  const char* header;
  const char* message_tail;  // after the file's path
};

TEST_F(ScanHeaderTest, HeadersTheTablesCannotTakeAreRefused) {
  const RefusalCase cases[] = {
      {"no Date/Time", "Pures\t2\nScan lower\t400\nScan upper\t700\nScan data interval\t2\n",
       " has no \"Date/Time\" item: the file cannot be read as a synchronous scan file."},
      {"zero interval", "Pures\t2\nScan lower\t400\nScan upper\t700\nDate/Time\tx\n",
       " is 0: the file cannot be read."},
      {"1001 points",
       "Pures\t2\nScan lower\t300\nScan upper\t1301\nScan data interval\t1\nDate/"
       "Time\tx\n",
       " has 1001 points per record; 1 to 1000 can be read."},
      {"no points",
       "Pures\t2\nScan lower\t300\nScan upper\t300\nScan data interval\t1\nDate/"
       "Time\tx\n",
       " has 0 points per record; 1 to 1000 can be read."},
      {"points beyond 16 bits",
       "Pures\t2\nScan lower\t0\nScan upper\t700\nScan data interval\t0.001\nDate/Time\tx\n",
       " has 700000 points per record; 1 to 1000 can be read."},
      {"31 pures",
       "Pures\t31\nScan lower\t400\nScan upper\t700\nScan data interval\t2\nDate/"
       "Time\tx\n",
       " declares 31 pures; 1 to 30 can be read."},
      {"no pures item", "Scan lower\t400\nScan upper\t700\nScan data interval\t2\nDate/Time\tx\n",
       " declares 0 pures; 1 to 30 can be read."},
      {"pures without a tab",
       "Pures 3\nScan lower\t400\nScan upper\t700\nScan data interval\t2\n"
       "Date/Time\tx\n",
       " declares 0 pures; 1 to 30 can be read."},
      {"pures beyond 16 bits", "Pures\t1e6\nDate/Time\tx\n",
       " declares 1000000 pures; 1 to 30 can be read."},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = PathOf("h.syn");
    std::string prefix = std::string(c.name) == "zero interval" ? "The scan data interval of "
                         : std::string(c.name).find("points") != std::string::npos
                             ? "The scan of "
                             : "The header of ";
    host.ExpectMessage(prefix + path + c.message_tail);
    EXPECT_EQ(Parse(c.header), Flow::Stop);
  }
}

}  // namespace
}  // namespace kolvane
