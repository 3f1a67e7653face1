// In this file: "Open Fixed Wavelength File": the dialogs for the data file, its blanks and
// controls and the results file, the header, the counts of the body, the companion files, the
// pure matrix, and the window made ready for the user's choices. A load that cannot go on says
// why, closes every file it opened and leaves the window idle.
#include "fixed/fixed_load.h"

#include <string>

#include "app/color_panel.h"
#include "app/data_kind.h"
#include "app/file_dialogs.h"
#include "app/main_form_ops.h"
#include "base/numbers.h"
#include "fixed/blanks_controls.h"
#include "fixed/header.h"
#include "fixed/pure_matrix.h"
#include "fixed/records.h"

namespace kolvane {

namespace {

// Back to idle after a load that could not go on: every file closed, the menus and panels as
// after Close File, no matrix for the half-read dataset.
Flow AbandonLoad(Program& p) {
  p.channels.CloseAll();
  CloseDataset(p);
  p.form.Spillover.enabled = false;
  p.MatrixReady = false;
  SetBusyPointer(p, false);
  NotifyFormChanged(p);
  return Flow::Stop;
}

Flow RefuseLoad(Program& p, const std::string& message) {
  p.host.ShowMessage(message);
  return AbandonLoad(p);
}

// Everything a load reads starts from the state that start-up leaves, so that nothing of an
// earlier dataset reaches this one's results.
void StartAfresh(Program& p) {
  p.fixed = FixedTables{};
  p.SpillMatrix = SlotMatrix{};
  for (auto& name : p.MatrixColorNames) name.clear();
  p.MatrixReady = false;
  p.TissueExcluded = false;
  p.TissueRunCancelled = false;
  p.TissueAbortRun = false;
  p.FirstNormalizedColor = 1;
  p.ControlCorrectionOn = false;
  p.form.ControlCorr.ticked = false;
  p.NumPures = p.NumSamples = p.NumBlanks = p.NumControls = 0;
}

// Opens a companion file chosen in its dialog; false (after the message) when it cannot be
// opened. An empty answer means there is none.
bool OpenCompanion(Program& p, int channel, const std::string& path) {
  if (path.empty() || p.channels.In(channel).Open(path)) return true;
  p.host.ShowMessage("Can't open file: " + p.channels.In(channel).OpenFailure());
  return false;
}

std::string FilesBeingRead(Program& p, const std::string& results) {
  const int channels[] = {Channels::kData, Channels::kBlanks, Channels::kControls};
  for (int ch : channels) {
    InputChannel& in = p.channels.In(ch);
    if (in.IsOpen() && SameFile(in.Path(), results)) return in.Path();
  }
  return "";
}

std::string LoadInstructions(const Program& p) {
  std::string text = "* Select result file format (Fluorimeter Intensities or Microspheres/ml).\r";
  if (p.BlanksPresent) text += "* Select or deselect Background Subtraction.\r";
  text += "* Select the " + std::to_string(p.NumColors) + " colors used in this file.\r";
  if (p.ResultsInMicrospheres) text += "* Fill in number of microspheres/ml for each Pure color.\r";
  text += "* Press 'Analyze' button to start analysis.";
  return text;
}

// The window after a load: statistics, colour panel, options and the analyse button.
void ShowLoadedWindow(Program& p) {
  MainForm& f = p.form;
  f.Directions.caption = LoadInstructions(p);
  SetBusyPointer(p, false);
  f.Spillover.enabled = true;
  f.OpenDataSS.enabled = false;
  f.OpenData.enabled = false;
  f.CloseIt.enabled = true;
  p.FixedDataLoaded = true;
  p.ScanDataLoaded = false;
  f.BackSub.visible = p.BlanksPresent;
  f.BackSub.ticked = p.BlanksPresent;
  p.BackgroundOn = p.BlanksPresent;
  ShowSpectrumDisplay(p, false);
  f.SynchFrame.visible = true;
  f.SynchDataBox.visible = true;
  f.RunAnalysis.visible = true;
  OFResults_Radio_Click(p, 0);
  f.OFResults_Radio[0].selected = true;
  f.OFResults_Radio[1].selected = false;
  f.ColorBoxes.visible = true;
  p.SelectedColorCount = p.NumColors;
  NotifyFormChanged(p);
}

Flow AskForFiles(Program& p, std::string& data) {
  data = AskFileName(p, FileRole::Data, "FIX Files (*.fix):*.fix", "Open Fix File", false, "");
  if (data.empty()) return Flow::Stop;
  if (IsSpecialFile(data)) return RefuseLoad(p, NotRegular(data));
  if (!p.channels.In(Channels::kData).Open(data))
    return RefuseLoad(p, "Can't open file: " + p.channels.In(Channels::kData).OpenFailure());
  // The file is checked as soon as it is chosen, before its companions are asked for.
  if (p.host.HasUser()) {
    const std::string wrong = WrongKindMessage(data, DataKind::Fixed, KindOfDataFile(data));
    if (!wrong.empty()) return RefuseLoad(p, wrong);
  }
  if (ReadDataFileHeader(p, true, false) != Flow::Continue) return AbandonLoad(p);

  std::string blanks =
      AskFileName(p, FileRole::Blanks, "Blanks (*.blk)|*.blk", "Open Blanks File", false, "");
  if (!OpenCompanion(p, Channels::kBlanks, blanks)) return AbandonLoad(p);
  p.BlanksPresent = !blanks.empty();
  p.form.BackSub.visible = p.BlanksPresent;

  std::string controls =
      AskFileName(p, FileRole::Controls, "Control (*.ctl)|*.ctl", "Open Control File", false, "");
  if (!OpenCompanion(p, Channels::kControls, controls)) return AbandonLoad(p);
  p.ControlsPresent = !controls.empty();
  p.form.ControlCorr.visible = p.ControlsPresent;

  // Checked before the results file is opened, which would empty it.
  auto being_read = [&p](const std::string& results) {
    const std::string input = FilesBeingRead(p, results);
    if (input.empty()) return std::string();
    return "The results file " + results + " is the file " + input + ", which is being read.";
  };
  const std::string results = AskResultsFile(
      p, data + ".scf", being_read,
      "  Please choose another name for the results file.  The file was not loaded.");
  if (results.empty()) return AbandonLoad(p);
  return Flow::Continue;
}

}  // namespace

void HideSpareColorBoxes(Program& p) {
  for (int i = p.NumColors + 1; i <= kMaxColors; ++i) {
    p.form.Color[i].visible = false;
    p.form.MicrosPerMlFix[i].visible = false;
  }
}

Flow ScanDataBody(Program& p) {
  p.NumSamples = 0;
  p.NumPures = 0;
  Pointer arrow = Pointer::SizeWE;
  long counter = 0;
  const std::string& path = p.channels.In(Channels::kData).Path();
  for (;;) {
    RecordRead rr = CheckDataRecord(p);
    if (rr == RecordRead::End) break;
    if (rr == RecordRead::Ending) return Flow::ProgramEnding;
    if (rr == RecordRead::Bad) {
      p.host.ShowMessage(p.fixed.RecordProblem + "  The file was not loaded.");
      return Flow::Stop;
    }
    const std::string& type = p.fixed.RecordType;
    std::int16_t* count = type == "P" ? &p.NumPures : type == "S" ? &p.NumSamples : nullptr;
    if (count != nullptr) {
      if (*count == 32767) {
        p.host.ShowMessage("The data file " + path + " has more than 32767 " +
                           (type == "P" ? "pure" : "sample") +
                           " records.  The file was not loaded.");
        return Flow::Stop;
      }
      ++*count;
    }
    if (++counter % 5 == 0) {
      arrow = NextSizingArrow(arrow);
      p.host.SetPointer(arrow);
    }
  }
  p.form.Samples.caption = std::to_string(p.NumSamples);
  p.form.PureStat.caption = std::to_string(p.NumPures);
  p.NumBlanks = 0;
  if (p.BlanksPresent) {
    if (ReadBlanksFile(p) != Flow::Continue) return Flow::Stop;
    p.form.BlanksNum.caption = std::to_string(p.NumBlanks);
  } else {
    p.form.BlanksNum.caption = "NA";
  }
  p.NumControls = 0;
  if (p.ControlsPresent) {
    if (ReadControlsFile(p) != Flow::Continue) return Flow::Stop;
    p.form.ControlsNum.caption = std::to_string(p.NumControls);
  } else {
    p.form.ControlsNum.caption = "NA";
  }
  NotifyFormChanged(p);
  YieldToHost(p);
  return p.Ending ? Flow::ProgramEnding : Flow::Continue;
}

Flow OpenFixedDataFile(Program& p) {
  p.MatrixFileName.clear();
  p.MatrixFromFile = false;
  std::string data;
  Flow f = AskForFiles(p, data);
  if (f != Flow::Continue) return f;
  SetBusyPointer(p, true);
  StartAfresh(p);

  InputChannel& in = p.channels.In(Channels::kData);
  in.Rewind();
  if (ReadDataFileHeader(p, true, false) != Flow::Continue) return AbandonLoad(p);
  p.MatrixSize = p.NumColors;
  f = ScanDataBody(p);
  if (f == Flow::ProgramEnding) return f;
  if (f != Flow::Continue) return AbandonLoad(p);
  p.ledger.Loaded(p.NumPures + p.NumSamples, 0);
  in.Rewind();
  if (ReadDataFileHeader(p, false, false) != Flow::Continue) return AbandonLoad(p);
  for (int i = 1; i <= kMaxColors; ++i) p.ColorNames[i] = p.DefaultColorNames[i];

  p.MatrixReady = false;
  if (p.NumPures < 1) {
    p.host.ShowMessageOfKind(
        MessageKind::PureColorsMissing,
        "Pure colors missing in file.  Please use New Spillover Matrix option to input a spillover "
        "matrix.");
  } else {
    f = BuildPureMatrix(p);
    if (f == Flow::ProgramEnding) return f;
    if (f != Flow::Continue) return AbandonLoad(p);
  }
  HideSpareColorBoxes(p);
  ShowOptionPanel(p, true);
  ShowColorPanel(p, true);
  in.Rewind();
  if (ReadDataFileHeader(p, false, false) != Flow::Continue) return AbandonLoad(p);
  ShowLoadedWindow(p);
  return Flow::Continue;
}

}  // namespace kolvane
