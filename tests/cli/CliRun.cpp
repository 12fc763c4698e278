#include "tests/cli/CliRun.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "cli/CliApplication.h"

namespace velmora::test {

CliRun RunCli(const std::vector<std::string>& args, platform::StorageServiceFactory factory, bool blnShowProgress) {
  cli::CliEnvironment env;
  env.blnShowProgress = blnShowProgress;
  env.factory = std::move(factory);
  std::ostringstream out;
  std::ostringstream err;
  CliRun run;
  run.status = cli::CliApplication(env).Run(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

ScratchFolder::ScratchFolder() {
  std::string name = (std::filesystem::temp_directory_path() / "velmora-test-XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("cannot create " + name);
  m_path = name;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

std::string WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::pair<std::string, std::string>> FilesBelow(const std::filesystem::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files.emplace_back(std::filesystem::relative(entry.path(), folder).string(), ReadFile(entry.path().string()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace velmora::test
