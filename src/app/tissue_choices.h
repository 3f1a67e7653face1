// In this file: the two tissue dialogs of the fixed-wavelength run as form models, and their
// effects on the dataset state.
#pragma once

#include <string>

#include "app/program.h"

namespace kolvane {

// Dialog "Tissue": use tissue in the correction or pass it through unused.
struct TissueForm {
  std::string caption = "Tissue";
  std::string label = "Tissue data use requested.  Options available:";
  std::string option0 = "Use tissue in spillover correction";
  std::string option1 =
      "Ignore tissue in spillover correction.  Pass tissue unused through to results file.";
  std::string ok_button = "OK";
  std::string cancel_button = "Cancel Analysis";
  int selected = 1;
  Program* program = nullptr;
  bool closed = false;  // set by the buttons; the host closes the dialog when it is true
};
// Dialog "Tissue Sample Options": the provided pure or the stored tissue sample.
struct TissueOptionsForm {
  std::string caption = "Tissue Sample Options";
  std::string label =
      "How should I deal with the pure tissue sample provided in the dataset when "
      "calculating the spillover matrix?";
  std::string use_provided_button = "Use Provided Sample";
  std::string use_stored_button = "Use Stored Tissue Sample";
  std::string abort_button = "Abort Run";
  Program* program = nullptr;
  bool closed = false;  // set by the buttons; the host closes the dialog when it is true
};

// Handlers the host calls while the dialog is shown.
void TissueOpt_Click(TissueForm& f, int index);
void TissueOk_Click(TissueForm& f);                         // "OK"
void TissueCancel_Click(TissueForm& f);                     // "Cancel Analysis"
void TissueOptionsUseProvided_Click(TissueOptionsForm& f);  // "Use Provided Sample"
void TissueOptionsUseStored_Click(TissueOptionsForm& f);    // "Use Stored Tissue Sample"
void TissueOptionsAbort_Click(TissueOptionsForm& f);        // "Abort Run"

// Open the dialogs modally through the host (opening effects first).
void ShowTissueDialog(Program& p);
void ShowTissueOptionsDialog(Program& p);

// Writes the stored tissue sample into SpillMatrix (row and column 1) and sets
// FirstNormalizedColor to 2.
void UseStoredTissueSample(Program& p);

}  // namespace kolvane
