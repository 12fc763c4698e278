#include "engine/search/FileFingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora::search {

namespace {

constexpr std::size_t kHashedBytes = 64 * 1024;

// FNV-1a, 64 bits.
std::uint64_t Hash(const unsigned char* data, std::size_t length) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (std::size_t i = 0; i < length; ++i) {
    hash ^= data[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace

std::optional<FileFingerprint> FingerprintOf(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<FileFingerprint> fingerprint;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    unsigned char buffer[kHashedBytes];
    std::size_t filled = 0;
    bool failed = false;
    while (filled < kHashedBytes) {
      const ssize_t n = read(fd, buffer + filled, kHashedBytes - filled);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed = n < 0;
        break;
      }
      filled += static_cast<std::size_t>(n);
    }
    if (!failed) {
      fingerprint = FileFingerprint{static_cast<std::int64_t>(info.st_size),
                                    static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                                    static_cast<std::int64_t>(Hash(buffer, filled))};
    }
  }
  close(fd);
  return fingerprint;
}

}  // namespace velmora::search
