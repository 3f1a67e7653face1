#include "app/status_line.h"

#include "app/main_form_ops.h"

namespace kolvane {

namespace {

const char* const kProgramName = "KOLVANE";

std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? std::string(".") : path.substr(0, cut == 0 ? 1 : cut);
}

void SetStatus(Program& p, const std::string& text, const std::string& folder) {
  p.form.StatusLine.caption = text;
  p.form.StatusFolder = folder;
  NotifyFormChanged(p);
}

}  // namespace

std::string GroupedCount(long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), " ");
  return n < 0 ? "-" + digits : digits;
}

std::string RunOutcomeText(const Program& p) {
  const RunLedger& r = p.ledger;
  // "1 record", "0 records", "1 of 8 records".
  const long counted = r.Complete() ? r.lines_written : r.lines_expected;
  const std::string records = counted == 1 ? " record" : " records";
  if (r.Complete()) return GroupedCount(r.lines_written) + records + " written to " + r.results;
  if (r.cancelled) return "The run was cancelled before it began.";
  // The earlier results file is as it was; the lines written so far are beside it.
  const std::string kept = r.incomplete.empty() ? ""
                                                : GroupedCount(r.lines_written) + " of " +
                                                      GroupedCount(r.lines_expected) + records +
                                                      " written to " + r.incomplete;
  if (r.end == RunEnd::Aborted)
    return kept.empty() ? "Aborted: no record was written; " + r.results + " is unchanged."
                        : "Aborted: " + kept;
  const std::string stopped = r.message.empty() ? "The run stopped before the end of its data."
                                                : "The run stopped: " + r.message;
  return kept.empty() ? stopped : stopped + "  " + kept;
}

void ShowRunOutcome(Program& p) {
  const std::string& kept = p.ledger.KeptFile();
  SetStatus(p, RunOutcomeText(p), kept.empty() ? std::string() : FolderOf(kept));
}

void ShowStartHint(Program& p) {
  SetStatus(p,
            "To begin, open a data file: File > Open Dataset (Ctrl+O) takes a .fix or a .syn "
            "file with its companion files, or drop one on the window.  File > New Spillover "
            "Matrix (Ctrl+M) reads a matrix file for a loaded .fix file.  Help > KOLVANE Manual "
            "(F1) says more.",
            std::string());
}

void ShowRunStop(Program& p, const std::string& text) {
  p.ledger.message = text;
  p.host.ShowMessage(text);
}

void ClearStatus(Program& p) {
  SetStatus(p, std::string(), std::string());
}

void ShowDataFileInTitle(Program& p, const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\");
  const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  p.form.caption = name.empty() ? kProgramName : name + " \xE2\x80\x94 " + kProgramName;
  NotifyFormChanged(p);
}

}  // namespace kolvane
