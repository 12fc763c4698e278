#include "engine/DiskFileWriter.h"

#include <utility>

namespace velmora::engine {

DiskFileWriter::DiskFileWriter(OutputPath root) : m_folders(std::make_shared<OutputFolders>(std::move(root))) {}

DiskFileWriter::DiskFileWriter(std::shared_ptr<OutputFolders> folders) : m_folders(std::move(folders)) {}

DiskFileWriter::~DiskFileWriter() { End(false); }

bool DiskFileWriter::Begin(const std::string& strRelative) {
  End(false);
  const std::string folder = OutputFolders::GetParentFolder(strRelative);
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

}  // namespace velmora::engine
