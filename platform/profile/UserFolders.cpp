#include "platform/profile/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace velmora::platform {

namespace {

// An XDG variable counts only when it holds an absolute path; relative
// values are to be ignored.
std::string AbsoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return value;
}

}  // namespace

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return "/";
}

std::string UserConfigFolder() {
  std::string base = AbsoluteEnv("XDG_CONFIG_HOME");
  if (base.empty()) base = HomeFolder() + "/.config";
  return base + "/Velmora";
}

std::string UserCacheFolder() {
  std::string base = AbsoluteEnv("XDG_CACHE_HOME");
  if (base.empty()) base = HomeFolder() + "/.cache";
  return base;
}

std::string UserDataFolder() {
  std::string base = AbsoluteEnv("XDG_DATA_HOME");
  if (base.empty()) base = HomeFolder() + "/.local/share";
  return base;
}

}  // namespace velmora::platform
