#pragma once
// Where the configuration file "Velmora.config" lives.

#include <string>

namespace velmora::settings {

inline constexpr const char* kConfigFileName = "Velmora.config";

// "Velmora.config" in the program's folder when that folder is writable,
// else in the user's config folder ($XDG_CONFIG_HOME/Velmora or
// ~/.config/Velmora). Nothing is created.
std::string DefaultConfigPath();

// The same rule for a given program folder.
std::string ConfigPathFor(const std::string& strAppFolder);

}  // namespace velmora::settings
