#pragma once
// Points HOME, XDG_CONFIG_HOME and XDG_DATA_HOME at a fresh temporary
// folder for the life of the object, so tests never touch the real user's
// files; the old values come back and the folder is removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmora::test {

class ScopedUserFolders {
 public:
  ScopedUserFolders() {
    std::string pattern = (std::filesystem::temp_directory_path() / "velmora-user-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    m_root = pattern;
    Point("HOME", m_root + "/home");
    Point("XDG_CONFIG_HOME", m_root + "/config");
    Point("XDG_DATA_HOME", m_root + "/data");
    std::filesystem::create_directories(m_root + "/home");
  }
  ~ScopedUserFolders() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
      if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
      else unsetenv(it->first.c_str());
    }
    std::error_code error;
    std::filesystem::remove_all(m_root, error);
  }
  ScopedUserFolders(const ScopedUserFolders&) = delete;
  ScopedUserFolders& operator=(const ScopedUserFolders&) = delete;

  const std::string& Root() const { return m_root; }
  std::string Home() const { return m_root + "/home"; }
  std::string ConfigHome() const { return m_root + "/config"; }
  std::string DataHome() const { return m_root + "/data"; }

 private:
  void Point(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name, value.c_str(), 1);
  }

  std::string m_root;
  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

}  // namespace velmora::test
