#include "platform/profile/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmora::platform {

namespace {

std::string ResolveLink(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) && realpath(path.c_str(), resolved) != nullptr) {
    return resolved;
  }
  return path;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Creates a new, empty temporary file beside target; -1 on failure.
int CreateTemporary(const std::string& target, unsigned mode, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::optional<unsigned> mode) {
  if (path.empty()) return false;
  const std::string target = ResolveLink(path);

  struct stat existing {};
  const bool exists = stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return false;

  std::string temporary;
  const int fd = CreateTemporary(target, mode.value_or(0666), temporary);
  if (fd < 0) return false;

  bool ok = WriteAll(fd, bytes);
  // A new file gets the umask through open(); an existing one keeps its bits.
  if (ok && exists) ok = fchmod(fd, existing.st_mode & 07777) == 0;
  if (ok && !exists && mode) ok = fchmod(fd, *mode) == 0;
  if (ok) ok = fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  if (ok) ok = std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temporary.c_str());
  return ok;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return content.str();
}

}  // namespace velmora::platform
