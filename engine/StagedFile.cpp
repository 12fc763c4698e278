#include "engine/StagedFile.h"

#include <fcntl.h>
#include <unistd.h>
#if defined(__linux__) && defined(O_TMPFILE)
#include <linux/capability.h>
#include <sys/syscall.h>
#define VELMORA_UNNAMED_FILES 1
#endif

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace velmora::engine {

namespace {

std::atomic<unsigned> g_counter{0};
std::atomic<bool> g_unnamedAllowed{true};

int SystemOpenat(int dirFd, const char* path, int flags, mode_t mode) { return ::openat(dirFd, path, flags, mode); }

const StagedFile::SystemCalls kOwnCalls{&SystemOpenat, &::write, &::close, &::linkat, &::renameat};
std::atomic<const StagedFile::SystemCalls*> g_calls{&kOwnCalls};

const StagedFile::SystemCalls& Calls() { return *g_calls.load(); }

// linkat(fd, "", ..., AT_EMPTY_PATH) needs CAP_DAC_READ_SEARCH; asked once.
bool CanLinkUnnamedFiles() {
#ifdef VELMORA_UNNAMED_FILES
  static const bool can = [] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    return (data[CAP_DAC_READ_SEARCH / 32].effective & (1u << (CAP_DAC_READ_SEARCH % 32))) != 0;
  }();
  return can;
#else
  return false;
#endif
}

// Temporary names: a counter per process.
std::string NextTemporaryName() {
  // Asked once: a system call per file adds up over thousands of files. A
  // child made by fork shares the names, which O_EXCL still keeps apart.
  static const long pid = static_cast<long>(::getpid());
  char name[64];
  std::snprintf(name, sizeof name, ".velmora-%ld-%u.tmp", pid, g_counter++);
  return name;
}

}  // namespace

const StagedFile::SystemCalls& StagedFile::OwnSystemCalls() { return kOwnCalls; }

void StagedFile::SetSystemCalls(const SystemCalls* calls) { g_calls = calls ? calls : &kOwnCalls; }

void StagedFile::AllowUnnamedFiles(bool allowed) { g_unnamedAllowed = allowed; }

StagedFile::StagedFile(std::string strTarget) {
  const auto pos = strTarget.rfind('/');
  const std::string folder = pos == std::string::npos ? std::string(".") : strTarget.substr(0, pos + 1);
  m_strName = pos == std::string::npos ? strTarget : strTarget.substr(pos + 1);
  m_dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (m_dirFd < 0) {
    m_error = errno;
    return;
  }
  m_ownsDir = true;
  Create();
}

StagedFile::StagedFile(int dirFd, std::string strName) : m_dirFd(dirFd), m_strName(std::move(strName)) { Create(); }

void StagedFile::Create() {
#ifdef VELMORA_UNNAMED_FILES
  if (g_unnamedAllowed.load() && CanLinkUnnamedFiles()) {
    m_fd = Calls().openat(m_dirFd, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    // File systems without unnamed files refuse them (EOPNOTSUPP, EISDIR).
    if (m_fd >= 0) {
      m_unnamed = true;
      return;
    }
  }
#endif
  CreateNamed();
}

void StagedFile::CreateNamed() {
  // O_EXCL with a fresh name each try: a name already taken (even by a
  // stored stream called like our temporary files) is never reused.
  for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
    m_strTemp = NextTemporaryName();
    m_fd = Calls().openat(m_dirFd, m_strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0 && errno != EEXIST) break;
  }
  if (m_fd < 0) {
    m_error = errno;
    m_strTemp.clear();
  }
}

StagedFile::~StagedFile() {
  Discard();
  if (m_ownsDir) ::close(m_dirFd);
}

bool StagedFile::Write(const char* data, std::size_t length) {
  if (m_fd < 0) return false;
  const SystemCalls& calls = Calls();
  while (length > 0) {
    const ssize_t n = calls.write(m_fd, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      m_error = errno;
      return false;
    }
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

bool StagedFile::LinkUnnamed() {
#ifndef VELMORA_UNNAMED_FILES
  m_error = ENOTSUP;
  return false;
#else
  if (Calls().linkat(m_fd, "", m_dirFd, m_strName.c_str(), AT_EMPTY_PATH) == 0) return true;
  if (errno != EEXIST) {
    m_error = errno;
    return false;
  }
  // Something is at the target: the file gets a temporary name, and
  // Commit renames it over the target as a named file (a link there is
  // replaced, not followed).
  for (int attempt = 0; attempt < 100; ++attempt) {
    m_strTemp = NextTemporaryName();
    if (Calls().linkat(m_fd, "", m_dirFd, m_strTemp.c_str(), AT_EMPTY_PATH) == 0) return true;
    m_strTemp.clear();
    if (errno != EEXIST) break;
  }
  m_error = errno;
  return false;
#endif
}

bool StagedFile::Commit() {
  if (m_fd < 0) return false;
  // An unnamed file is linked while still open (it has no name to open it
  // again by): at the target when nothing is there, else under a temporary
  // name that, like a named file's, replaces the target only once the
  // file is closed.
  const bool linked = !m_unnamed || LinkUnnamed();
  const bool closed = Calls().close(m_fd) == 0;
  if (!closed) m_error = errno;
  m_fd = -1;
  if (linked && closed) {
    if (m_strTemp.empty()) return true;  // linked at the target
    if (Calls().renameat(m_dirFd, m_strTemp.c_str(), m_dirFd, m_strName.c_str()) == 0) {
      m_strTemp.clear();
      return true;
    }
    m_error = errno;
  } else if (linked && m_strTemp.empty()) {
    // Linked at the target where nothing was, but the bytes may not all
    // have reached the file: it goes again.
    ::unlinkat(m_dirFd, m_strName.c_str(), 0);
  }
  Discard();
  return false;
}

void StagedFile::Discard() {
  if (m_fd >= 0) {
    Calls().close(m_fd);
    m_fd = -1;
  }
  if (!m_strTemp.empty()) {
    ::unlinkat(m_dirFd, m_strTemp.c_str(), 0);
    m_strTemp.clear();
  }
}

}  // namespace velmora::engine
