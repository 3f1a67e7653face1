// The question before a run whose matrix amplifies noise, the spreads and limits in the units
// of the results, and what the record says of an aborted run.
#include "app/run_figures.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/program.h"
#include "app/run_record.h"
#include "support/scripted_host.h"
#include "support/table.h"

namespace kolvane {
namespace {

void TwoColours(RunFigures& f) {
  f.ready = f.decomposed = true;
  f.m = f.n = 2;
  f.colour_names = {"", "Green", "Yellow"};
  f.pair_a = 1;
  f.pair_b = 2;
}

TEST(RunFigures, TheQuestionComesExactlyAboveTheThreshold) {
  for (const TableRow& c : ReadTable("app/condition_question.tsv")) {
    const bool singular = c[1] == "yes", asked = c[3] == "yes";
    for (Answer answer : {Answer::Yes, Answer::No}) {
      SCOPED_TRACE(c[0]);
      ScriptedHost host;
      Program p(host);
      TwoColours(p.figures);
      p.figures.condition = std::stod(c[0]);
      p.figures.singular = singular;
      p.ConditionThreshold = std::stod(c[2]);
      if (asked) host.QueueAnswer(answer);
      const Flow flow = AskAboutCondition(p);
      EXPECT_EQ(host.questions.size(), asked ? 1u : 0u);
      EXPECT_EQ(flow, asked && answer == Answer::No ? Flow::Stop : Flow::Continue);
      if (!asked) continue;
      EXPECT_NE(host.questions[0].find("Green and Yellow"), std::string::npos);
      EXPECT_NE(host.questions[0].find(singular ? "singular" : "1000.1"), std::string::npos);
    }
  }
}

TEST(RunFigures, SpreadsTakeTheResultFactors) {
  RunFigures f;
  TwoColours(f);
  f.pinv = {{}, {0, 2, -1}, {0, -1, 2}};  // the inverse of [[2, 1], [1, 2]] times 3
  f.blank_spread = {0, 3, 4};
  SetResultSpreads(f, {0, 1, 10}, true);
  EXPECT_EQ(f.units, "microspheres/ml");
  EXPECT_DOUBLE_EQ(f.result_spread[1], std::sqrt(36.0 + 16));
  EXPECT_DOUBLE_EQ(f.result_spread[2], 10 * std::sqrt(9.0 + 64));
  EXPECT_DOUBLE_EQ(f.detection_limit[2], 30 * std::sqrt(9.0 + 64));
  f.blank_spread.clear();
  SetResultSpreads(f, {0, 1, 1}, false);
  EXPECT_TRUE(f.result_spread.empty() && f.detection_limit.empty());
}

TEST(RunFigures, TheRecordSaysHowTheRunEnded) {
  ScriptedHost host;
  Program p(host);
  // 40 records of which 4 blanks, subtracted: 36 lines expected; 12 written.
  p.ledger.Loaded(40, 4);
  p.ledger.Start("r.scf", true);
  for (int i = 0; i < 12; ++i) CountResultLine(p, 0, i % 5 == 0);
  p.ledger.end = RunEnd::Aborted;
  p.ledger.incomplete = IncompletePathFor("r.scf");
  auto r = nlohmann::json::parse(RunRecordText(p, {}));
  EXPECT_EQ(r["outcome"]["end"], "aborted");
  EXPECT_EQ(r["outcome"]["lines_written"], 12);
  EXPECT_EQ(r["outcome"]["lines_expected"], 36);
  EXPECT_EQ(r["counts"]["hi_lo_flags"], 3);
  EXPECT_EQ(r["results_file"], "r.incomplete.scf");
  EXPECT_EQ(r["outcome"]["results_file_unchanged"], "r.scf");
  p.ledger.end = RunEnd::Stopped;
  p.ledger.message = "Unknown error reading file.";
  r = nlohmann::json::parse(RunRecordText(p, {}));
  EXPECT_EQ(r["outcome"]["end"], "stopped");
  EXPECT_EQ(r["outcome"]["message"], "Unknown error reading file.");
  EXPECT_EQ(IncompletePathFor("/d/x.fix.scf"), "/d/x.fix.incomplete.scf");
  EXPECT_EQ(IncompletePathFor("/d/out"), "/d/out.incomplete.scf");
}

}  // namespace
}  // namespace kolvane
