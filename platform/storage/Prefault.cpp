#include "platform/storage/Prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace velmora::platform {

void PrefaultForWrite(const void* data, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  constexpr std::size_t kMinimum = 64 * 1024;
  if (bytes < kMinimum) return;
  static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  if (page == 0 || (page & (page - 1)) != 0) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
  const std::uintptr_t last = (begin + bytes) & ~(page - 1);
  if (last <= first) return;
  // Only a hint: an error (an old kernel) leaves the pages to be mapped on
  // first use as usual.
  madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace velmora::platform
