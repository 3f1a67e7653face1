// The run record the window writes beside its results file, through the scripted host: a run
// the data stops before any line keeps the message the user saw (the text the batch prints for
// the same file) and leaves no results file and no record, and the tissue field names what the
// Tissue dialogs chose, although closing the dataset after the run unticks every colour box.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "app/run_record.h"
#include "dispatch_fixtures.h"
#include "support/program_fixture.h"
#include "support/table.h"

namespace kolvane {
namespace {

std::string Temp(const std::string& name) {
  return testing_window::TempPath("window_record_" + name);
}

// The record after one run from the window: the dialogs answered with `files` (the last is the
// results file), `prepare` acting on the loaded window before Analyze.
// Null when the run left no record; `ledger`: the run's account.
nlohmann::json WindowRecord(bool scan, const std::vector<std::string>& files,
                            const std::function<void(ScriptedHost&, Program&)>& prepare,
                            RunLedger* ledger = nullptr) {
  testing_window::Window w;
  w.host.on_tissue = nullptr;  // each case answers the Tissue dialog its own way
  w.host.allow_any_message = true;
  Program& p = w.p;
  EXPECT_EQ(w.Open(scan, files), Flow::Continue);
  prepare(w.host, p);
  std::remove(RecordPathFor(files.back()).c_str());
  RunAnalysis_Click(p);
  EXPECT_EQ(w.host.pointers.back(), Pointer::Default) << "the pointer is given back";
  if (ledger != nullptr) *ledger = p.ledger;
  EXPECT_EQ(p.ledger.unwritten, "");
  if (access(RecordPathFor(files.back()).c_str(), F_OK) != 0) return nullptr;
  const std::string text = ReadFile(RecordPathFor(files.back()));
  std::remove(RecordPathFor(files.back()).c_str());
  std::remove(files.back().c_str());
  return nlohmann::json::parse(text);
}

TEST(WindowRunRecord, ARunTheDataStopsKeepsTheMessageTheUserSaw) {
  for (const TableRow& c : ReadTable("dispatch/stopped_runs.tsv")) {
    SCOPED_TRACE(c[0]);
    const std::string folder = KOLVANE_TEST_DATA "/" + c[0] + "/";
    std::vector<std::string> files;
    for (std::size_t i = 2; i < c.size(); ++i) files.push_back(c[i].empty() ? c[i] : folder + c[i]);
    files.push_back(Temp("stopped.scf"));
    std::string said = ReadFile(folder + "expected.err");
    said = said.substr(0, said.find('\n'));
    RunLedger ledger;
    const auto record = WindowRecord(
        c[1] == "scan", files, [](ScriptedHost&, Program&) {}, &ledger);
    EXPECT_TRUE(record.is_null());
    EXPECT_EQ(access(files.back().c_str(), F_OK), -1);
    EXPECT_EQ(ledger.end, RunEnd::Stopped);
    EXPECT_EQ(ledger.message, said);
  }
}

// A record that lost a reading after the load stops the run at that record.
TEST(WindowRunRecord, ARecordSpoiltAfterTheLoadStopsTheRun) {
  const std::string data = Temp("spoilt.fix");
  const auto write = [&](const char* s1) {
    std::ofstream(data, std::ios::binary) << "Wavelengths\t2\r\nColor Tube\tBlue\tGreen\r\n"
                                             "P1\t100\t10\r\nP2\t10\t100\r\n"
                                          << s1;
  };
  write("S1\t5\t6\r\n");
  RunLedger ledger;
  const auto record = WindowRecord(
      false, {data, "", "", Temp("spoilt.scf")},
      [&](ScriptedHost&, Program&) { write("S1\t5\r\n"); }, &ledger);
  EXPECT_TRUE(record.is_null());
  EXPECT_EQ(ledger.message, "Record \"S1\" of the data file " + data +
                                " has 1 reading for 2 colors.  Analysis ending.");
  std::remove(data.c_str());
}

TEST(WindowRunRecord, TissueNamesTheChoiceOfTheTissueDialogs) {
  std::vector<std::string> files = testing_window::kFixedFiles;
  files.push_back(Temp("tissue.scf"));
  const struct {
    const char* tissue;                   // the record's word for the choice
    void (*options)(TissueOptionsForm&);  // after "use" in Tissue; nullptr: OK at once
    bool unticked;                        // the Tissue box unticked: no Tissue dialog
  } cases[] = {{"passed through", nullptr, false},
               {"used, the data file's tissue pure", TissueOptionsUseProvided_Click, false},
               {"used, the stored tissue sample", TissueOptionsUseStored_Click, false},
               {"none", nullptr, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tissue);
    // Each colour slot's microspheres/ml box holds 100 times the slot's number.
    const auto record = WindowRecord(false, files, [&](ScriptedHost& h, Program& p) {
      for (int slot = 1; slot <= 8; ++slot)
        SetMicrosPerMlFixText(p, slot, std::to_string(100 * slot));
      if (c.unticked) {
        SetColorTick(p, 1, false);
      } else if (c.options) {
        h.on_tissue = testing_window::UseProvidedTissue;
        h.on_tissue_options = c.options;
      } else {
        h.on_tissue = TissueOk_Click;
      }
    });
    EXPECT_EQ(record["choices"]["tissue"], c.tissue);
    // The file's colour line: Tissue, then Blue to Orange-Red; the matrix's rows and columns.
    std::vector<std::string> colours = {"Blue",   "Blue-Green", "Green",     "Yellow-Green",
                                        "Yellow", "Orange",     "Orange-Red"};
    std::vector<double> micros = {200, 300, 400, 500, 600, 700, 800};
    if (c.options) {  // the tissue pure is analysed
      colours.insert(colours.begin(), "Tissue");
      micros.insert(micros.begin(), 100);
    }
    EXPECT_EQ(record["choices"]["microspheres_per_ml"], micros);
    EXPECT_EQ(record["choices"]["colors"], colours);
    EXPECT_EQ(record["matrix"]["rows"], colours);
    EXPECT_EQ(record["outcome"]["end"], "complete");
    EXPECT_FALSE(record["outcome"].contains("message"));
  }
}

}  // namespace
}  // namespace kolvane
