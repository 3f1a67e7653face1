// In this file: the tables of the synchronous-scan path (scan geometry, the current record and
// the blank spectrum, the pures with their fit points and colour slots, the fit's work arrays).
// Plain containers only: the run converts FitMatrix to the solver's matrix type itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/grid.h"

namespace kolvane {

constexpr int kMaxScanPoints = 1000;
constexpr int kMaxScanPures = 30;
constexpr int kMaxInitialBlanks = 100;
constexpr int kMaxFitPoints = 270;

using PointFloats = std::array<float, kMaxScanPoints + 1>;  // 0..1000, point 0 unused

struct ScanTables {
  // --- header (set in copy mode, reset at the start of every header parse) -------------
  double ScanLower = 0.0;
  double ScanUpper = 0.0;
  double ScanInterval = 0.0;
  bool ScanHas350 = false;
  std::int16_t Point350 = 0;
  std::int16_t ScanPoints = 0;
  bool AutoDelivery = false;

  // --- the last record read ----------------------------------------------------------------
  std::string RecordName;
  std::string RecordType;  // type letter of the last data-file record ("B", "P", "S" or empty)
  std::int16_t RecordNumber = 0;
  PointFloats Spectrum{};
  PointFloats PointWavelength{};  // (i - 1) * ScanInterval + ScanLower, fixed by the header

  // --- blanks --------------------------------------------------------------------------------
  PointFloats BlankSpectrum{};  // zeroed at every load, then the latest blank taken up
  Grid<float> BlankScans;       // (point, k): the k-th initial blank of the blanks file
  std::vector<std::int16_t> BlankScanNumbers;  // 1-based: number of each blanks-file record
  std::array<double, kMaxFitPoints + 1> SortedValues{};  // one point over the initial blanks

  // --- progress ------------------------------------------------------------------------------
  // (records read: Program::ledger)
  // The load's pure search shows its own progress (pures found); a run shows records read.
  bool SearchProgress = false;
  std::int32_t BusyCount = 0;
  std::int16_t BusyCursor = 9;
  // "EOF detected unexpectedly" was already shown for this dataset's data / blanks file.
  bool DataTruncationShown = false;
  bool BlanksTruncationShown = false;

  // --- pures -----------------------------------------------------------------------------------
  Grid<float> PureSpectra;                            // (pure, point), blank subtracted
  std::array<int, kMaxFitPoints + 1> FitPoints{};  // 5 scan point indices per pure
  std::array<std::array<float, 3>, kMaxScanPures + 1> PurePeak{};  // (k,1) value, (k,2) nm
  std::array<std::string, kMaxScanPures + 1> PureRecordName;       // label of pure k's record
  // The colour slot whose nominal wavelength pure k's peak names (0: none), decided by the
  // load's pure search; pure k keeps it for its label, its colour-name cell and the Hi-Lo test.
  std::array<std::int16_t, kMaxScanPures + 1> PureSlot{};
  // The colour-name cell of pure k: its slot's name, or its peak wavelength ("512 nm").
  std::array<std::string, kMaxScanPures + 1> PureLabel;

  // --- the run -------------------------------------------------------------------------------
  Grid<double> FitMatrix;  // (0..5n, 0..n)
  std::vector<double> FitObserved, SampleResult, FitResidual, FitFitted, FitObservedCentred;
  std::array<double, kMaxScanPures + 1> MicrosFactor{};

  // --- where the run read each record it wrote a line for, for the record viewer ----------
  struct RecordPlace {
    long long record = -1;  // file offset of the record's label
    long long blank = -1;   // the blank record subtracted from it; -1: RunStartBlank
  };
  std::vector<RecordPlace> RecordPlaces;  // one per record line, in the file's order
  long long RecordOffset = -1;            // the last data-file record read
  long long BlankOffset = -1;             // the last blank record taken up
  PointFloats RunStartBlank{};            // the blank spectrum as the run's records began
  bool RunBackground = false;             // the run subtracted the blank spectrum
  std::string RunDataPath;                // the data file the run read
  // The run's fit, for the record viewer: a later load changes the tables above.
  Grid<double> RunFitMatrix;
  Grid<float> RunPureSpectra;
  std::array<int, kMaxFitPoints + 1> RunFitPoints{};
  PointFloats RunPointWavelength{};
  std::int16_t RunScanPoints = 0, RunPures = 0;

  // --- spectrum display ------------------------------------------------------------------------
  std::int16_t PlotYMax = 0;
  std::int16_t PlotYMin = 0;
};

}  // namespace kolvane
