#pragma once
// Replaces each %NAME% reference by the value of the environment variable
// NAME. A reference to a variable that is not set is kept as written, and
// its closing "%" may open the next reference (as on Windows).

#include <string>

namespace velmora::platform {

std::string ExpandEnvironmentStrings(const std::string& text);

}  // namespace velmora::platform
