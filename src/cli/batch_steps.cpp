// In this file: the steps both subcommands of kolvane-batch take around the load and the run.
#include <string>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "app/run_record.h"
#include "app/run_report.h"
#include "base/channels.h"
#include "cli/batch_commands.h"

namespace kolvane {

namespace {
// A 1920 x 1080 screen at 15 twips per pixel; only the window's centring reads it.
constexpr int kScreenWidthTwips = 1920 * 15;
constexpr int kScreenHeightTwips = 1080 * 15;
// The run record beside the results file and the report, as the options ask. False when
// one of them could not be written (the reason is on stderr).
bool WriteRunFiles(Program& p, BatchHost& host) {
  const BatchOptions& o = host.options();
  const std::string& results = host.results_path();
  if (results.empty()) return true;
  const std::vector<RecordInput> inputs = {
      {"data", o.data}, {"blanks", o.blanks}, {"controls", o.controls}, {"matrix", o.matrix}};
  bool written = true;
  const auto write = [&](const std::string& path, const std::string& text) {
    const std::string failure = SaveWholeFile(path, text);
    if (!failure.empty()) host.Note("Cannot write " + failure);
    written = written && failure.empty();
  };
  if (o.record)
    write(RecordPathFor(results), RunRecordText(p, inputs, results, host.last_message()));
  if (!o.html.empty()) write(o.html, RunReportHtml(p, inputs, results, host.last_message()));
  return written;
}

}  // namespace

void StartProgram(Program& p, BatchHost& host) {
  Form_Load(p, kScreenWidthTwips, kScreenHeightTwips);
  p.ConditionThreshold = host.ConditionThreshold();
  // Without a record or report nothing needs the inputs' digests.
  if (!host.options().record && host.options().html.empty()) p.channels.Digests().SetMaker(nullptr);
}

void ChooseResultFormat(Program& p, bool microspheres) {
  const int index = microspheres ? 1 : 0;
  p.form.OFResults_Radio[0].selected = index == 0;
  p.form.OFResults_Radio[1].selected = index == 1;
  OFResults_Radio_Click(p, index);
}

void ChooseBackground(Program& p, BatchHost& host, const BatchOptions& options) {
  if (!options.background) return;
  if (!p.BlanksPresent) {
    // The scan loader drops a blanks file without a single blank record; the box is hidden
    // then, as it is in the window.
    if (*options.background)
      host.Note(
          "--background on: the blanks file holds no blank record; "
          "the analysis runs without background subtraction.");
    return;
  }
  p.form.BackSub.ticked = *options.background;
  BackSub_Click(p);
}

int FinishRun(Program& p, BatchHost& host, Flow flow) {
  host.FinishProgress(ProgressPercent(p));
  host.KeepCounts(p.figures);
  const bool ending = flow == Flow::ProgramEnding || host.ended() || p.Ending;
  if (!ending) p.channels.CloseAll();
  // The run's record and report are written for every run that did not end the program and
  // that a study's stop did not abort (its results file was dropped).
  const bool files_written = !ending && !host.aborted() && WriteRunFiles(p, host);
  if (ending || !p.RunCompleted || host.aborted()) {
    host.Note("aborted: " + std::to_string(p.RecordsWritten) + " of " +
              std::to_string(p.RecordsExpected) + " records written");
  }
  const bool complete = !ending && !host.aborted() && p.RunCompleted && files_written;
  return complete ? kExitComplete : kExitStopped;
}

int StopBeforeRun(Program& p, BatchHost& host, Flow flow) {
  host.FinishProgress(ProgressPercent(p));
  host.KeepCounts(p.figures);
  if (flow != Flow::ProgramEnding && !host.ended() && !p.Ending) p.channels.CloseAll();
  return kExitStopped;
}

std::string RefusedInput(const BatchOptions& o) {
  if (IsSpecialFile(o.data)) return NotRegular(o.data);
  // Every file the command reads stays as it is: the results may not go to one of them.
  const std::string results = o.results.empty() ? o.data + ".scf" : o.results;
  for (const std::string* input : {&o.data, &o.blanks, &o.controls, &o.matrix}) {
    if (input->empty() || !SameFile(results, *input)) continue;
    return "The results file " + results + " is the file " + *input +
           ", which is being read.  Please choose another name for the results file.";
  }
  return "";
}

std::string TooManyMicros(const BatchOptions& o, int boxes, const char* what) {
  if (o.micros.size() <= static_cast<std::size_t>(boxes)) return "";
  return "--micros-per-ml: " + std::to_string(o.micros.size()) + " values given for the " +
         std::to_string(boxes) + " " + what + " of " + o.data;
}

}  // namespace kolvane
