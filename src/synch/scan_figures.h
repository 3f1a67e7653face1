// In this file: the figures of a scan run's fit matrix (rows the fit points, columns the
// pures, each scaled to its peak) and of its initial blanks, and what the run notes of every
// record: its R^2, its Hi-Lo flag and, for the worst fit so far, its spectrum and fit.
#pragma once

#include "app/program.h"
#include "numeric/matrix.h"
#include "synch/scan_fit.h"

namespace kolvane {

// After BuildFitMatrix.
void FillScanFigures(Program& p);
// After WriteRunHead has settled the conversion factors.
void SetScanResultSpreads(Program& p);
void NoteScanRecord(Program& p, const Vector& x, const FitQuality& quality);

}  // namespace kolvane
