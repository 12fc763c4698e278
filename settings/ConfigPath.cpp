#include "settings/ConfigPath.h"

#include <unistd.h>

#include "engine/basVelmora.h"
#include "platform/profile/UserFolders.h"

namespace velmora::settings {

std::string DefaultConfigPath() { return ConfigPathFor(engine::basVelmora::GetAppFolder()); }

std::string ConfigPathFor(const std::string& strAppFolder) {
  if (!strAppFolder.empty() && access(strAppFolder.c_str(), W_OK | X_OK) == 0) {
    return strAppFolder + "/" + kConfigFileName;
  }
  return platform::UserConfigFolder() + "/" + kConfigFileName;
}

}  // namespace velmora::settings
