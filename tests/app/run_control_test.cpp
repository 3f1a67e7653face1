// F5, F11 and F12, and the poll through which a scan run takes them up.
#include "app/run_control.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/table.h"
#include "window_fixtures.h"

namespace kolvane {
namespace {

const std::string kLegend = "F5 - Abort   F11 - Pause   F12 - Toggle Display";
const std::string kAsk = "Do you want to abort the current run?";

struct Running : testing_window::Started {
  Running() { p.InterruptRequested = p.PauseRequested = false; }
  std::string& Line() { return p.form.Directions.caption; }
  void Press(const std::vector<int>& keys) {
    for (int key : keys) Form_KeyDown(p, key, key % 2);  // the shift state does not matter
  }
};

TEST(RunKeys, KeySequencesAndThePollAfterThem) {
  for (const TableRow& c : ReadTable("app/run_keys.tsv")) {
    SCOPED_TRACE(c[0]);
    std::vector<int> keys;
    std::istringstream names(c[0]);
    for (std::string k; names >> k;)
      keys.push_back(k == "F5"    ? kKeyF5
                     : k == "F11" ? kKeyF11
                     : k == "F12" ? kKeyF12
                                  : std::stoi(k));
    const bool asked = c[3] == "yes", aborted = c[4] == "yes";
    Running r;
    const std::string start = r.Line();
    r.Press(keys);
    EXPECT_TRUE(r.p.InterruptRequested == asked && !r.p.PauseRequested);
    EXPECT_EQ(r.p.DisplayOn, c[1] == "on");
    EXPECT_EQ(r.Line(), c[2].empty() ? start : c[2]);
    if (asked) r.host.QueueAnswer(aborted ? Answer::Yes : Answer::No);
    EXPECT_EQ(CheckRunInterrupt(r.p), aborted);
    EXPECT_EQ(r.host.questions, std::vector<std::string>(asked, kAsk));
    EXPECT_EQ(r.Line(), asked ? kLegend : start);
    EXPECT_FALSE(r.p.InterruptRequested || r.p.PauseRequested);
    EXPECT_EQ(r.host.message_pumps, 0) << "only a pause waits";
  }
}

TEST(RunKeys, PauseWaitsUntilF11IgnoringF5ButNotF12) {
  Running r;
  const std::string f11_first = "Paused.  Press F11 to Restart first, then F5 to Abort.";
  r.Press({kKeyF11, kKeyF5});  // no abort while a pause is asked for: F11 first
  EXPECT_EQ(r.Line(), f11_first);
  std::vector<std::string> lines_seen;
  r.host.on_messages = [&](int pump) {
    lines_seen.push_back(r.Line());
    EXPECT_FALSE(r.p.InterruptRequested) << "the pause has been taken";
    r.Press({pump == 1 ? kKeyF5 : pump == 2 ? kKeyF12 : pump == 4 ? kKeyF11 : 0});
  };
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_EQ(lines_seen, (std::vector<std::string>{"Paused.  Press F11 to Restart.", f11_first,
                                                  f11_first, f11_first}));
  EXPECT_FALSE(r.p.DisplayOn);
  EXPECT_EQ(r.Line(), kLegend);
  EXPECT_FALSE(r.p.InterruptRequested || r.p.PauseRequested);
  // Exit while paused ends the wait at once; an ending program polls nothing.
  r.Press({kKeyF11});
  r.host.on_messages = [&](int pump) {
    if (pump == 6) Exit_Click(r.p);
  };
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_TRUE(r.p.Ending && r.host.ended);
  EXPECT_EQ(r.host.message_pumps, 6);
  r.Press({kKeyF11, kKeyF5});
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_TRUE(r.host.questions.empty());
}

}  // namespace
}  // namespace kolvane
