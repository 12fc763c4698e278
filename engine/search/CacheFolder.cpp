#include "engine/search/CacheFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/profile/UserFolders.h"

namespace velmora::search {

std::string SearchCacheFolder() { return platform::UserCacheFolder() + "/velmora"; }

std::string IndexFileIn(const std::string& folder) { return folder + "/search-index.sqlite"; }

bool MakeCacheFolder(const std::string& folder, std::string& error) {
  // Each prefix ending before a "/" in turn, then the folder itself.
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string prefix = folder.substr(0, end);
    if (!prefix.empty() && mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      error = prefix + ": " + std::strerror(errno);
      return false;
    }
    if (end == std::string::npos) break;
  }
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    error = folder + ": " + std::strerror(errno != 0 ? errno : ENOTDIR);
    return false;
  }
  return true;
}

}  // namespace velmora::search
