// In this file: the system's text for an error number, safe to call from the workers of a study.
#pragma once

#include <string>

namespace kolvane {

std::string ErrorText(int error);

}  // namespace kolvane
