#include "synch/scan_load.h"

#include <limits>
#include <string>

#include "app/color_panel.h"
#include "app/data_kind.h"
#include "app/file_dialogs.h"
#include "app/main_form_ops.h"
#include "base/channels.h"
#include "base/numbers.h"
#include "synch/pure_search.h"
#include "synch/scan_header.h"
#include "synch/scan_records.h"

namespace kolvane {
namespace {

constexpr const char* kCantOpen = "Can't open file: ";

void SelectIntensityLevels(Program& p) {
  OFResults_Radio_Click(p, 0);
  p.form.OFResults_Radio[0].selected = true;
  p.form.OFResults_Radio[1].selected = false;
}

// A load that cannot go on closes every file it opened and gives the pointer back; the menus
// were not changed yet.
Flow AbandonLoad(Program& p, Flow flow) {
  if (flow == Flow::ProgramEnding) return flow;
  p.channels.CloseAll();
  SetBusyPointer(p, false);
  return Flow::Stop;
}

// What start-up leaves for everything the load reads, so that an earlier dataset cannot
// change this one's results.
void StartAfresh(Program& p) {
  ScanTables& s = p.scan;
  s.BlankSpectrum.fill(0.0f);
  s.FitPoints.fill(0);
  for (auto& peak : s.PurePeak) peak = {0.0f, 0.0f, 0.0f};
  s.PureSlot.fill(0);
  for (auto& label : s.PureLabel) label.clear();
  for (auto& name : s.PureRecordName) name.clear();
  s.MicrosFactor.fill(0.0);
  s.RecordName.clear();
  s.RecordType.clear();
  s.RecordNumber = 0;
  s.Spectrum.fill(0.0f);
  p.ledger.records_read = 0;
  s.DataTruncationShown = false;
  s.BlanksTruncationShown = false;
  for (int slot = 1; slot <= kMaxColors; ++slot) p.ColorSelected[slot] = false;
  p.BackgroundOn = false;
}

std::string LoadDirections(const Program& p) {
  std::string text = "* Select result file format (Fluorimeter Intensities or Microspheres/ml).";
  if (p.BlanksPresent) text += "\r* Select or deselect Background Subtraction.";
  if (p.ResultsInMicrospheres) text += "\r* Fill in number of microspheres/ml for each Pure color.";
  text += "\r* Press 'Analyze' button to start analysis.";
  return text;
}

}  // namespace

Flow CountScanRecords(Program& p) {
  ScanTables& s = p.scan;
  InputChannel& in = p.channels.In(Channels::kData);
  p.NumBlanks = p.NumPures = p.NumSamples = 0;
  s.BusyCursor = 9;
  s.BusyCount = 0;
  int records = 0;
  long blanks = 0;
  while (!in.AtEnd()) {
    ScanRead r = PassScanRecord(p, s.RecordType, s.RecordNumber);
    if (r == ScanRead::Ending) return Flow::ProgramEnding;
    if (r == ScanRead::BadValue) return Flow::Stop;
    if (r != ScanRead::Read) break;
    if (records == std::numeric_limits<std::int16_t>::max()) {
      p.host.ShowMessage("More than 32767 records in " + in.Path() + ": the file cannot be read.");
      return Flow::Stop;
    }
    ++records;
    if (s.RecordType == "P") ++p.NumPures;
    if (s.RecordType == "S") ++p.NumSamples;
    if (s.RecordType == "B") ++blanks;
    StepBusyCursor(p, s.BusyCount, s.BusyCursor, 9, 3);
  }
  p.ledger.Loaded(records, blanks);
  p.form.Samples.caption = std::to_string(p.NumSamples);
  p.form.PureStat.caption = std::to_string(p.NumPures);
  if (p.BlanksPresent) {
    Flow flow = LoadBlankScans(p);
    if (flow != Flow::Continue) return flow;
  }
  p.form.BlanksNum.caption = std::to_string(p.NumBlanks);
  p.form.ControlsNum.caption = "0";
  return Flow::Continue;
}

Flow OpenScanDataset(Program& p) {
  MainForm& f = p.form;
  SelectIntensityLevels(p);
  p.ResultsInMicrospheres = false;
  p.CurrentPure = 0;
  p.MatrixFileName.clear();
  p.MatrixFromFile = false;

  const std::string data = AskFileName(p, FileRole::Data, "Synchronous Scans (*.syn)|*.syn",
                                       "Open Synchronous Scan File", false, "");
  if (data.empty()) return Flow::Stop;
  if (IsSpecialFile(data)) {
    p.host.ShowMessage(NotRegular(data));
    return Flow::Stop;
  }
  if (!p.channels.In(Channels::kData).Open(data)) {
    p.host.ShowMessage(kCantOpen + p.channels.In(Channels::kData).OpenFailure());
    return Flow::Stop;
  }
  // The file is checked as soon as it is chosen, before its blanks are asked for.
  const std::string wrong =
      p.host.HasUser() ? WrongKindMessage(data, DataKind::Scan, KindOfDataFile(data)) : "";
  if (!wrong.empty()) {
    p.host.ShowMessage(wrong);
    return AbandonLoad(p, Flow::Stop);
  }
  if (Flow early = ReadScanHeader(p, true); early != Flow::Continue) return AbandonLoad(p, early);
  RewindScanData(p);

  const std::string blanks =
      AskFileName(p, FileRole::Blanks, "Blanks (*.slk)|*.slk", "Open Blanks File", false, "");
  if (!blanks.empty() && !p.channels.In(Channels::kBlanks).Open(blanks)) {
    p.host.ShowMessage(kCantOpen + p.channels.In(Channels::kBlanks).OpenFailure());
    return AbandonLoad(p, Flow::Stop);
  }
  p.BlanksPresent = !blanks.empty();
  f.BackSub.visible = p.BlanksPresent;

  // Opening the results file empties it: it may not be one of the files being read.
  auto being_read = [&](const std::string& results) {
    if (SameFile(results, data) || (!blanks.empty() && SameFile(results, blanks)))
      return "The results file may not be one of the files being read: " + results;
    return std::string();
  };
  if (AskResultsFile(p, data + ".scf", being_read, "").empty()) return AbandonLoad(p, Flow::Stop);

  for (int slot = 1; slot <= kMaxColors; ++slot) p.ColorNames[slot] = p.DefaultColorNames[slot];
  p.scan.PlotYMax = 0;
  p.scan.PlotYMin = 9999;
  StartAfresh(p);
  SetBusyPointer(p, true);

  Flow flow = ReadScanHeader(p, true);
  if (flow != Flow::Continue) return AbandonLoad(p, flow);
  flow = CountScanRecords(p);
  if (flow != Flow::Continue) return AbandonLoad(p, flow);

  RewindScanData(p);
  if ((flow = ReadScanHeader(p, false)) != Flow::Continue) return AbandonLoad(p, flow);
  p.ControlsPresent = false;
  RewindScanData(p);
  if ((flow = ReadScanHeader(p, false)) != Flow::Continue) return AbandonLoad(p, flow);

  // The search runs with the background off, as after start-up, and with no key press of an
  // earlier run pending.
  p.DisplayOn = false;
  p.InterruptRequested = false;
  p.PauseRequested = false;
  p.BackgroundOn = false;
  p.scan.SearchProgress = true;
  flow = FindPures(p, true);
  p.scan.SearchProgress = false;
  if (flow == Flow::ProgramEnding) return flow;
  if (flow != Flow::Continue) {
    // An abort already ran Close File; missing pures close the files here.
    if (p.channels.In(Channels::kData).IsOpen()) CloseScanDataset(p);
    SetBusyPointer(p, false);
    return Flow::Stop;
  }

  f.ProgressBar.visible = false;
  f.SamplePtr.caption.clear();
  for (int k = 1; k <= p.HeaderPureCount; ++k) {
    f.MicrosForColor[k].caption = TrimSpaces(p.scan.PureLabel[k]);
  }
  f.Directions.caption = LoadDirections(p);

  f.Spillover.enabled = false;
  f.OpenDataSS.enabled = false;
  f.OpenData.enabled = false;
  f.CloseIt.enabled = true;
  p.FixedDataLoaded = false;
  p.ScanDataLoaded = true;

  if (p.BlanksPresent) {
    f.BackSub.visible = true;
    f.BackSub.ticked = true;
    p.BackgroundOn = true;
  } else {
    f.BackSub.visible = false;
    p.BackgroundOn = false;
  }

  SetBusyPointer(p, false);
  f.MicroBox.visible = false;
  InitMicroBox(p);
  SelectIntensityLevels(p);
  f.MicroBox.visible = true;

  ShowSpectrumDisplay(p, false);
  f.ColorBoxes.visible = false;
  ShowColorPanel(p, false);
  ShowOptionPanel(p, true);

  f.RunAnalysis.enabled = true;
  f.SynchDataBox.visible = true;
  f.SynchFrame.visible = true;
  NotifyFormChanged(p);
  return Flow::Continue;
}

}  // namespace kolvane
