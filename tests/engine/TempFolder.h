#pragma once
// A fresh folder under the system's temporary folder (or another base), removed with all its
// contents when the object goes away, and a reader that turns a folder tree
// into a map for byte-by-byte comparison.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace velmora::test {

class TempFolder {
 public:
  explicit TempFolder(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
    std::string pattern = (base / "velmora-engine-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  // A path inside the folder, as text.
  std::string operator/(const std::string& relative) const { return (m_path / relative).string(); }

 private:
  std::filesystem::path m_path;
};

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// Every file and folder below root: relative path -> bytes; folders end in
// "/" and map to an empty text. A missing root gives an empty map.
inline std::map<std::string, std::string> ReadTree(const std::filesystem::path& root) {
  std::map<std::string, std::string> tree;
  std::error_code ec;
  if (!std::filesystem::exists(root, ec)) return tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string relative = std::filesystem::relative(entry.path(), root).string();
    if (entry.is_directory()) {
      tree[relative + "/"] = "";
    } else {
      tree[relative] = ReadFile(entry.path());
    }
  }
  return tree;
}

}  // namespace velmora::test
