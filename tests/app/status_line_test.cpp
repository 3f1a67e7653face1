// The status line's words for each ending of a run (a plain complete run, an aborted one and
// the title bar: tests/dispatch/window_status_test.cpp).
#include "app/status_line.h"

#include <gtest/gtest.h>

#include "window_fixtures.h"

namespace kolvane {
namespace {

TEST(StatusLine, WordsForEachEndingOfARun) {
  // A run that did not complete names the file its lines are in, and the results file only
  // when it stays as it was.
  struct Case {
    RunEnd end;
    long written, total;
    const char* reason;
    const char* incomplete;
    const char* expected;
    const char* folder;
  } cases[] = {
      {RunEnd::Complete, 1, 1, "", "", "1 record written to /data/x.fix.scf", "/data"},
      {RunEnd::Aborted, 13249, 20013, "", "/data/x.fix.incomplete.scf",
       "Aborted: 13 249 of 20 013 records written to /data/x.fix.incomplete.scf", "/data"},
      {RunEnd::Aborted, 0, 20013, "", "",
       "Aborted: no record was written; /data/x.fix.scf is unchanged.", ""},
      {RunEnd::Stopped, 7, 9, "Error in Partial Pivoting.  Analysis ending.",
       "/data/x.fix.incomplete.scf",
       "The run stopped: Error in Partial Pivoting.  Analysis ending.  7 of 9 records written "
       "to /data/x.fix.incomplete.scf",
       "/data"},
      {RunEnd::Stopped, 0, 9, "", "", "The run stopped before the end of its data.", ""},
  };
  for (const Case& c : cases) {
    testing_window::Started s;
    s.p.ledger.results = "/data/x.fix.scf";
    s.p.ledger.end = c.end;
    s.p.ledger.lines_written = c.written;
    s.p.ledger.lines_expected = c.total;
    s.p.ledger.message = c.reason;
    s.p.ledger.incomplete = c.incomplete;
    ShowRunOutcome(s.p);
    EXPECT_EQ(s.p.form.StatusLine.caption, c.expected);
    EXPECT_EQ(s.p.form.StatusFolder, c.folder) << c.expected;
  }
  EXPECT_EQ(GroupedCount(1234567), "1 234 567");
  EXPECT_EQ(GroupedCount(100), "100");
}

}  // namespace
}  // namespace kolvane
