// F5, F11 and F12 and the poll through which a scan run takes them up.
#include "app/run_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window_fixtures.h"

namespace kolvane {
namespace {

const std::string kLegend = "F5 - Abort   F11 - Pause   F12 - Toggle Display";
const std::string kAborting = "Aborting.  Please Wait.";
const std::string kPaused = "Paused.  Press F11 to Restart.";

struct Running : testing_window::Started {
  Running() { p.InterruptRequested = p.PauseRequested = false; }
  const std::string& Line() const { return p.form.Directions.caption; }
};

TEST(RunKeys, NoRequestMeansTheRunGoesOnWithoutYielding) {
  Running r;
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_EQ(r.host.message_pumps, 0);
}

TEST(RunKeys, AbortQuestionAfterF5OrF11Twice) {
  for (bool twice_f11 : {false, true})
    for (Answer answer : {Answer::No, Answer::Yes}) {
      SCOPED_TRACE(std::string(twice_f11 ? "F11 F11" : "F5") + " answered " +
                   (answer == Answer::Yes ? "Yes" : "No"));
      Running r;
      if (twice_f11) {
        Form_KeyDown(r.p, kKeyF11, 0);
        Form_KeyDown(r.p, kKeyF11, 0);
        EXPECT_EQ(r.Line(), kLegend);
      } else {
        Form_KeyDown(r.p, kKeyF5, 1);  // the shift state does not matter
        EXPECT_EQ(r.Line(), kAborting) << "a fixed run, which does not poll, shows only this";
      }
      EXPECT_TRUE(r.p.InterruptRequested);
      EXPECT_FALSE(r.p.PauseRequested);
      r.host.QueueAnswer(answer);
      EXPECT_EQ(CheckRunInterrupt(r.p), answer == Answer::Yes);
      EXPECT_EQ(r.host.questions, std::vector<std::string>{"Do you want to abort the current run"});
      EXPECT_EQ(r.host.message_pumps, 0) << "an abort question does not pause";
      EXPECT_EQ(r.Line(), kLegend);
      EXPECT_FALSE(r.p.InterruptRequested || r.p.PauseRequested);
      EXPECT_FALSE(CheckRunInterrupt(r.p)) << "the next poll finds nothing to do";
      EXPECT_EQ(r.host.questions.size(), 1u);
    }
}

TEST(RunKeys, PauseWaitsUntilF11AndIgnoresF5) {
  Running r;
  Form_KeyDown(r.p, kKeyF11, 0);
  EXPECT_TRUE(r.p.InterruptRequested && r.p.PauseRequested);
  EXPECT_EQ(r.Line(), "Pausing.  Please Wait.");

  std::vector<std::string> lines_seen;
  const bool display_at_start = r.p.DisplayOn;
  r.host.on_messages = [&](int pump) {
    lines_seen.push_back(r.Line());
    if (pump == 1) {
      EXPECT_FALSE(r.p.InterruptRequested) << "the pause has been taken";
      EXPECT_TRUE(r.p.PauseRequested);
      Form_KeyDown(r.p, kKeyF5, 0);  // no effect while paused
      EXPECT_FALSE(r.p.InterruptRequested);
    }
    if (pump == 2) Form_KeyDown(r.p, kKeyF12, 0);  // the display still toggles
    if (pump == 4) Form_KeyDown(r.p, kKeyF11, 0);  // resume
  };
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_EQ(lines_seen, std::vector<std::string>(4, kPaused));
  EXPECT_EQ(r.p.DisplayOn, !display_at_start);
  EXPECT_EQ(r.Line(), kLegend);
  EXPECT_FALSE(r.p.InterruptRequested || r.p.PauseRequested);
  EXPECT_TRUE(r.host.questions.empty());
}

TEST(RunKeys, F12TogglesTheDisplayAndOtherKeysDoNothing) {
  Running r;
  const std::string line = r.Line();
  for (int key : {13, 27, 65, 115, 117, 121, 124}) Form_KeyDown(r.p, key, 0);
  EXPECT_TRUE(r.p.DisplayOn);
  Form_KeyDown(r.p, kKeyF12, 0);
  EXPECT_FALSE(r.p.DisplayOn);
  Form_KeyDown(r.p, kKeyF12, 0);
  EXPECT_TRUE(r.p.DisplayOn);
  EXPECT_FALSE(r.p.InterruptRequested || r.p.PauseRequested);
  EXPECT_EQ(r.Line(), line);
}

TEST(RunKeys, ExitWhilePausedEndsTheWaitAtOnce) {
  Running r;
  Form_KeyDown(r.p, kKeyF11, 0);
  r.host.on_messages = [&](int pump) {
    if (pump == 2) Exit_Click(r.p);
  };
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_TRUE(r.p.Ending && r.host.ended);
  EXPECT_EQ(r.host.message_pumps, 2);
}

TEST(RunKeys, AnEndingProgramPollsNothing) {
  Running r;
  Form_KeyDown(r.p, kKeyF5, 0);
  r.p.Ending = true;
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_TRUE(r.host.questions.empty());
}

}  // namespace
}  // namespace kolvane
