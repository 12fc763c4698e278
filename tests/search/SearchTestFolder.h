#pragma once
// A scratch folder for a search test, removed with everything in it, with
// the index file's place inside.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace velmora::test {

class SearchTestFolder {
 public:
  SearchTestFolder() {
    char name[] = "/tmp/velmora-search-XXXXXX";
    m_path = mkdtemp(name);
  }
  ~SearchTestFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
  }
  SearchTestFolder(const SearchTestFolder&) = delete;
  SearchTestFolder& operator=(const SearchTestFolder&) = delete;

  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }
  std::string indexFile() const { return m_path + "/index.sqlite"; }

 private:
  std::string m_path;
};

}  // namespace velmora::test
