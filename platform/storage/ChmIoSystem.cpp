#include "platform/storage/ChmIoSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace velmora::platform {

namespace {
// Where virtual bytes start: beyond any file this program can open, and
// still far below the largest off_t.
constexpr std::uint64_t kVirtualBase = std::uint64_t{1} << 56;
// The input is read in blocks of this size with pread; the decoder's small
// reads are served from the block, so positioning costs no system call.
constexpr std::size_t kInputBlock = 64 << 10;
}  // namespace

// One open file: either the CHM file being read or the sink being written.
struct ChmIoSystem::File {
  ChmIoSystem* owner = nullptr;
  int fd = -1;  // -1 for the sink
  std::uint64_t position = 0;
  std::uint64_t size = 0;
  // The block of the input last read: its file offset and bytes.
  std::uint64_t blockStart = 0;
  std::size_t blockLength = 0;
  char* block = nullptr;

  ~File() {
    if (fd >= 0) ::close(fd);
    std::free(block);
  }
  // Copies up to length bytes at position from the block, reading the
  // block there first when it does not hold position; -1 on a read error.
  long readAt(char* buffer, std::size_t length);
};

long ChmIoSystem::File::readAt(char* buffer, std::size_t length) {
  if (position < blockStart || position >= blockStart + blockLength) {
    blockStart = position;
    blockLength = 0;
    for (;;) {
      const ssize_t got = ::pread(fd, block, kInputBlock, static_cast<off_t>(position));
      if (got >= 0) {
        blockLength = static_cast<std::size_t>(got);
        break;
      }
      if (errno != EINTR) return -1;
    }
  }
  const std::size_t n = std::min<std::uint64_t>(length, blockStart + blockLength - position);
  std::memcpy(buffer, block + (position - blockStart), n);
  return static_cast<long>(n);
}

ChmIoSystem::ChmIoSystem() {
  mspack_system& s = m_bridge.base;
  s.open = &Open;
  s.close = &Close;
  s.read = &Read;
  s.write = &Write;
  s.seek = &Seek;
  s.tell = &Tell;
  s.message = &Message;
  s.alloc = &Alloc;
  s.free = &Free;
  s.copy = &Copy;
  s.null_ptr = nullptr;
  m_bridge.owner = this;
}

void ChmIoSystem::addPatch(std::uint64_t offset, std::string bytes) {
  m_patches.push_back({offset, std::move(bytes)});
}

void ChmIoSystem::copyInputViewFrom(const ChmIoSystem& other) {
  m_patches = other.m_patches;
  m_virtual = other.m_virtual;
  m_shortStart = other.m_shortStart;
  m_shortEnd = other.m_shortEnd;
  m_shortChunk = other.m_shortChunk;
}

void ChmIoSystem::setShortReadRange(std::uint64_t start, std::uint64_t end, std::size_t chunk) {
  m_shortStart = start;
  m_shortEnd = end;
  m_shortChunk = chunk;
}

std::uint64_t ChmIoSystem::addVirtualBytes(std::string bytes) {
  const std::uint64_t offset =
      m_virtual.empty() ? kVirtualBase : m_virtual.back().offset + m_virtual.back().bytes.size() + 16;
  m_virtual.push_back({offset, std::move(bytes)});
  return offset;
}

const ChmIoSystem::VirtualBytes* ChmIoSystem::virtualAt(std::uint64_t position) const {
  for (const VirtualBytes& v : m_virtual) {
    if (position >= v.offset && position <= v.offset + v.bytes.size()) return &v;
  }
  return nullptr;
}

// libmspack calls open only through the system it was created with, so the
// bridge (and its owner) is always the one set up in the constructor. The
// LZX decoder works on a copy of the struct but never opens files.
mspack_file* ChmIoSystem::Open(mspack_system* self, const char* filename, int mode) {
  ChmIoSystem* owner = reinterpret_cast<Bridge*>(self)->owner;
  auto* file = new File;
  file->owner = owner;
  if (mode == MSPACK_SYS_OPEN_READ) {
    file->fd = ::open(filename, O_RDONLY | O_CLOEXEC);
    struct stat st {};
    file->block = static_cast<char*>(std::malloc(kInputBlock));
    if (file->fd < 0 || ::fstat(file->fd, &st) != 0 || !S_ISREG(st.st_mode) || !file->block) {
      delete file;
      return nullptr;
    }
    file->size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
  } else if (mode != MSPACK_SYS_OPEN_WRITE || !owner->m_sink) {
    delete file;
    return nullptr;
  }
  return reinterpret_cast<mspack_file*>(file);
}

