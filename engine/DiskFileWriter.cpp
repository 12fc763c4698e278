#include "engine/DiskFileWriter.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace velmora::engine {

DiskFileWriter::DiskFileWriter(std::string strRoot)
    : m_folders(std::make_shared<OutputFolders>(std::move(strRoot))) {}

DiskFileWriter::DiskFileWriter(std::shared_ptr<OutputFolders> folders) : m_folders(std::move(folders)) {}

DiskFileWriter::~DiskFileWriter() { End(false); }

bool DiskFileWriter::Begin(const std::string& strRelative) {
  End(false);
  const std::string folder = GetParentFolder(strRelative);
  LossReason reason = LossReason::WriteFailed;
  const int dirFd = m_folders->Acquire(folder, reason);
  if (dirFd < 0) {
    Fail(reason);
    return false;
  }
  try {
    m_file.emplace(dirFd, folder.empty() ? strRelative : strRelative.substr(folder.size() + 1));
  } catch (...) {
    // Out of memory: the folder is let go, so it can still be removed.
    m_folders->Release(folder, false);
    throw;
  }
  if (!m_file->IsOpen()) {
    Fail(LossReasonOfErrno(m_file->LastError()));
    m_file.reset();
    m_folders->Release(folder, false);
    return false;
  }
  m_strFolder = folder;
  return true;
}

bool DiskFileWriter::Write(const char* data, std::size_t length) {
  if (!m_file) return false;
  if (m_file->Write(data, length)) return true;
  Fail(LossReasonOfErrno(m_file->LastError()));
  return false;
}

bool DiskFileWriter::End(bool blnComplete) {
  if (!m_file) return false;
  const bool written = blnComplete && m_file->Commit();
  if (blnComplete && !written) Fail(LossReasonOfErrno(m_file->LastError()));
  m_file.reset();
  m_folders->Release(m_strFolder, written);
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
      errno = ec.value();
      return false;
    }
  }
  if (fs::is_directory(target, ec)) return true;
  errno = ENOTDIR;
  return false;
}

}  // namespace velmora::engine
