#include "engine/StagedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace velmora::engine {

namespace {

std::atomic<unsigned> g_counter{0};

std::string FolderOf(const std::string& path) {
  const auto pos = path.rfind('/');
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

}  // namespace

StagedFile::StagedFile(std::string strTarget) : m_strTarget(std::move(strTarget)) {
  // Asked once: a system call per file adds up over thousands of files. A
  // child made by fork shares the names, which O_EXCL still keeps apart.
  static const long pid = static_cast<long>(::getpid());
  const std::string folder = FolderOf(m_strTarget);
  // O_EXCL with a fresh name each try: a name already taken (even by a
  // stored stream called like our temporary files) is never reused.
  for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
    char name[64];
    std::snprintf(name, sizeof name, ".velmora-%ld-%u.tmp", pid, g_counter++);
    m_strTemp = folder + name;
    m_fd = ::open(m_strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_fd < 0 && errno != EEXIST) break;
  }
  if (m_fd < 0) m_strTemp.clear();
}

StagedFile::~StagedFile() { Discard(); }

bool StagedFile::Write(const char* data, std::size_t length) {
  if (m_fd < 0) return false;
  while (length > 0) {
    const ssize_t n = ::write(m_fd, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

bool StagedFile::Commit() {
  if (m_fd < 0) return false;
  const bool closed = ::close(m_fd) == 0;
  m_fd = -1;
  if (closed && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) == 0) {
    m_strTemp.clear();
    return true;
  }
  Discard();
  return false;
}

void StagedFile::Discard() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
  if (!m_strTemp.empty()) {
    ::unlink(m_strTemp.c_str());
    m_strTemp.clear();
  }
}

}  // namespace velmora::engine
