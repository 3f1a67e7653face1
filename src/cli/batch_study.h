// In this file: a study - many data files reduced by one command, on several threads, each file
// with a program state of its own, and a summary of how every file ended.
#pragma once

#include <string>
#include <vector>

#include "cli/batch_options.h"

namespace CLI {
class App;
}

namespace kolvane {

struct StudyOptions {
  std::vector<std::string> inputs;  // data files and folders, as given
  bool companions = false;          // STEM.blk / STEM.ctl / STEM.slk beside each data file
  std::string out_dir;              // empty: results beside each data file
  int jobs = 0;                     // files at once; 0: one per core
  bool skip_done = false;           // leave files whose results file exists
  std::string summary;              // --summary FILE.tsv
};

// The options a study adds to a subcommand.
void AddStudyOptions(CLI::App& cmd, StudyOptions& study);
// True when the command line asks for a study: several inputs, a folder, or a study option.
// Without one, a single data file runs exactly as it always did.
bool IsStudy(const CLI::App& cmd, const StudyOptions& study);

// Runs the study. `common` holds what every file shares (full paths); each file gets its own
// data, results and, with --companions, blanks and controls. Returns the exit status: 0 when
// every file completed (or was skipped), 1 when any did not, 2 for a wrong command line.
int RunStudy(bool scan, const BatchOptions& common, const StudyOptions& study);

}  // namespace kolvane
