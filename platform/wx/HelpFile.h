#pragma once
// The help command of both programs: no help file ships; one put beside the
// program has its folder opened. False when there is none (the caller says so).

#include <string>

namespace platform {

bool OpenHelpFile(const std::string& nativePath);

}  // namespace platform
