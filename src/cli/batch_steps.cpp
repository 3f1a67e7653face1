// In this file: the steps both subcommands of kolvane-batch take around the load and the run.
#include <map>
#include <string>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "app/run_record.h"
#include "app/run_report.h"
#include "base/channels.h"
#include "base/file_identity.h"
#include "cli/batch_commands.h"

namespace kolvane {

namespace {
// A 1920 x 1080 screen at 15 twips per pixel; only the window's centring reads it.
constexpr int kScreenWidthTwips = 1920 * 15;
constexpr int kScreenHeightTwips = 1080 * 15;
}  // namespace

void StartProgram(Program& p, BatchHost& host) {
  Form_Load(p, kScreenWidthTwips, kScreenHeightTwips);
  p.ConditionThreshold = host.ConditionThreshold();
  // The record and the report are written by the run's close, as the options ask; without
  // either nothing needs the inputs' digests.
  p.RecordWanted = host.options().record;
  p.ReportPath = host.options().html;
  if (!p.RecordWanted && p.ReportPath.empty()) p.channels.Digests().SetMaker(nullptr);
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
  const bool ending = flow == Flow::ProgramEnding || host.ended() || p.Ending;
  if (!ending) p.channels.CloseAll();
  const RunLedger& l = p.ledger;
  host.KeepLedger(l);
  // The run's record and report were written as it closed, beside the file its lines are in.
  if (!l.unwritten.empty()) host.Note(l.unwritten);
  const bool complete = !ending && l.Complete() && l.unwritten.empty();
  if (ending || !l.Complete()) host.Note(AbortedLine(l));
  return complete ? kExitComplete : kExitStopped;
}

int StopBeforeRun(Program& p, BatchHost& host, Flow flow) {
  host.FinishProgress(ProgressPercent(p));
  host.KeepLedger(p.ledger);
  if (host.aborted()) {  // a stop signal during the load: no line was written
    RunLedger l = p.ledger;
    l.Start(host.results_path(), p.ScanDataLoaded && p.BackgroundOn);
    host.Note(AbortedLine(l));
  }
  if (flow != Flow::ProgramEnding && !host.ended() && !p.Ending) p.channels.CloseAll();
  return kExitStopped;
}

namespace {

// What makes two names one file: the device and file number of a file that exists, else the
// path written to (a link's target).
std::string Identity(const std::string& path) {
  FileStamp st;
  if (StampOfPath(path, st))
    return "#" + std::to_string(st.device) + ":" + std::to_string(st.inode);
  return WrittenPath(path);
}

}  // namespace

FileClash FindFileClash(const std::vector<RoleFile>& reads, const std::vector<RoleFile>& writes) {
  std::map<std::string, const RoleFile*> read, written;
  for (const RoleFile& r : reads)
    if (!r.path.empty()) read.emplace(Identity(r.path), &r);
  for (const RoleFile& w : writes) {
    if (w.path.empty()) continue;
    const std::string id = Identity(w.path);
    if (const auto hit = read.find(id); hit != read.end()) return {&w, hit->second, true};
    const auto [at, fresh] = written.emplace(id, &w);
    if (!fresh) return {&w, at->second, false};
  }
  return {};
}

std::vector<RoleFile> FilesWritten(const BatchOptions& o) {
  const std::string results = o.results.empty() ? o.data + ".scf" : o.results;
  const std::string incomplete = IncompletePathFor(WrittenPath(results));
  std::vector<RoleFile> files = {{"results file", results},
                                 {"incomplete results file", incomplete}};
  if (o.record) {
    files.push_back({"run record", RecordPathFor(results)});
    files.push_back({"run record", RecordPathFor(incomplete)});
  }
  files.push_back({"report", o.html});
  return files;
}

std::vector<RoleFile> FilesRead(const BatchOptions& o) {
  return {{"data file", o.data},
          {"blanks file", o.blanks},
          {"controls file", o.controls},
          {"matrix file", o.matrix}};
}

std::string RefusedInput(const BatchOptions& o) {
  if (IsSpecialFile(o.data)) return NotRegular(o.data);
  for (const std::string* companion : {&o.blanks, &o.controls, &o.matrix})
    if (IsSpecialFile(*companion))
      return "The file " + *companion + " is not a regular file.  The file was not loaded.";
  // Every file the command reads stays as it is, and no file it writes replaces another.
  const std::vector<RoleFile> reads = FilesRead(o), writes = FilesWritten(o);
  const FileClash clash = FindFileClash(reads, writes);
  if (clash.written == nullptr) return "";
  const std::string& role = clash.written->role;
  if (clash.read)
    return "The " + role + " " + clash.written->path + " is the file " + clash.other->path +
           ", which is being read.  Please choose another name for the " + role + ".";
  return "The " + role + " " + clash.written->path + " is the " + clash.other->role + " " +
         clash.other->path + ", which the run also writes.  Please choose another name.";
}

std::string TooManyMicros(const BatchOptions& o, int boxes, const char* what) {
  if (o.micros.size() <= static_cast<std::size_t>(boxes)) return "";
  return "--micros-per-ml: " + std::to_string(o.micros.size()) + " values given for the " +
         std::to_string(boxes) + " " + what + " of " + o.data;
}

}  // namespace kolvane
