// In this file: the two wrappers of the file dialogs. Both return the chosen full path or an
// empty text for a cancel.
#pragma once

#include <string>

#include "app/program.h"

namespace kolvane {

// filter: one entry, description and pattern separated by ":" or "|". Open dialogs add
// "All Files (*.*)". default_name is used by save dialogs only.
std::string AskFileName(Program& p, FileRole role, const std::string& filter,
                        const std::string& title, bool save, const std::string& default_name);
// filter: the platform form, description and pattern alternating, separated by "|". Answered
// from Program::FileAnswers[kMatrixFileAnswer] when that holds one.
std::string AskOpenFileName(Program& p, FileRole role, const std::string& filter);
constexpr const char* kMatrixFileAnswer = "New Spillover Matrix";

}  // namespace kolvane
