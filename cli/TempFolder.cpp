#include "cli/TempFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace velmora::cli {

TempFolder::TempFolder() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  m_path = (base / "velmora-cli-XXXXXX").string();
  std::vector<char> name(m_path.begin(), m_path.end());
  name.push_back('\0');
  if (mkdtemp(name.data()) != nullptr) {
    m_path = name.data();
    m_blnCreated = true;
  }
}

TempFolder::~TempFolder() {
  if (!m_blnCreated) return;
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

}  // namespace velmora::cli
