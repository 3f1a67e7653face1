// In this file: the fixed-wavelength analysis run: the tissue question, the matrix for the
// colours in use, the conversion factors from the pures, the head of the results file and one
// results line per record, solved against the spillover matrix.
#include "fixed/fixed_run.h"

#include <cfloat>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_form_ops.h"
#include "app/run_control.h"
#include "app/run_cancel.h"
#include "app/status_line.h"
#include "app/tissue_choices.h"
#include "base/numbers.h"
#include "fixed/blanks_controls.h"
#include "fixed/fixed_figures.h"
#include "fixed/header.h"
#include "fixed/pure_matrix.h"
#include "fixed/records.h"
#include "fixed/results_file.h"
#include "numeric/gauss.h"

namespace kolvane {

namespace {

// What the run keeps for itself: the system of the colours in use, eliminated once, and the
// factors that turn corrected intensities into results. The entered microspheres/ml stay as
// the entry boxes show them.
struct FixedRun {
  int n = 0;                                 // MatrixSize
  int slot_of[kSolveDim] = {};               // matrix position -> colour slot
  int position_of[kSolveDim] = {};           // colour slot -> matrix position (0: not in use)
  double matrix[kSolveDim][kSolveDim] = {};  // the system: row = colour, column = pure
  GaussFactors factors;
  double rhs[kSolveDim] = {};
  double x[kSolveDim] = {};
  double factor[kSolveDim] = {};
  double values[kSolveDim] = {};
  bool overload = false;
};

std::int16_t Solve(FixedRun& r) {
  std::int16_t code = 0;
  GaussSolveFactored(r.factors, r.rhs, r.x, code);
  return code;
}

void ClampNegatives(FixedRun& r) {
  for (int i = 1; i <= r.n; ++i)
    if (r.x[i] < 0) r.x[i] = 0;
}

// The tissue column can only be left out when it is colour 1: the matrix drops slot 1 while
// the readings drop every tissue colour, and the two must agree.
bool TissueLeftOutAsColorOne(const Program& p) {
  if (!p.ColorIsTissue[1] || !p.ColorSelected[1]) return false;
  for (int c = 2; c <= p.NumColors; ++c)
    if (p.ColorSelected[c] && p.ColorIsTissue[c]) return false;
  return true;
}

Flow SettleTissue(Program& p) {
  if (p.TissueColumn && p.TissueInFile) {
    ShowTissueDialog(p);
    if (p.Ending) return Flow::ProgramEnding;
    if (p.TissueRunCancelled) return CancelRunBeforeStart(p);
  } else {
    p.TissueColumn = false;
    p.TissueExcluded = false;
  }
  if (p.TissueExcluded && !TissueLeftOutAsColorOne(p)) {
    ShowRunStop(
        p,
        "Tissue can be left out of the spillover correction only when the Tissue column is the "
        "first color of the file.  Please use tissue in the spillover correction or edit the "
        "data file.");
    return Flow::Stop;
  }
  return Flow::Continue;
}

Flow PrepareMatrix(Program& p, FixedRun& r) {
  r.n = 0;
  for (auto& name : p.MatrixColorNames) name.clear();
  for (int c = 1; c <= p.NumColors; ++c) {
    if (!IsColorUsed(p, c)) continue;
    ++r.n;
    r.slot_of[r.n] = c;
    r.position_of[c] = r.n;
    p.MatrixColorNames[r.n] = p.form.Color[c].caption;
  }
  p.MatrixSize = static_cast<std::int16_t>(r.n);
  if (p.MatrixSize != p.NumColors) CompactMatrix(p);
  Flow f = NormalizeSpillMatrix(p);
  if (f != Flow::Continue) return f;
  // A matrix from a file gives no factors of its own: the entered values stand unless the
  // pures replace them, and only the microspheres/ml format uses them.
  for (int i = 1; i <= r.n; ++i)
    r.factor[i] = p.ResultsInMicrospheres ? p.MicrosPerMlValues[r.slot_of[i]] : 1.0;
  for (int i = 1; i <= r.n; ++i)
    for (int j = 1; j <= r.n; ++j) r.matrix[i][j] = p.SpillMatrix[j][i];
  GaussFactor(r.matrix, static_cast<std::int16_t>(r.n), r.factors);
  FillFixedFigures(p, r.matrix, r.n, r.slot_of);
  return AskAboutCondition(p);
}

Flow ReadFailed(Program& p) {
  ShowRunStop(p, p.fixed.RecordProblem + "  Analysis ending.");
  SetBusyPointer(p, false);
  return Flow::Stop;
}

// The pures give each colour's conversion factor: the entered microspheres/ml over the pure's
// own corrected intensity. Returns the number of pures taken.
Flow PurePass(Program& p, FixedRun& r, int& taken) {
  FixedTables& t = p.fixed;
  bool seen[kSolveDim] = {};
  taken = 0;
  r.overload = false;
  for (int read = 0; read < p.NumColors + 1; ++read) {
    RecordRead rr = ReadDataRecord(p);
    if (rr == RecordRead::End) break;
    if (rr == RecordRead::Ending) return Flow::ProgramEnding;
    if (rr == RecordRead::Bad) return ReadFailed(p);
    int slot = t.RecordNumber;
    if (t.RecordType != "P" || slot < 1 || slot > p.NumColors || seen[slot]) continue;
    int pos = r.position_of[slot];
    if (pos == 0) continue;  // left out, or the tissue column passed through
    seen[slot] = true;
    ++taken;
    for (int k = 1; k <= r.n; ++k) {
      int c = r.slot_of[k];
      r.rhs[k] = t.Readings[c];
      if (r.rhs[k] > 998) r.overload = true;
      if (p.BackgroundOn) {
        r.rhs[k] = r.rhs[k] - t.PureBackground[c];
        if (r.rhs[k] < 0) r.rhs[k] = 0;
      }
    }
    std::int16_t code = Solve(r);
    if (code != 0) {
      ShowRunStop(p, "Error (" + std::to_string(code) + " in Partial Pivoting.  Analysis ending.");
      EndProgram(p);
      return Flow::ProgramEnding;
    }
    ClampNegatives(r);
    if (p.ResultsInMicrospheres) {
      if (r.x[pos] == 0) {
        ShowRunStop(p,
                    "Problem computing spillover matrix.  "
                    "Please edit data file or enter new spillover matrix.");
        p.channels.CloseAll();
        SetBusyPointer(p, false);
        return Flow::Stop;
      }
      r.factor[pos] = p.MicrosPerMlValues[slot] / r.x[pos];
    } else {
      r.factor[pos] = 1;
    }
  }
  return Flow::Continue;
}

Flow WriteHeading(Program& p) {
  p.channels.In(Channels::kData).Rewind();
  WriteTitleLine(p);
  Flow f = ReadDataFileHeader(p, false, true);
  if (f != Flow::Continue) return f;
  CompactBackground(p, BackgroundOf::Pures);
  CompactBackground(p, BackgroundOf::Samples);
  CompactControls(p, ControlsOf::Reference);
  CompactControls(p, ControlsOf::Current);
  WriteAnalysisAdjustments(p);
  PrintSpillMatrix(p);
  WriteColumnHeading(p);
  return Flow::Continue;
}

void ShowProgress(Program& p, int counter) {
  int percent = 100;
  if (p.NumSamples > 0) {
    double share = RoundHalfEven(static_cast<double>(counter) / p.NumSamples * 100.0);
    if (share < 100) percent = static_cast<int>(share);
  }
  ProgressBarControl& bar = p.form.Perc_Panel;
  if (bar.value == percent && bar.visible && bar.minimum == 0 && bar.maximum == 100) return;
  bar.minimum = 0;
  bar.maximum = 100;
  bar.visible = true;
  bar.value = percent;
  NotifyFormChanged(p);
}

// A record read and solved whose result line and progress are still to come.
struct Unfinished {
  bool pending = false;
  bool line = false;  // a P or S record: it has a result line
  int counter = 0;
  ResultRecord record;
  bool overload = false;
  std::int16_t code = 0;   // the solve's
  bool too_large = false;  // results beyond a double
  double rhs[kSolveDim] = {};
  double x[kSolveDim] = {};
  double values[kSolveDim] = {};
};

// The record just read, ready to solve: its corrected readings as the right-hand side.
void Prepare(Program& p, const FixedRun& r, Unfinished& u, int& counter) {
  FixedTables& t = p.fixed;
  u.pending = true;
  u.counter = ++counter;
  const bool sample = t.RecordType == "S";
  u.line = sample || t.RecordType == "P";
  if (!u.line) return;
  u.record = CurrentResultRecord(p);
  u.overload = r.overload;
  for (int k = 1; k <= r.n; ++k) u.rhs[k] = t.Readings[r.slot_of[k]];
  if (p.BackgroundOn) {
    if (sample && t.NextBlankStart < t.RecordNumber) ApplyNextBlank(p);
    const FixedTables::Slots& bg = sample ? t.SampleBackground : t.PureBackground;
    for (int k = 1; k <= r.n; ++k) u.rhs[k] = u.rhs[k] - bg[k];
  }
  if (sample && p.ControlCorrectionOn) {
    if (t.NextControlStart < t.RecordNumber) ApplyNextControl(p);
    ApplyControlCorrection(p, u.rhs);
  }
}

// The results of a solved record, or what stops them being written.
void Conclude(const FixedRun& r, Unfinished& u) {
  if (u.code != 0) return;
  bool finite = true;
  for (int k = 1; k <= r.n; ++k) {
    const double x = u.x[k] < 0 ? 0 : u.x[k];
    u.values[k] = r.factor[k] * x;
    finite = finite && std::isfinite(u.values[k]);
  }
  u.too_large = !finite && !u.overload;
}

void SolveOne(FixedRun& r, Unfinished& u) {
  for (int k = 1; k <= r.n; ++k) r.rhs[k] = u.rhs[k];
  u.code = Solve(r);
  for (int k = 1; k <= r.n; ++k) u.x[k] = r.x[k];
  Conclude(r, u);
}

void Finish(Program& p, Unfinished& u) {
  if (!u.pending) return;
  if (u.line) {
    WriteResultLine(p, u.record, u.values, u.overload);
    CountResultLine(p, u.overload ? p.MatrixSize : 0, false);
  }
  ++p.ledger.records_read;
  ShowProgress(p, u.counter);
  u.pending = false;
}

// After the window had the word for a record: the end, or the messages that stop the run.
// Continue when its line may be written.
Flow Settled(Program& p, RecordRead rr, const Unfinished& u, bool& end) {
  end = false;
  if (rr == RecordRead::End) {
    end = true;
    return Flow::Continue;
  }
  if (rr == RecordRead::Ending) return Flow::ProgramEnding;
  if (rr == RecordRead::Bad) return ReadFailed(p);
  if (u.code != 0) {
    ShowRunStop(p, "Error in Partial Pivoting.  Analysis ending.");
    SetBusyPointer(p, false);
    p.channels.CloseAll();
    return Flow::Stop;
  }
  if (u.too_large) {
    ShowRunStop(p, "The results of record " + u.record.type + std::to_string(u.record.number) +
                       " are too large to be written.  Analysis ending.");
    SetBusyPointer(p, false);
    p.channels.CloseAll();
    return Flow::Stop;
  }
  return Flow::Continue;
}

// Records are read two at a time and solved together, before the previous record's line is
// written: each solve is a long chain of dependent operations, and two side by side keep the
// processor busy. What anyone can see keeps its order: a record's line and progress come
// before the window gets the word for the next record, and before any message about it.
Flow SamplePass(Program& p, FixedRun& r, int counter) {
  p.form.Directions.visible = false;
  p.form.ProgressBar.visible = true;
  p.form.Perc_Panel.visible = true;
  NotifyFormChanged(p);
  auto slots = std::make_unique<Unfinished[]>(3);
  Unfinished* previous = &slots[0];
  Unfinished* first = &slots[1];
  Unfinished* second = &slots[2];
  for (;;) {
    if (CheckConfirmedAbort(p)) {
      SetBusyPointer(p, false);
      return Flow::Stop;
    }
    first->code = 0;
    first->too_large = false;
    second->code = 0;
    second->too_large = false;
    const RecordRead read_first = ReadDataRecordUnsettled(p);
    RecordRead read_second = RecordRead::End;
    bool two = false;
    if (read_first == RecordRead::Record) {
      Prepare(p, r, *first, counter);
      read_second = ReadDataRecordUnsettled(p);
      two = read_second == RecordRead::Record;
      if (two) Prepare(p, r, *second, counter);
    }
    if (two && first->line && second->line) {
      GaussSolveFactoredPair(r.factors, first->rhs, second->rhs, first->x, second->x, first->code);
      second->code = first->code;
      Conclude(r, *first);
      Conclude(r, *second);
    } else {
      if (first->pending && first->line) SolveOne(r, *first);
      if (two && second->line) SolveOne(r, *second);
    }

    bool end = false;
    Finish(p, *previous);
    Flow f = Settled(p, SettleRecordRead(p, read_first), *first, end);
    if (f != Flow::Continue || end) return f;
    Finish(p, *first);
    f = Settled(p, SettleRecordRead(p, read_second), *second, end);
    if (f != Flow::Continue || end) return f;
    std::swap(previous, second);
  }
}

// The run uses what the entry box shows: a number within single precision, not negative.
bool UsableEntry(Program& p, int slot) {
  std::optional<double> typed = p.host.ParseUserNumber(p.form.MicrosPerMlFix[slot].text);
  double v = p.MicrosPerMlValues[slot];
  return typed && *typed >= 0 && *typed <= FLT_MAX && v >= 0 && v <= FLT_MAX;
}

}  // namespace

Flow CheckFixedRunPreconditions(Program& p) {
  if (!p.FixedDataLoaded) return Flow::Continue;
  if (p.ResultsInMicrospheres) {
    for (int c = 1; c <= p.NumColors; ++c) {
      if (!p.ColorSelected[c] || UsableEntry(p, c)) continue;
      p.form.focus = Focus{"MicrosPerMlFix", c};
      NotifyFormChanged(p);
      p.host.ShowMessage("Entry must be a positive integer");
      return Flow::Stop;
    }
  }
  if (p.ControlCorrectionOn) {
    std::string zero = FindZeroControl(p);
    if (!zero.empty()) {
      p.host.ShowMessage(zero);
      return Flow::Stop;
    }
  }
  return Flow::Continue;
}

Flow RunFixedAnalysis(Program& p) {
  Flow f = SettleTissue(p);
  if (f != Flow::Continue) return f;
  auto run = std::make_unique<FixedRun>();
  f = PrepareMatrix(p, *run);
  if (f != Flow::Continue) return f;
  SetBusyPointer(p, true);
  int pures_taken = 0;
  f = PurePass(p, *run, pures_taken);
  if (f != Flow::Continue) return f;
  SetResultSpreads(p.figures, std::vector<double>(run->factor, run->factor + run->n + 1),
                   p.ResultsInMicrospheres);
  f = WriteHeading(p);
  if (f != Flow::Continue) {
    SetBusyPointer(p, false);
    return f;
  }
  f = SamplePass(p, *run, pures_taken);
  if (f != Flow::Continue) return f;
  p.form.Perc_Panel.visible = false;
  NotifyFormChanged(p);
  SetBusyPointer(p, false);
  p.ledger.end = RunEnd::Complete;
  return Flow::Continue;
}

}  // namespace kolvane
