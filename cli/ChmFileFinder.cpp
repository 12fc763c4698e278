#include "cli/ChmFileFinder.h"

#include <algorithm>
#include <filesystem>

#include "cli/CliMessages.h"

namespace velmora::cli {

namespace {

bool HasChmExtension(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; });
  return extension == ".chm";
}

}  // namespace

std::vector<std::string> FindChmFiles(const std::vector<std::string>& paths, std::ostream& err) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
      if (fs::exists(path, error)) files.push_back(path);
      else err << kMissingFileMessage << path << '\n';
      continue;
    }
    std::vector<std::string> found;
    fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      if (HasChmExtension(it->path()) && it->is_regular_file(error)) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

}  // namespace velmora::cli
