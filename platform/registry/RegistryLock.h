#pragma once
// An exclusive lock on the registry's lock file, held for the life of the
// object, so that two Velmora processes never interleave a read-change-save
// of the store. The lock is the kernel's advisory lock (flock), which is
// released by the kernel if the process dies.

#include <string>

namespace velmora::platform {

class RegistryLock {
 public:
  // Creates the folder and the lock file when missing, then waits for the
  // lock.
  explicit RegistryLock(const std::string& lockFile);
  ~RegistryLock();
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;

  bool Held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

}  // namespace velmora::platform
