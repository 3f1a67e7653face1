// In this file: a data file named when the program starts (`kolvane FILE`): opened as the File
// menu's Open command of its kind would open it, the kind found from its content, with the
// dialogs for its companions and results file following.
#pragma once

#include <string>

#include "app/flow.h"
#include "app/program.h"

namespace kolvane {

Flow OpenDataFileByKind(Program& p, const std::string& path);

}  // namespace kolvane
