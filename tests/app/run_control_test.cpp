// F5, F11 and F12 and the poll through which a scan run takes them up.
#include "app/run_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "support/scripted_host.h"

namespace kolvane {
namespace {

const std::string kLegend = "F5 - Abort   F11 - Pause   F12 - Toggle Display";
const std::string kAborting = "Aborting.  Please Wait.";
const std::string kPausing = "Pausing.  Please Wait.";
const std::string kPaused = "Paused.  Press F11 to Restart.";

struct Running {
  ScriptedHost host;
  Program p{host};
  Running() {
    Form_Load(p, 30000, 20000);
    p.InterruptRequested = false;
    p.PauseRequested = false;
  }
  const std::string& Line() const { return p.form.Directions.caption; }
};

TEST(RunKeys, LegendConstantIsTheProgramsText) {
  EXPECT_EQ(kRunKeyLegend, kLegend);
}

TEST(RunKeys, NoRequestMeansTheRunGoesOnWithoutYielding) {
  Running r;
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_EQ(r.host.message_pumps, 0);
}

TEST(RunKeys, F5ThenYesAborts) {
  Running r;
  Form_KeyDown(r.p, kKeyF5, 0);
  EXPECT_TRUE(r.p.InterruptRequested);
  EXPECT_FALSE(r.p.PauseRequested);
  EXPECT_EQ(r.Line(), kAborting);
  r.host.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(CheckRunInterrupt(r.p));
  ASSERT_EQ(r.host.questions.size(), 1u);
  EXPECT_EQ(r.host.questions[0], "Do you want to abort the current run");
  EXPECT_EQ(r.Line(), kLegend);
  EXPECT_FALSE(r.p.InterruptRequested);
  EXPECT_FALSE(r.p.PauseRequested);
}

TEST(RunKeys, F5ThenNoContinuesWithTheLegend) {
  Running r;
  Form_KeyDown(r.p, kKeyF5, 1);  // the shift state does not matter
  r.host.QueueAnswer(Answer::No);
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_EQ(r.Line(), kLegend);
  EXPECT_FALSE(r.p.InterruptRequested);
  // The next poll finds nothing to do.
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_EQ(r.host.questions.size(), 1u);
}

TEST(RunKeys, PauseWaitsUntilF11AndIgnoresF5) {
  Running r;
  Form_KeyDown(r.p, kKeyF11, 0);
  EXPECT_TRUE(r.p.InterruptRequested);
  EXPECT_TRUE(r.p.PauseRequested);
  EXPECT_EQ(r.Line(), kPausing);

  std::vector<std::string> lines_seen;
  bool display_at_start = r.p.DisplayOn;
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
  EXPECT_EQ(r.host.message_pumps, 4);
  ASSERT_EQ(lines_seen.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(lines_seen[i], kPaused) << "pump " << i + 1;
  EXPECT_EQ(r.p.DisplayOn, !display_at_start);
  EXPECT_EQ(r.Line(), kLegend);
  EXPECT_FALSE(r.p.InterruptRequested);
  EXPECT_FALSE(r.p.PauseRequested);
  EXPECT_TRUE(r.host.questions.empty());
}

TEST(RunKeys, F11TwiceBeforeThePollAsksToAbort) {
  for (Answer answer : {Answer::No, Answer::Yes}) {
    Running r;
    Form_KeyDown(r.p, kKeyF11, 0);
    Form_KeyDown(r.p, kKeyF11, 0);
    EXPECT_TRUE(r.p.InterruptRequested);
    EXPECT_FALSE(r.p.PauseRequested);
    EXPECT_EQ(r.Line(), kLegend);
    r.host.QueueAnswer(answer);
    EXPECT_EQ(CheckRunInterrupt(r.p), answer == Answer::Yes);
    EXPECT_EQ(r.host.questions.size(), 1u);
    EXPECT_EQ(r.host.message_pumps, 0) << "an abort question does not pause";
    EXPECT_EQ(r.Line(), kLegend);
  }
}

TEST(RunKeys, F12TwiceLeavesTheDisplayAsItWas) {
  Running r;
  bool before = r.p.DisplayOn;
  Form_KeyDown(r.p, kKeyF12, 0);
  EXPECT_EQ(r.p.DisplayOn, !before);
  Form_KeyDown(r.p, kKeyF12, 0);
  EXPECT_EQ(r.p.DisplayOn, before);
  EXPECT_FALSE(r.p.InterruptRequested);
}

TEST(RunKeys, OtherKeysDoNothing) {
  Running r;
  std::string line = r.Line();
  for (int key : {13, 27, 65, 115, 117, 121, 124}) Form_KeyDown(r.p, key, 0);
  EXPECT_FALSE(r.p.InterruptRequested);
  EXPECT_FALSE(r.p.PauseRequested);
  EXPECT_TRUE(r.p.DisplayOn);
  EXPECT_EQ(r.Line(), line);
}

TEST(RunKeys, KeysWithoutAPollOnlyChangeTheLine) {
  // A fixed-wavelength run does not poll: F5 changes the line and the flags stay set.
  Running r;
  Form_KeyDown(r.p, kKeyF5, 0);
  EXPECT_EQ(r.Line(), kAborting);
  EXPECT_TRUE(r.p.InterruptRequested);
}

TEST(RunKeys, ExitWhilePausedEndsTheWaitAtOnce) {
  Running r;
  Form_KeyDown(r.p, kKeyF11, 0);
  r.host.on_messages = [&](int pump) {
    if (pump == 2) Exit_Click(r.p);
  };
  EXPECT_FALSE(CheckRunInterrupt(r.p));
  EXPECT_TRUE(r.p.Ending);
  EXPECT_TRUE(r.host.ended);
  EXPECT_EQ(r.host.message_pumps, 2);
}

TEST(RunKeys, AnEndingProgramPollsNothing) {
  Running r;
  Form_KeyDown(r.p, kKeyF5, 0);
  r.p.Ending = true;
  EXPECT_FALSE(CheckRunInterrupt(r.p));  // no question asked
  EXPECT_TRUE(r.host.questions.empty());
}

}  // namespace
}  // namespace kolvane
