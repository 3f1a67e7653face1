// The status line's words for each ending of a run (a plain complete run, an aborted one and
// the title bar: tests/dispatch/window_status_test.cpp).
#include "app/status_line.h"

#include <gtest/gtest.h>

#include "support/table.h"
#include "window_fixtures.h"

namespace kolvane {
namespace {

TEST(StatusLine, WordsForEachEndingOfARun) {
  for (const TableRow& c : ReadTable("app/run_endings.tsv")) {
    SCOPED_TRACE(c[5]);
    testing_window::Started s;
    RunLedger& l = s.p.ledger;
    l.results = "/data/x.fix.scf";
    l.end = c[0] == "complete"  ? RunEnd::Complete
            : c[0] == "aborted" ? RunEnd::Aborted
                                : RunEnd::Stopped;
    l.lines_written = std::stol(c[1]);
    l.lines_expected = std::stol(c[2]);
    l.message = c[3];
    l.incomplete = c[4];
    ShowRunOutcome(s.p);
    EXPECT_EQ(s.p.form.StatusLine.caption, c[5]);
    EXPECT_EQ(s.p.form.StatusFolder, c[6]);
  }
  EXPECT_EQ(GroupedCount(1234567), "1 234 567");
  EXPECT_EQ(GroupedCount(100), "100");
}

}  // namespace
}  // namespace kolvane
