// In this file: the one program state. It holds the dataset state and colour table shared by
// both paths, the main-window form model, the numbered channels and the tables of each
// subsystem. There is one instance, made by the front end and passed by reference to every
// operation; arrays keep their 1-based slots (index 0 exists and is unused).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "app/dataset_files.h"
#include "app/fixed_tables.h"
#include "app/host.h"
#include "app/main_form.h"
#include "app/preferences.h"
#include "app/results_table.h"
#include "app/run_figures.h"
#include "app/run_ledger.h"
#include "app/scan_tables.h"
#include "base/channels.h"

namespace kolvane {

constexpr int kMaxColors = 30;
using SlotFlags = std::array<bool, 31>;  // 0..30
using SlotStrings = std::array<std::string, 31>;
using SlotDoubles = std::array<double, 31>;
using SlotMatrix = std::array<std::array<double, 32>, 32>;  // 0..31 x 0..31

struct Program {
  explicit Program(Host& h);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  Host& host;
  MainForm form;
  Channels channels;

  // Colour table (filled at start-up, never changed afterwards).
  SlotStrings DefaultColorNames;
  std::array<double, 31> NominalWavelength{};  // 0 = none
  // Working names of the loaded dataset and the names in spillover-matrix order.
  SlotStrings ColorNames;
  SlotStrings MatrixColorNames;

  // Kind of dataset loaded; never both true.
  bool FixedDataLoaded = false;
  bool ScanDataLoaded = false;

  std::int16_t NumColors = 0;
  std::int16_t HeaderPureCount = 0;
  SlotFlags ColorSelected{};
  std::int16_t SelectedColorCount = 0;
  // The microspheres/ml entries, -1 marking one that is not a number: by colour slot for the
  // fixed-wavelength panel, by pure number for the scan panel. The two panels keep their values
  // apart, so that one dataset's entries never reach a run of the other kind.
  SlotDoubles MicrosPerMlValues{};
  SlotDoubles ScanMicrosPerMlValues{};
  bool ResultsInMicrospheres = false;
  float SolventAmount = 0.0f;

  std::int16_t NumPures = 0, NumSamples = 0, NumBlanks = 0, NumControls = 0;
  bool BlanksPresent = false;
  bool ControlsPresent = false;
  bool BackgroundOn = false;
  bool ControlCorrectionOn = false;

  SlotMatrix SpillMatrix{};
  std::int16_t MatrixSize = 0;
  bool MatrixReady = false;
  bool MatrixFromFile = false;
  std::string MatrixFileName;

  bool TissueInFile = false;
  // The colour slots the header names "Tissue" (set where the header's colour line is read).
  bool ColorIsTissue[kMaxColors + 1] = {};
  bool TissueColumn = false;
  bool TissueExcluded = false;
  bool TissueRunCancelled = false;
  bool TissueAbortRun = false;
  std::int16_t FirstNormalizedColor = 0;

  // Run control.
  bool DisplayOn = false;
  bool InterruptRequested = false;
  bool PauseRequested = false;
  // The abort question was answered Yes when the window was closed during the run: the next
  // poll ends the run without asking again, paused or not.
  bool AbortConfirmed = false;
  std::int16_t CurrentPure = 0;

  // A load or a run is in progress: the Open commands, Close File and New Spillover Matrix
  // are disabled until it returns.
  bool Busy = false;
  // The account of the last run (and of the load's count of records).
  RunLedger ledger;
  // The files written beside a run's kept lines: its record (RESULTS.scf.json), and a report
  // when a path is set.
  bool RecordWanted = true;
  std::string ReportPath;
  // EndProgram was asked of the host; every operation unwinds.
  bool Ending = false;

  // The figures of the last run's matrix and data; a run whose condition number exceeds the
  // threshold (or whose matrix is singular) asks before it starts. The front ends set
  // kDefaultConditionThreshold at start-up; 0 asks nothing.
  RunFigures figures;
  ChosenFileSet ChosenFiles;  // for the run record
  double ConditionThreshold = 0.0;

  FixedTables fixed;  // tables of the fixed-wavelength path
  ScanTables scan;    // tables of the synchronous-scan path
  // The last complete run's results file as the window's table shows it.
  ResultsTable results;
  // The files of the dataset opened in one step (data empty: none), shown in the window.
  DatasetFiles Dataset;
  // Answers to the file dialogs by the file's role, given instead of asking while a one-step
  // open loads; each is taken once, so a results file that cannot be taken is asked for again
  // (empty: the dialogs ask).
  std::map<FileRole, std::string> FileAnswers;
  // What the window remembers between starts.
  Preferences prefs;
  // The window keeps a dataset loaded after a run (the batch does not); the choices Analyze
  // found, and whether the loaded dataset is one kept after a run.
  bool KeepDatasetAfterRun = false;
  WindowChoices ChoicesAtAnalyze;
  bool RerunReady = false;
};

// Start-up initialisation of the dataset state: fills the colour table, sets SolventAmount to
// 2.0, DisplayOn true, CurrentPure 1 and MicrosPerMlValues(1..30) and
// ScanMicrosPerMlValues(1..30) to 1000.
void InitializeDatasetState(Program& p);

// A yield of a load or run: a stop asked by the host aborts the load or run at its next check
// as a confirmed abort does; the host learns the progress bar's share and processes its
// pending messages.
void YieldToHost(Program& p);
// The progress bar's share, 0..100.
int ProgressPercent(const Program& p);

// Ends the program through the host after every open file was flushed and closed.
void EndProgram(Program& p);

}  // namespace kolvane
