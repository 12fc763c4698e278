#pragma once
// Runs velmora-cli in-process with its output captured, and a scratch folder
// that is removed with everything in it.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/storage/StorageService.h"

namespace velmora::test {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// factory empty: the libmspack storage service.
CliRun RunCli(const std::vector<std::string>& args, platform::StorageServiceFactory factory = {},
              bool blnShowProgress = false);

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

// Creates (or replaces) a file holding content; returns its path.
std::string WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);

// Every regular file below folder as "relative/path" -> content.
std::vector<std::pair<std::string, std::string>> FilesBelow(const std::filesystem::path& folder);

}  // namespace velmora::test
