#pragma once
// The file layer libmspack reads and writes through. Reads come from the CHM
// file with a few header bytes presented differently (see addPatch); the one
// output "file" libmspack opens while extracting is routed to a ByteSink, so
// no stream is ever buffered whole.

#include <cstdint>
#include <string>
#include <vector>

#include <mspack.h>

#include "platform/storage/StorageService.h"

namespace velmora::platform {

class ChmIoSystem {
 public:
  ChmIoSystem();
  ChmIoSystem(const ChmIoSystem&) = delete;
  ChmIoSystem& operator=(const ChmIoSystem&) = delete;

  mspack_system* system() { return &m_bridge.base; }

  // Presents the input as other presents it (patches, virtual bytes, the
  // short-read range), for a second decoder of the same file.
  void copyInputViewFrom(const ChmIoSystem& other);

  // Every read that covers bytes [offset, offset + bytes.size()) of the
  // input file sees these bytes instead of what is stored there.
  void addPatch(std::uint64_t offset, std::string bytes);

  // Places bytes that the file does not hold (a section-0 entry rebuilt
  // after the file was cut) at a position far past any real file's end and
  // returns that position. Reads there see exactly these bytes; the gap
  // between the file's end and them stays unreadable, so data cut off still
  // ends where the file ends.
  std::uint64_t addVirtualBytes(std::string bytes);

  // Reads that start inside [start, end) of the input file deliver at most
  // chunk bytes, so the LZX decoder never reads far ahead of the bits it
  // uses; lastReadEnd() then tells, within chunk bytes, how far it got.
  void setShortReadRange(std::uint64_t start, std::uint64_t end, std::size_t chunk);
  // The position just after the last read that started in that range.
  std::uint64_t lastReadEnd() const { return m_lastReadEnd; }

  // Output opened by libmspack while a sink is set goes to that sink; with
  // no sink set, opening an output fails.
  void setSink(const ByteSink* sink) { m_sink = sink; }

 private:
  struct Patch {
    std::uint64_t offset;
    std::string bytes;
  };
  struct VirtualBytes {
    std::uint64_t offset;
    std::string bytes;
  };
  struct Bridge {
    mspack_system base;
    ChmIoSystem* owner;
  };
  struct File;

  static mspack_file* Open(mspack_system* self, const char* filename, int mode);
  static void Close(mspack_file* file);
  static int Read(mspack_file* file, void* buffer, int bytes);
  static int Write(mspack_file* file, void* buffer, int bytes);
  static int Seek(mspack_file* file, off_t offset, int mode);
  static off_t Tell(mspack_file* file);
  static void Message(mspack_file* file, const char* format, ...);
  static void* Alloc(mspack_system* self, size_t bytes);
  static void Free(void* ptr);
  static void Copy(void* src, void* dest, size_t bytes);

  void applyPatches(std::uint64_t position, char* buffer, std::size_t length) const;
  // The virtual bytes that hold position, or their end; null when none do.
  const VirtualBytes* virtualAt(std::uint64_t position) const;

  Bridge m_bridge;
  std::vector<Patch> m_patches;
  std::vector<VirtualBytes> m_virtual;
  std::uint64_t m_shortStart = 0;
  std::uint64_t m_shortEnd = 0;
  std::size_t m_shortChunk = 0;
  std::uint64_t m_lastReadEnd = 0;
  const ByteSink* m_sink = nullptr;
};

}  // namespace velmora::platform
