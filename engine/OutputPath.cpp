#include "engine/OutputPath.h"

#include <sys/stat.h>

namespace velmora::engine {

bool IsSymbolicLink(const std::string& strPath) {
  std::string path = strPath;
  // "name/" would make lstat follow the link to its folder.
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  struct stat st {};
  return !path.empty() && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::string MadeUpFolderIsLinkMessage(const std::string& strPath) {
  return "默认的输出文件夹是符号链接，为安全起见不写入：" + strPath;
}

}  // namespace velmora::engine
