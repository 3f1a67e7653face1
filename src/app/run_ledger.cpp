#include "app/run_ledger.h"

#include "app/program.h"

namespace kolvane {

void RunLedger::Loaded(long records, long blanks) {
  *this = RunLedger{};
  records_in_file = records;
  blank_records = blanks;
}

void RunLedger::Start(const std::string& results_file, bool blanks_give_no_line) {
  RunLedger fresh;
  fresh.records_in_file = records_in_file;
  fresh.blank_records = blank_records;
  fresh.results = results_file;
  fresh.lines_expected = records_in_file - (blanks_give_no_line ? blank_records : 0);
  *this = fresh;
}

void CountResultLine(Program& p, long ol_cells, bool hi_lo) {
  RunLedger& l = p.ledger;
  ++l.lines_written;
  l.ol_cells += ol_cells;
  if (hi_lo) ++l.hi_lo_flags;
  if (l.lines_written > 1) return;
  OutputChannel& out = p.channels.Out(Channels::kResults);
  out.KeepAs(IncompletePathFor(out.Path()));
}

std::string IncompletePathFor(const std::string& results) {
  const std::string scf = ".scf";
  const bool ends = results.size() >= scf.size() &&
                    results.compare(results.size() - scf.size(), scf.size(), scf) == 0;
  return (ends ? results.substr(0, results.size() - scf.size()) : results) + ".incomplete.scf";
}

const char* RunEndWord(RunEnd end) {
  switch (end) {
    case RunEnd::Complete:
      return "complete";
    case RunEnd::Aborted:
      return "aborted";
    case RunEnd::Stopped:
      return "stopped";
    case RunEnd::NotRun:
      break;
  }
  return "not run";
}

std::string AbortedLine(const RunLedger& l) {
  std::string line = "aborted: " + std::to_string(l.lines_written) + " of " +
                     std::to_string(l.lines_expected) + " records written";
  if (!l.incomplete.empty()) line += " to " + l.incomplete;
  return line;
}

}  // namespace kolvane
