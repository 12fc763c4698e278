#include "engine/DiskFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace velmora::engine {

namespace {

// Folder handles kept open at most; past that they are all closed and
// opened again as needed.
constexpr std::size_t kMaxOpenFolders = 256;

// Why name could not be opened as a folder in dirFd, from what lies there.
LossReason ReasonAt(int dirFd, const std::string& name, int error) {
  struct stat st {};
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISLNK(st.st_mode)) return LossReason::SymbolicLink;
    if (!S_ISDIR(st.st_mode)) return LossReason::FileInTheWay;
  }
  return LossReasonOfErrno(error);
}

}  // namespace

DiskFileWriter::DiskFileWriter(std::string strRoot) : m_strRoot(std::move(strRoot)) {}

DiskFileWriter::~DiskFileWriter() {
  End(false);
  CloseFolders();
}

void DiskFileWriter::CloseFolders() {
  for (const auto& folder : m_folders) ::close(folder.second);
  m_folders.clear();
  if (m_rootFd >= 0) ::close(m_rootFd);
  m_rootFd = -1;
}

void DiskFileWriter::Fail(LossReason reason) { m_reason = reason; }

bool DiskFileWriter::OpenRoot() {
  if (m_rootFd >= 0) return true;
  std::vector<std::string> created;
  if (!EnsureFolder(m_strRoot, created)) {
    const int error = errno;
    std::error_code ec;
    for (auto it = created.rbegin(); it != created.rend(); ++it) std::filesystem::remove(*it, ec);
    Fail(std::filesystem::exists(m_strRoot, ec) ? LossReason::FileInTheWay : LossReasonOfErrno(error));
    return false;
  }
  m_rootFd = ::open(m_strRoot.empty() ? "." : m_strRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (m_rootFd < 0) {
    Fail(LossReasonOfErrno(errno));
    std::error_code ec;
    for (auto it = created.rbegin(); it != created.rend(); ++it) std::filesystem::remove(*it, ec);
    return false;
  }
  m_rootCreated = std::move(created);
  return true;
}

int DiskFileWriter::OpenFolder(const std::string& strRelative) {
  if (strRelative.empty()) return m_rootFd;
  const auto known = m_folders.find(strRelative);
  if (known != m_folders.end()) return known->second;

  const std::string parent = GetParentFolder(strRelative);
  const int parentFd = OpenFolder(parent);
  if (parentFd < 0) return -1;
  const std::string name = parent.empty() ? strRelative : strRelative.substr(parent.size() + 1);

  const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(parentFd, name.c_str(), flags);
  if (fd < 0 && errno == ENOENT) {
    if (::mkdirat(parentFd, name.c_str(), 0777) == 0) {
      m_created.push_back(strRelative);
    } else if (errno != EEXIST) {
      Fail(LossReasonOfErrno(errno));
      return -1;
    }
    fd = ::openat(parentFd, name.c_str(), flags);
  }
  if (fd < 0) {
    Fail(ReasonAt(parentFd, name, errno));
    return -1;
  }
  m_folders.emplace(strRelative, fd);
  return fd;
}

bool DiskFileWriter::Begin(const std::string& strRelative) {
  End(false);
  if (m_folders.size() >= kMaxOpenFolders) {
    for (const auto& folder : m_folders) ::close(folder.second);
    m_folders.clear();
  }
  if (!OpenRoot()) return false;
  const std::string folder = GetParentFolder(strRelative);
  const int dirFd = OpenFolder(folder);
  if (dirFd >= 0) {
    m_file.emplace(dirFd, folder.empty() ? strRelative : strRelative.substr(folder.size() + 1));
    if (m_file->IsOpen()) return true;
    Fail(LossReasonOfErrno(m_file->LastError()));
    m_file.reset();
  }
  RemoveCreatedFolders();
  return false;
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
  if (written) {
    m_anyWritten = true;
    m_rootCreated.clear();
    m_created.clear();
  } else {
    RemoveCreatedFolders();
  }
  return written;
}

void DiskFileWriter::RemoveCreatedFolders() {
  // A folder that meanwhile holds something stays.
  for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
    const auto known = m_folders.find(*it);
    if (known != m_folders.end()) {
      ::close(known->second);
      m_folders.erase(known);
    }
    if (m_rootFd >= 0) ::unlinkat(m_rootFd, it->c_str(), AT_REMOVEDIR);
  }
  m_created.clear();
  if (!m_anyWritten && !m_rootCreated.empty()) {
    CloseFolders();
    std::error_code ec;
    for (auto it = m_rootCreated.rbegin(); it != m_rootCreated.rend(); ++it) std::filesystem::remove(*it, ec);
    m_rootCreated.clear();
  }
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
