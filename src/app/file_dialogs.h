// In this file: the two wrappers of the file dialogs. Both return the chosen full path or an
// empty text for a cancel.
#pragma once

#include <functional>
#include <string>

#include "app/program.h"

namespace kolvane {

// filter: one entry, description and pattern separated by ":" or "|". Open dialogs add
// "All Files (*.*)". default_name is used by save dialogs only.
std::string AskFileName(Program& p, FileRole role, const std::string& filter,
                        const std::string& title, bool save, const std::string& default_name);
// filter: the platform form, description and pattern alternating, separated by "|".
// Both take the answer Program::FileAnswers gives for the role, when it gives one.
std::string AskOpenFileName(Program& p, FileRole role, const std::string& filter);

// The results file of a load, opened on the results channel and held for the run. Asks again
// while the answer cannot be taken (`refused` gives the reason, empty when it can be) or cannot
// be opened for writing, saying why; the files chosen before stay chosen. A host that would
// answer the same again gets one message, `refused`'s text followed by `final_words`, and the
// load ends. Returns the path, or empty for a cancel or a refusal that ends the load.
std::string AskResultsFile(Program& p, const std::string& proposed,
                           const std::function<std::string(const std::string&)>& refused,
                           const std::string& final_words);

}  // namespace kolvane
