// In this file: File > Open Dataset..., the one-step open: the kind of a data file told from its
// content, its companions found by its stem (STEM.blk and STEM.ctl, or STEM.slk, as the batch's
// --companions finds them), and the load with the dialogs answered from that set. The window
// shows the set; a companion changed or removed there loads the dataset again with it.
#pragma once

#include <string>

#include "app/data_kind.h"
#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

// The kind of the data file at `path`, told as the loaders tell it (KindOfDataFile). Unknown,
// with `problem` naming the file and the reason, for a file of neither kind or one that cannot
// be read.
DataKind DataKindOf(const std::string& path, std::string& problem);

// The set for `data` of kind `scan`: the companions that exist beside it, the results file the
// loaders propose (DATA.scf).
DatasetFiles ProposeDataset(const std::string& data, bool scan);

// Loads `files` without asking for any file. On a complete load the window shows the set and it
// becomes the newest recent dataset.
Flow OpenDatasetFiles(Program& p, const DatasetFiles& files);
// File > Open Dataset... with the data file chosen (a dialog, a drop, the command line): the
// kind from its content (a file of neither kind is refused with a message, the window as it
// was), its companions, then the load.
Flow OpenDatasetFile(Program& p, const std::string& data);
// File > Open Dataset...: asks for the data file ("Open Dataset", either kind), then as above.
Flow OpenDataset_Click(Program& p);
// Change... or Remove (an empty path) of a companion ("blanks" or "controls"): the dataset is
// loaded again with it.
Flow ChangeCompanion(Program& p, const std::string& which, const std::string& path);
// The results path edited in the window: the loaded dataset's results file becomes `path` (the
// run writes it; a file being read is refused with a message and the old path kept).
Flow ChangeResultsPath(Program& p, const std::string& path);

// The options panel's choices (result format, background subtraction, control correction) kept
// in the preferences as the user left them at Analyze, and given back to a freshly loaded
// dataset's window (where the dataset offers them).
void KeepOptions(Program& p);
void ApplyKeptOptions(Program& p);

}  // namespace kolvane
