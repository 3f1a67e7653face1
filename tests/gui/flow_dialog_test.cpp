// The Tools > Blood Flow... dialog shows what the core computes and saves what kolvane-batch
// flow writes.
#include "gui/flow_dialog.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <filesystem>

#include "flow/flow_output.h"
#include "gui_fixture.h"
#include "sim/spread_support.h"

namespace kolvane {
namespace {

namespace fs = std::filesystem;

std::string TableText(const QTableWidget* t) {
  std::string text;
  for (int c = 0; c < t->columnCount(); ++c)
    text += (c ? "\t" : "") + t->horizontalHeaderItem(c)->text().toStdString();
  text += "\r\n";
  for (int r = 0; r < t->rowCount(); ++r) {
    for (int c = 0; c < t->columnCount(); ++c)
      text += (c ? "\t" : "") + t->item(r, c)->text().toStdString();
    text += "\r\n";
  }
  return text;
}

TEST_F(WindowTest, BloodFlowDialogShowsAndSavesTheCoreNumbers) {
  EXPECT_NE(window->menuBar()->findChild<QAction*>("blood_flow"), nullptr);
  spread::Folder f("flow_dialog");
  const std::string golden = KOLVANE_TEST_DATA "/flow/golden/";
  for (const char* name : {"results.scf", "results.scf.json", "sheet.csv"})
    fs::copy_file(golden + name, f.path / name);
  const std::string results = (f.path / "results.scf").string();
  const std::string sheet = (f.path / "sheet.csv").string();

  flow::FlowInputs inputs;
  flow::FlowResult core;
  ASSERT_EQ(flow::LoadFlowInputs({results}, sheet, {}, inputs), "");
  ASSERT_EQ(flow::ComputeFlows(inputs, {}, core), "");

  FlowDialog dialog(window.get());
  dialog.SetInputs({results}, sheet);
  ASSERT_TRUE(dialog.Compute());
  EXPECT_EQ(TableText(dialog.pieces()), flow::FlowTableText(core));
  EXPECT_EQ(TableText(dialog.organs()), flow::OrganTableText(core));
  EXPECT_EQ(dialog.pieces()->item(0, 6)->text(), "5");  // the worked kidney piece, ml/min/g
  EXPECT_NE(dialog.messages()->toPlainText().toStdString().find("Animal B, colour Red"),
            std::string::npos);

  const std::string flows = (f.path / "F.tsv").string(), organs = (f.path / "O.tsv").string();
  ASSERT_EQ(dialog.Save(flows, organs), "");
  EXPECT_EQ(spread::Read(flows), flow::FlowTableText(core));
  EXPECT_EQ(spread::Read(organs), flow::OrganTableText(core));
  EXPECT_NE(dialog.Save(sheet, ""), "") << "never onto an input";

  // A refused sheet: its message, no table.
  std::ofstream(sheet) << "sample,kind\nS3,tissue\n";
  EXPECT_FALSE(dialog.Compute());
  EXPECT_NE(dialog.messages()->toPlainText().toStdString().find("line 2 (no weight_g column)"),
            std::string::npos);
  EXPECT_EQ(dialog.pieces()->rowCount(), 0);
}

}  // namespace
}  // namespace kolvane
