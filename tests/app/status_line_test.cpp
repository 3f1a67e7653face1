// The status line's words for each ending of a run (a plain complete run, an aborted one and
// the title bar: tests/dispatch/window_status_test.cpp).
#include "app/status_line.h"

#include <gtest/gtest.h>

#include "window_fixtures.h"

namespace kolvane {
namespace {

TEST(StatusLine, WordsForEachEndingOfARun) {
  struct Case {
    bool completed, aborted;
    long written, total;
    const char* reason;
    const char* expected;
    const char* folder;
  } cases[] = {
      {true, false, 1, 1, "", "1 record written to /data/x.fix.scf", "/data"},
      {false, true, 13249, 20013, "",
       "Aborted: 13 249 of 20 013 records written to /data/x.fix.scf", ""},
      {false, false, 7, 9, "Error in Partial Pivoting.  Analysis ending.",
       "The run stopped: Error in Partial Pivoting.  Analysis ending.", ""},
      {false, false, 0, 9, "", "The run stopped before the end of its data.", ""},
  };
  for (const Case& c : cases) {
    testing_window::Started s;
    s.p.RunCompleted = c.completed;
    s.p.LastRun = {c.aborted, c.reason, c.written, c.total, "/data/x.fix.scf"};
    ShowRunOutcome(s.p);
    EXPECT_EQ(s.p.form.StatusLine.caption, c.expected);
    EXPECT_EQ(s.p.form.StatusFolder, c.folder) << c.expected;
  }
  EXPECT_EQ(GroupedCount(1234567), "1 234 567");
  EXPECT_EQ(GroupedCount(100), "100");
}

}  // namespace
}  // namespace kolvane
