#include "engine/DiskFileWriter.h"

#include <filesystem>
#include <system_error>

namespace velmora::engine {

namespace {

// Removes folders made for a file that was not written, deepest first; a
// folder that meanwhile holds something stays.
void RemoveCreatedFolders(const std::vector<std::string>& created) {
  std::error_code ec;
  for (auto it = created.rbegin(); it != created.rend(); ++it) std::filesystem::remove(*it, ec);
}

}  // namespace

DiskFileWriter::~DiskFileWriter() { End(false); }

bool DiskFileWriter::Begin(const std::string& strFile) {
  End(false);
  m_strFolder = GetParentFolder(strFile);
  if (m_knownFolders.count(m_strFolder) == 0 && !EnsureFolder(m_strFolder, m_created)) {
    RemoveCreatedFolders(m_created);
    m_created.clear();
    return false;
  }
  m_file.emplace(strFile);
  if (m_file->IsOpen()) return true;
  End(false);
  return false;
}

bool DiskFileWriter::Write(const char* data, std::size_t length) { return m_file && m_file->Write(data, length); }

bool DiskFileWriter::End(bool blnComplete) {
  if (!m_file) return false;
  const bool written = blnComplete && m_file->Commit();
  m_file.reset();
  if (written) {
    m_knownFolders.insert(m_strFolder);
  } else {
    RemoveCreatedFolders(m_created);
  }
  m_created.clear();
  return written;
}

std::string DiskFileWriter::GetParentFolder(const std::string& strText) {
  const auto pos = strText.rfind('/');
  return pos == std::string::npos ? std::string() : strText.substr(0, pos);
}

bool DiskFileWriter::EnsureFolder(const std::string& strFolder, std::vector<std::string>& created) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target = fs::path(!strFolder.empty() && strFolder.back() == '/' ? strFolder : strFolder + "/");
  // Find the missing folders from the deepest up, then create them parents first.
  std::vector<fs::path> missing;
  for (fs::path folder = target.parent_path(); !folder.empty(); folder = folder.parent_path()) {
    if (fs::exists(folder, ec)) break;
    missing.push_back(folder);
    if (folder == folder.parent_path()) break;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    // false without an error: someone else made it meanwhile.
    if (fs::create_directory(*it, ec)) {
      created.push_back(it->string());
    } else if (ec) {
      return false;
    }
  }
  return fs::is_directory(target, ec);
}

}  // namespace velmora::engine
