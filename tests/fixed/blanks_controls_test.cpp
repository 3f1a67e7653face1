// Reading the blanks file on its own: the median of the first group and where the later records
// take over. The effect of blanks and controls on whole runs is in the results-file cases.
#include "fixed/blanks_controls.h"

#include <gtest/gtest.h>

#include "fixed_fixture.h"

namespace kolvane {
namespace {

class BlanksControls : public FixedFixture {
 protected:
  Flow ReadBlanks(const std::string& records) {
    p.channels.CloseAll();
    p.NumColors = 2;
    EXPECT_TRUE(p.channels.In(Channels::kBlanks).Open(Write("b.blk", kBlankHead + records)));
    return ReadBlanksFile(p);
  }
};

// Each colour is sorted by itself; an earlier dataset's background never survives.
TEST_F(BlanksControls, FirstGroupMedianAndLaterRecords) {
  const int none = FixedTables::kNoRecord;
  struct Case {
    std::string records;
    double median1, median2;
    int count, next_index, next_start;
  } cases[] = {
      {CrLf({"B1\t5\t30", "B1\t9\t10", "B1\t7\t20"}), 7, 20, 3, none, none},
      {CrLf({"B1\t5\t30", "B1\t9\t10", "B1\t7\t20", "B1\t3\t40"}), 6, 25, 4, none, none},
      {CrLf({"B1\t42\t-1"}), 42, -1, 1, none, none},
      {CrLf({"B1\t-2\t0", "B1\t4\t0"}), 1, 0, 2, none, none},
      {CrLf({"B1\t5\t1", "", "B1\t7\t1", "B5\t1\t1", "B9\t2\t1", ""}), 6, 1, 4, 3, 5},
      // No record numbered 1: no background; 2.5 rounds to the even 2.
      {CrLf({"B2.5\t5\t5", "B3.5\t9\t9"}), 0, 0, 2, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.records);
    p.fixed.SampleBackground[1] = p.fixed.PureBackground[1] = 55;
    p.BlanksPresent = p.BackgroundOn = true;
    ASSERT_EQ(Flow::Continue, ReadBlanks(c.records));
    EXPECT_EQ(c.count, p.NumBlanks);
    EXPECT_EQ(c.median1, p.fixed.SampleBackground[1]);
    EXPECT_EQ(c.median1, p.fixed.PureBackground[1]);
    EXPECT_EQ(c.median2, p.fixed.SampleBackground[2]);
    EXPECT_EQ(c.next_index, p.fixed.NextBlankIndex);
    EXPECT_EQ(c.next_start, p.fixed.NextBlankStart);
    EXPECT_TRUE(p.BackgroundOn);
  }
  // Heading lines only: background subtraction is turned off.
  ASSERT_EQ(Flow::Continue, ReadBlanks(""));
  EXPECT_EQ(0, p.NumBlanks);
  EXPECT_FALSE(p.BackgroundOn);
  EXPECT_FALSE(p.BlanksPresent);
}

}  // namespace
}  // namespace kolvane
