// In this file: kolvane-batch with many data files. The files are found and checked before
// anything runs (a wrong study changes no file), then workers take the next file from a shared
// index, each running it as a single run would, with a host and a program state of its own.
#include "cli/batch_study.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "app/run_record.h"
#include "base/channels.h"
#include "base/platform_files.h"
#include "base/stale_parts.h"
#include "cli/batch_commands.h"
#include "cli/batch_signals.h"
#include "cli/batch_summary.h"

namespace kolvane {

namespace {

namespace fs = std::filesystem;

struct StudyFile {
  BatchOptions options;            // this file's data, results and companions
  std::vector<std::string> notes;  // said on stderr when the file starts
  FileSummary summary;
};

int Usage(const std::string& message) {
  std::cerr << message << "\nRun with --help for more information." << std::endl;
  return kExitUsage;
}

// A folder's data files (by extension), sorted by name; a file stands for itself.
std::vector<std::string> DataFiles(const std::vector<std::string>& inputs, const char* extension) {
  std::vector<std::string> files;
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (!fs::is_directory(PathOf(input), ec)) {
      files.push_back(input);
      continue;
    }
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(PathOf(input), ec))
      if (entry.path().extension() == extension && entry.is_regular_file(ec))
        found.push_back(NameOf(entry.path()));
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

// STEM.EXT beside the data file, when it exists; else a note that the file runs without it.
std::string Companion(const std::string& data, const char* extension, const char* what,
                      std::vector<std::string>& notes) {
  const std::string path = NameOf(PathOf(data).replace_extension(extension));
  std::error_code ec;
  if (fs::is_regular_file(PathOf(path), ec)) return FullPath(path);
  notes.push_back("no " + std::string(what) + " file " + path + ": the file runs without one");
  return "";
}

// A usage message when a file the study writes (a results file, an incomplete one, their
// records, the summary) is one the study reads, or one it also writes for another purpose:
// another file's data or companion would be replaced while, or before, it is read, or one
// written file would replace another. Files are compared as SameFile does, by device and
// inode, so links count too.
std::string WritesOntoAnInput(const std::vector<StudyFile>& plan, const std::string& summary) {
  std::vector<RoleFile> reads, writes = {{"summary", summary.empty() ? "" : FullPath(summary)}};
  for (const StudyFile& f : plan) {
    for (RoleFile& r : FilesRead(f.options)) reads.push_back(std::move(r));
    for (RoleFile& w : FilesWritten(f.options)) writes.push_back(std::move(w));
  }
  const FileClash clash = FindFileClash(reads, writes);
  if (clash.written == nullptr) return "";
  if (clash.read)
    return "The study would write " + clash.written->path + ", which it reads as input (" +
           clash.other->path + ")";
  return "The study would write " + clash.written->path + " twice (as the " + clash.other->role +
         " " + clash.other->path + " and as the " + clash.written->role + ")";
}

// A results file counts as done when its record says the run was complete, or when it has no
// record (as results written before records existed).
bool Done(const std::string& results) {
  std::error_code ec;
  if (!fs::exists(PathOf(results), ec)) return false;
  const std::string record = RecordPathFor(results);
  if (!fs::exists(PathOf(record), ec)) return true;
  std::ifstream in(PathOf(record));
  const nlohmann::json r = nlohmann::json::parse(in, nullptr, false);
  return !r.is_discarded() && r.is_object() && r.contains("outcome") &&
         r["outcome"].value("end", "") == "complete";
}

// Every file's options; a usage message when two files would share a results file or (with
// --companions) a stem.
std::string Plan(bool scan, const BatchOptions& common, const StudyOptions& study,
                 std::vector<StudyFile>& plan) {
  const std::vector<std::string> files = DataFiles(study.inputs, scan ? ".syn" : ".fix");
  if (files.empty()) return "No data files (" + std::string(scan ? ".syn" : ".fix") + ") found";
  if (files.size() > 1 && !common.results.empty())
    return "-o names one results file: with several data files use --out-dir";
  if (files.size() > 1 && !common.html.empty())
    return "--html names one report: with several data files it cannot be used";
  if (study.companions && (!common.blanks.empty() || !common.controls.empty()))
    return "--companions finds each file's blanks and controls: --blanks and --controls "
           "cannot be given with it";
  std::map<std::string, std::string> results_of, stem_of;
  for (const std::string& file : files) {
    StudyFile f;
    f.summary.file = file;
    BatchOptions& o = f.options;
    o = common;
    o.data = FullPath(file);
    if (study.companions) {
      const std::string stem = NameOf(PathOf(o.data).replace_extension());
      if (!stem_of.emplace(stem, file).second)
        return file + " and " + stem_of[stem] +
               " have one stem: their companion files would belong to both";
      o.blanks = Companion(file, scan ? ".slk" : ".blk", "blanks", f.notes);
      if (!scan) o.controls = Companion(file, ".ctl", "controls", f.notes);
    }
    if (!study.out_dir.empty())
      o.results = FullPath(NameOf(PathOf(study.out_dir) / PathOf(file).filename()) + ".scf");
    else if (o.results.empty())
      o.results = o.data + ".scf";
    if (!results_of.emplace(o.results, file).second)
      return file + " and " + results_of[o.results] + " would both write " + o.results;
    if (study.skip_done && Done(o.results)) f.summary.outcome = "skipped";
    plan.push_back(std::move(f));
  }
  return WritesOntoAnInput(plan, study.summary);
}

// Removes, and says, the temporary files killed runs left in the folders the study writes into.
void RemoveLeftParts(const std::vector<StudyFile>& plan, const std::string& summary,
                     std::chrono::system_clock::time_point start) {
  std::set<std::string> folders;
  for (const StudyFile& f : plan) folders.insert(NameOf(PathOf(f.options.results).parent_path()));
  if (!summary.empty()) folders.insert(NameOf(PathOf(FullPath(summary)).parent_path()));
  for (const std::string& folder : folders)
    for (const std::string& path : RemoveStaleParts(folder, start))
      std::cerr << "Removed a temporary file left by an earlier run: " << path << std::endl;
}

void RunFile(bool scan, StudyFile& f, StudyOutput& output) {
  FileSummary& row = f.summary;
  std::string last_note;
  BatchHost host(f.options, stderr, false);
  host.JoinStudy(
      [&](const std::string& text) {
        last_note = text;
        output.Message(row.file, text);
      },
      &StopRequested());
  for (const std::string& note : f.notes) host.Note(note);
  const std::string refused = RefusedInput(f.options);
  int status = kExitStopped;
  if (!refused.empty())
    host.Note(refused);
  else
    status = scan ? RunScanBatch(f.options, host) : RunFixedBatch(f.options, host);

  // The summary says what the disk holds: a run the stop reached after it completed is
  // complete, its results and record in place.
  row.ledger = host.ledger();
  if (status == kExitComplete) {
    row.outcome = "complete";
  } else if (host.aborted() && !row.ledger.Complete()) {
    row.outcome = "aborted";
    row.message = "the study was stopped";
  } else {
    row.outcome = "stopped";
    row.message = !row.ledger.unwritten.empty()  ? row.ledger.unwritten
                  : !row.ledger.message.empty()  ? row.ledger.message
                  : !host.last_message().empty() ? host.last_message()
                                                 : last_note;
  }
}

}  // namespace

void AddStudyOptions(CLI::App& cmd, StudyOptions& study) {
  cmd.add_flag("--companions", study.companions,
               "Each data file's blanks and controls are STEM.blk, STEM.ctl (fixed) or "
               "STEM.slk (scan) beside it, when they exist");
  cmd.add_option("--out-dir", study.out_dir,
                 "Folder for the results files (created if missing; default: beside each "
                 "data file)")
      ->type_name("DIR");
  cmd.add_option("-j,--jobs", study.jobs, "Data files analysed at once (default: one per core)")
      ->type_name("N")
      ->check(CLI::Range(1, 256).description(""));
  cmd.add_flag("--skip-done", study.skip_done,
               "Leave out data files whose results file exists and whose record says complete");
  cmd.add_option("--summary", study.summary,
                 "Write the study's summary, one TAB-separated line per data file")
      ->type_name("FILE.tsv");
}

bool IsStudy(const CLI::App& cmd, const StudyOptions& study) {
  std::error_code ec;
  return study.inputs.size() > 1 ||
         (!study.inputs.empty() && fs::is_directory(PathOf(study.inputs[0]), ec)) ||
         study.companions || !study.out_dir.empty() || cmd.count("--jobs") > 0 || study.skip_done ||
         !study.summary.empty();
}

int RunStudy(bool scan, const BatchOptions& common, const StudyOptions& study) {
  const auto start = std::chrono::system_clock::now();
  std::vector<StudyFile> plan;
  const std::string wrong = Plan(scan, common, study, plan);
  if (!wrong.empty()) return Usage(wrong);
  if (!study.out_dir.empty()) {
    std::error_code ec;
    fs::create_directories(PathOf(study.out_dir), ec);
    if (!fs::is_directory(PathOf(study.out_dir), ec))
      return Usage("--out-dir: cannot make the folder " + study.out_dir);
  }
  RemoveLeftParts(plan, study.summary, start);

  HandleStopSignals();
  const std::atomic<bool>& stop = StopRequested();
  StudyOutput output(stdout, stderr, plan.size(), isatty(fileno(stderr)) != 0);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < plan.size(); i = next++) {
      StudyFile& f = plan[i];
      if (f.summary.outcome.empty() && stop) f.summary.outcome = "not started";
      if (f.summary.outcome.empty()) RunFile(scan, f, output);
      output.Finished(f.summary);
    }
  };
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t jobs = study.jobs > 0 ? static_cast<std::size_t>(study.jobs) : cores;
  std::vector<std::thread> workers;
  for (std::size_t w = 0; w < std::min(jobs, plan.size()); ++w) workers.emplace_back(work);
  for (std::thread& t : workers) t.join();
  output.CloseBar();

  std::vector<FileSummary> rows;
  for (const StudyFile& f : plan) rows.push_back(f.summary);
  std::fputs(SummaryTable(rows).c_str(), stdout);
  std::fflush(stdout);
  bool all_complete = std::all_of(rows.begin(), rows.end(), [](const FileSummary& r) {
    return r.outcome == "complete" || r.outcome == "skipped";
  });
  if (!study.summary.empty()) {
    const std::string failure = SaveWholeFile(FullPath(study.summary), SummaryTsv(rows));
    if (!failure.empty()) {
      std::cerr << "Cannot write " << failure << std::endl;
      all_complete = false;
    }
  }
  return all_complete ? kExitComplete : kExitStopped;
}

}  // namespace kolvane
