// In this file: what the command line asked for, once parsed. The host answers the dialogs
// from it and the subcommands set the window's choices from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kolvane {

enum class TissueChoice {
  Exclude,  // the dialog's preselected answer: pass tissue through unused
  Use,      // use tissue, with the pure tissue sample of the data file
  Stored,   // use tissue, with the stored tissue sample
};

struct BatchOptions {
  // Full paths, as a file dialog would answer them; empty = the dialog is cancelled.
  std::string data;
  std::string blanks;
  std::string controls;
  std::string matrix;
  std::string results;  // empty: the name the save dialog proposes

  bool microspheres = false;        // --format microspheres
  std::vector<std::string> micros;  // --micros-per-ml, one text per slot or pure, from 1
  std::vector<int> colors;          // --colors: the slots to analyse; empty = every colour
  std::optional<bool> background;   // --background; unset = as the load leaves it
  std::optional<bool> control_correction;
  TissueChoice tissue = TissueChoice::Exclude;
  std::optional<double> max_condition;  // --max-condition K: stop when the condition exceeds K
  bool record = true;                   // --no-record leaves RESULTS.scf.json out
  std::string html;                     // --html REPORT.html
};

// Exit statuses of kolvane-batch.
constexpr int kExitComplete = 0;  // a complete results file was written
constexpr int kExitStopped = 1;   // the data stopped the analysis
constexpr int kExitUsage = 2;     // the command line was wrong

}  // namespace kolvane
