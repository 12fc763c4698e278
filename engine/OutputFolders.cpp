#include "engine/OutputFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace velmora::engine {

namespace {

// Folder handles kept open at most; past that the ones no file holds are
// closed and opened again as needed.
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

// Creates every missing folder of strFolder, parents first, and adds the
// ones it created to created (deepest last). True when the folder exists.
// Follows links: it is for the output folder the user chose.
bool EnsureFolder(const std::string& strFolder, std::vector<std::string>& created) {
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

void RemoveFolders(const std::vector<std::string>& folders) {
  std::error_code ec;
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) std::filesystem::remove(*it, ec);
}

}  // namespace

std::string OutputFolders::GetParentFolder(const std::string& strText) {
  const auto pos = strText.rfind('/');
  return pos == std::string::npos ? std::string() : strText.substr(0, pos);
}

OutputFolders::OutputFolders(OutputPath root) : m_strRoot(std::move(root.strPath)), m_blnMadeUp(root.blnMadeUp) {}

OutputFolders::~OutputFolders() {
  for (const auto& folder : m_handles) ::close(folder.second);
  if (m_rootFd >= 0) ::close(m_rootFd);
}

int OutputFolders::Acquire(const std::string& strRelative, LossReason& reason) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  if (m_handles.size() >= kMaxOpenFolders) CloseUnheldFolders();
  if (!OpenRoot(reason)) return -1;
  const int fd = OpenFolder(strRelative, reason);
  if (fd < 0) {
    RemoveUnused(strRelative);
    return -1;
  }
  ++m_holders[strRelative];
  ++m_openFiles;
  return fd;
}

void OutputFolders::Release(const std::string& strRelative, bool blnWritten) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const auto holder = m_holders.find(strRelative);
  if (holder == m_holders.end()) return;
  if (--holder->second == 0) m_holders.erase(holder);
  --m_openFiles;
  if (blnWritten) {
    m_anyWritten = true;
    m_rootCreated.clear();
  } else {
    RemoveUnused(strRelative);
  }
}

bool OutputFolders::OpenRoot(LossReason& reason) {
  if (m_rootFd >= 0) return true;
  std::vector<std::string> created;
  if (m_blnMadeUp) {
    m_rootFd = OpenMadeUpRoot(created, reason);
    if (m_rootFd < 0) return false;
    m_rootCreated = std::move(created);
    return true;
  }
  if (!EnsureFolder(m_strRoot, created)) {
    const int error = errno;
    RemoveFolders(created);
    std::error_code ec;
    reason = std::filesystem::exists(m_strRoot, ec) ? LossReason::FileInTheWay : LossReasonOfErrno(error);
    return false;
  }
  m_rootFd = ::open(m_strRoot.empty() ? "." : m_strRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (m_rootFd < 0) {
    reason = LossReasonOfErrno(errno);
    RemoveFolders(created);
    return false;
  }
  m_rootCreated = std::move(created);
  return true;
}

int OutputFolders::OpenMadeUpRoot(std::vector<std::string>& created, LossReason& reason) {
  std::string root = m_strRoot;
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  const auto slash = root.rfind('/');
  const std::string parent = slash == std::string::npos ? std::string(".") : root.substr(0, slash == 0 ? 1 : slash);
  const std::string name = slash == std::string::npos ? root : root.substr(slash + 1);
  if (name.empty() || name == "." || name == ".." || !EnsureFolder(parent, created)) {
    reason = name.empty() || name == "." || name == ".." ? LossReason::FolderInTheWay : LossReasonOfErrno(errno);
    RemoveFolders(created);
    return -1;
  }
  const int parentFd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parentFd < 0) {
    reason = LossReasonOfErrno(errno);
    RemoveFolders(created);
    return -1;
  }
  // mkdir never follows a link at the name; the folder is then opened
  // without following one either, so a link planted in between fails too.
  if (::mkdirat(parentFd, name.c_str(), 0777) == 0) created.push_back(root);
  const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    reason = ReasonAt(parentFd, name, errno);
    RemoveFolders(created);
  }
  ::close(parentFd);
  return fd;
}

int OutputFolders::OpenFolder(const std::string& strRelative, LossReason& reason, bool blnCreate) {
  if (strRelative.empty()) return m_rootFd;
  const auto known = m_handles.find(strRelative);
  if (known != m_handles.end()) return known->second;

  const std::string parent = GetParentFolder(strRelative);
  const int parentFd = OpenFolder(parent, reason, blnCreate);
  if (parentFd < 0) return -1;
  const std::string name = parent.empty() ? strRelative : strRelative.substr(parent.size() + 1);

  const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(parentFd, name.c_str(), flags);
  if (fd < 0 && errno == ENOENT && blnCreate) {
    if (::mkdirat(parentFd, name.c_str(), 0777) == 0) {
      m_made.insert(strRelative);
    } else if (errno != EEXIST) {
      reason = LossReasonOfErrno(errno);
      return -1;
    }
    fd = ::openat(parentFd, name.c_str(), flags);
  }
  if (fd < 0) {
    reason = ReasonAt(parentFd, name, errno);
    return -1;
  }
  m_handles.emplace(strRelative, fd);
  return fd;
}

void OutputFolders::RemoveUnused(const std::string& strRelative) {
  // A folder that holds something (a written file, a file being written,
  // or a folder) cannot be removed, and then neither can the ones above it.
  // Each folder is removed from its parent's handle: a path from the
  // output folder would follow a link planted on the way since.
  for (std::string folder = strRelative; !folder.empty(); folder = GetParentFolder(folder)) {
    if (m_made.count(folder) == 0) continue;
    if (m_holders.count(folder) > 0 || m_rootFd < 0) break;
    const std::string parent = GetParentFolder(folder);
    LossReason ignored = LossReason::WriteFailed;
    const int parentFd = OpenFolder(parent, ignored, false);
    const std::string name = parent.empty() ? folder : folder.substr(parent.size() + 1);
    if (parentFd < 0 || ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) != 0) break;
    m_made.erase(folder);
    const auto handle = m_handles.find(folder);
    if (handle != m_handles.end()) {
      ::close(handle->second);
      m_handles.erase(handle);
    }
  }
  if (!m_anyWritten && m_openFiles == 0 && !m_rootCreated.empty()) {
    for (const auto& folder : m_handles) ::close(folder.second);
    m_handles.clear();
    m_made.clear();
    ::close(m_rootFd);
    m_rootFd = -1;
    RemoveFolders(m_rootCreated);
    m_rootCreated.clear();
  }
}

void OutputFolders::CloseUnheldFolders() {
  for (auto it = m_handles.begin(); it != m_handles.end();) {
    if (m_holders.count(it->first) > 0) {
      ++it;
    } else {
      ::close(it->second);
      it = m_handles.erase(it);
    }
  }
}

}  // namespace velmora::engine
