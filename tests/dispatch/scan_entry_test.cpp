// The microspheres/ml boxes at Analyze: a bad entry in the last pure's box alone refuses the
// run with the focus on that box, and the dataset stays loaded for a corrected entry.
#include <gtest/gtest.h>

#include <tuple>

#include "dispatch/commands.h"
#include "synch/scan_fixture.h"

namespace kolvane {
namespace {

using namespace scantest;

TEST_F(ScanTest, BadEntryInTheLastPuresBoxRefusesTheRun) {
  for (const char* entry : {"-5", "abc"}) {
    ASSERT_EQ(Load(Golden("three_adjacent_pures", "three.syn"), "", PathOf("r.scf")),
              Flow::Continue);
    ChooseMicrospheres();
    SetMicrosPerMlText(p, 3, entry);
    host.ExpectMessage("Entry must be a positive integer");
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Stop);
    EXPECT_EQ(
        std::make_tuple(p.form.focus.control, p.form.focus.index, p.ScanDataLoaded, p.RunCompleted),
        std::make_tuple("MicrosPerMl", 3, true, false));
    SetMicrosPerMlText(p, 3, "250");
    EXPECT_EQ(RunAnalysis_Click(p), Flow::Continue);
    EXPECT_TRUE(p.RunCompleted);
    const Strings lines = Lines(PathOf("r.scf"));  // 8 of header, 15 of head, 6 records
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[12], "3\t250");
    host.messages.clear();
  }
}

}  // namespace
}  // namespace kolvane
