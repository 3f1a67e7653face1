// In this file: what a study tells about its files - a line on stdout as each file finishes,
// one progress bar for the whole study on a terminal, the closing table and the summary file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "app/run_ledger.h"

namespace kolvane {

struct FileSummary {
  std::string file;     // the path as given or found in a folder
  std::string outcome;  // complete, stopped, aborted, skipped, not started
  RunLedger ledger;     // the run's counts and the incomplete file it left, if any
  std::string message;  // why the file stopped; empty when it completed
};

// A file name on one line of its own: TAB, CR and LF written as \t, \r and \n.
std::string EscapedName(const std::string& name);
// "FILE: complete, 40 records, 40 result lines, 0 OL cells", and ": MESSAGE" when it stopped
// ("; lines kept in INCOMPLETE" when it left an incomplete file).
std::string SummaryLine(const FileSummary& row);
// The closing table (columns padded with blanks) and the count of each outcome.
std::string SummaryTable(const std::vector<FileSummary>& rows);
// The summary file: a header and one TAB-separated line per file, LF-ended; a message's TABs
// and line ends become blanks, a file name's are escaped. The message names the incomplete
// file a run that did not complete left ("lines kept in FILE").
std::string SummaryTsv(const std::vector<FileSummary>& rows);

// The study's standard output and error, shared by the workers: every line is written whole,
// and the progress bar (on a terminal only) is blanked before it and drawn again after.
class StudyOutput {
 public:
  StudyOutput(std::FILE* out, std::FILE* err, std::size_t files, bool bar);
  // A message of one file on stderr, each of its lines after "FILE: ".
  void Message(const std::string& file, const std::string& text);
  // The file's line on stdout; the bar moves on.
  void Finished(const FileSummary& row);
  // Ends the bar's line so that the table starts afresh.
  void CloseBar();

 private:
  void ClearBar();
  void DrawBar();

  std::mutex lock_;
  std::FILE* out_;
  std::FILE* err_;
  std::size_t files_;
  std::size_t done_ = 0;
  bool bar_;
  bool drawn_ = false;
};

}  // namespace kolvane
