#include "platform/registry/RegistryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace velmora::platform {

RegistryLock::RegistryLock(const std::string& lockFile) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(lockFile).parent_path(), error);
  const int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  int result;
  do {
    result = flock(fd, LOCK_EX);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    close(fd);
    return;
  }
  m_fd = fd;
}

RegistryLock::~RegistryLock() {
  if (m_fd >= 0) close(m_fd);  // closing releases the lock
}

}  // namespace velmora::platform