void ChmIoSystem::Close(mspack_file* handle) {
  delete reinterpret_cast<File*>(handle);
}

int ChmIoSystem::Read(mspack_file* handle, void* buffer, int bytes) {
  auto* file = reinterpret_cast<File*>(handle);
  if (!file || file->fd < 0 || bytes < 0) return -1;
  if (file->position >= kVirtualBase) {
    const VirtualBytes* v = file->owner->virtualAt(file->position);
    if (!v) return 0;
    const std::uint64_t at = file->position - v->offset;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(v->bytes.size() - at, bytes));
    std::memcpy(buffer, v->bytes.data() + at, n);
    file->position += n;
    return static_cast<int>(n);
  }
  ChmIoSystem& owner = *file->owner;
  const bool content = owner.m_shortChunk && file->position >= owner.m_shortStart && file->position < owner.m_shortEnd;
  if (content) bytes = std::min(bytes, static_cast<int>(owner.m_shortChunk));
  // Whole requests as a read(2) of a regular file gives them: short only
  // at the end of the file.
  std::size_t got = 0;
  auto* out = static_cast<char*>(buffer);
  while (got < static_cast<std::size_t>(bytes)) {
    const long n = file->readAt(out + got, static_cast<std::size_t>(bytes) - got);
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
    file->position += static_cast<std::uint64_t>(n);
  }
  file->position -= got;
  owner.applyPatches(file->position, out, got);
  file->position += got;
  if (content) owner.m_lastReadEnd = file->position;
  return static_cast<int>(got);
}

int ChmIoSystem::Write(mspack_file* handle, void* buffer, int bytes) {
  auto* file = reinterpret_cast<File*>(handle);
  if (!file || file->fd >= 0 || bytes < 0) return -1;
  const ByteSink* sink = file->owner->m_sink;
  if (bytes == 0) return 0;
  if (!sink || !(*sink)(static_cast<const char*>(buffer), static_cast<std::size_t>(bytes))) return -1;
  file->position += static_cast<std::uint64_t>(bytes);
  return bytes;
}

// Seeks stay inside the file: a position before the start or past the end is
// an error, so damaged offsets fail at once instead of reading nothing.
int ChmIoSystem::Seek(mspack_file* handle, off_t offset, int mode) {
  auto* file = reinterpret_cast<File*>(handle);
  if (!file || file->fd < 0) return -1;
  std::int64_t base = 0;  // both positions are below 2^63
  if (mode == MSPACK_SYS_SEEK_CUR) base = static_cast<std::int64_t>(file->position);
  else if (mode == MSPACK_SYS_SEEK_END) base = static_cast<std::int64_t>(file->size);
  else if (mode != MSPACK_SYS_SEEK_START) return -1;
  if (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) return -1;
  const std::int64_t target = base + offset;
  if (target >= 0 && static_cast<std::uint64_t>(target) >= kVirtualBase) {
    if (!file->owner->virtualAt(static_cast<std::uint64_t>(target))) return -1;
    file->position = static_cast<std::uint64_t>(target);
    return 0;
  }
  if (target < 0 || static_cast<std::uint64_t>(target) > file->size) return -1;
  file->position = static_cast<std::uint64_t>(target);
  return 0;
}

off_t ChmIoSystem::Tell(mspack_file* handle) {
  auto* file = reinterpret_cast<File*>(handle);
  return file ? static_cast<off_t>(file->position) : -1;
}

// libmspack's warnings ("first PMGL chunk is not zero", ...) are not shown:
// the caller sees the result of each call instead.
void ChmIoSystem::Message(mspack_file*, const char*, ...) {}

void* ChmIoSystem::Alloc(mspack_system*, size_t bytes) { return std::malloc(bytes ? bytes : 1); }

void ChmIoSystem::Free(void* ptr) { std::free(ptr); }

void ChmIoSystem::Copy(void* src, void* dest, size_t bytes) { std::memmove(dest, src, bytes); }

void ChmIoSystem::applyPatches(std::uint64_t position, char* buffer, std::size_t length) const {
  const std::uint64_t end = position + length;
  for (const Patch& patch : m_patches) {
    const std::uint64_t patchEnd = patch.offset + patch.bytes.size();
    const std::uint64_t from = patch.offset > position ? patch.offset : position;
    const std::uint64_t to = patchEnd < end ? patchEnd : end;
    for (std::uint64_t at = from; at < to; ++at) {
      buffer[at - position] = patch.bytes[at - patch.offset];
    }
  }
}

}  // namespace velmora::platform
