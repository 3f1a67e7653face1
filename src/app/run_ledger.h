// In this file: the one account of a run - how it ended and why, the files it left, the lines
// it was to write and wrote, the records it read and what it flagged. The loads write what the
// data file holds, the runs count each line as they write it, and everything that tells about
// a run (the status line, the close after a run, the record, the report, the batch's lines and
// the study's summary) reads it from here.
#pragma once

#include <string>

namespace kolvane {

struct Program;

enum class RunEnd { NotRun, Complete, Aborted, Stopped };

struct RunLedger {
  RunEnd end = RunEnd::NotRun;
  bool cancelled = false;  // Cancel Analysis or Abort Run: the run ended before it began
  std::string message;     // what stopped the run; empty for a complete or aborted one
  std::string results;     // the results file the run was to write
  std::string incomplete;  // where a run that did not complete left its lines; empty: nowhere
  std::string unwritten;   // the run's record or report that could not be written, and why

  // From the load: the records of the data file, the blank records among them (a scan's
  // blank records give no line when they are subtracted).
  long records_in_file = 0;
  long blank_records = 0;
  // From the run.
  long lines_expected = 0;  // record lines a complete run writes
  long lines_written = 0;
  long records_read = 0;
  long ol_cells = 0;
  long hi_lo_flags = 0;

  // A load counted the data file's records.
  void Loaded(long records, long blanks);
  // A run starts: the counts of the last run go; the load's stay.
  void Start(const std::string& results_file, bool blanks_give_no_line);
  bool Complete() const { return end == RunEnd::Complete; }
  // The file the run's lines are in: the results file when complete, else the incomplete
  // file (empty when the run left none).
  const std::string& KeptFile() const { return Complete() ? results : incomplete; }
};

// A record line written to the results file: counted, and from the first one on a run that does
// not complete keeps its lines beside the results file.
void CountResultLine(Program& p, long ol_cells, bool hi_lo);

// "x.fix.scf" -> "x.fix.incomplete.scf" (a name without ".scf": ".incomplete.scf" added).
std::string IncompletePathFor(const std::string& results);

// "complete", "aborted", "stopped", "not run".
const char* RunEndWord(RunEnd end);

// "aborted: 5 of 8 records written" and, when the lines were kept, " to FILE".
std::string AbortedLine(const RunLedger& ledger);

}  // namespace kolvane
