#pragma once
// The user's own folders, following the XDG base-directory rules. Every
// per-user file Velmora keeps (the system profile, the registry, the
// desktop entries of the context-menu verb) lives below one of these.
// The environment is read on every call, so a process (or a test) that
// changes HOME or XDG_* sees the new folders at once.

#include <string>

namespace velmora::platform {

// $HOME, or the password database's home folder when HOME is unset.
std::string HomeFolder();

// $XDG_CONFIG_HOME/Velmora when XDG_CONFIG_HOME is an absolute path,
// else $HOME/.config/Velmora. Nothing is created.
std::string UserConfigFolder();

// $XDG_CACHE_HOME when it is an absolute path, else $HOME/.cache. Nothing
// is created.
std::string UserCacheFolder();

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
// Nothing is created.
std::string UserDataFolder();

}  // namespace velmora::platform
