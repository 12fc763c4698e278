#pragma once
// What tells that a CHM file changed since it was indexed: its size, its
// modification time and a hash of its first bytes (the headers and the
// start of the directory), so a file rewritten within one time stamp tick
// or restored with an old time stamp is still noticed.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::search {

struct FileFingerprint {
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t headerHash = 0;
  bool operator==(const FileFingerprint& other) const {
    return size == other.size && modifiedNs == other.modifiedNs && headerHash == other.headerHash;
  }
};

// Empty when the file is missing, not a regular file or cannot be read.
std::optional<FileFingerprint> FingerprintOf(const std::string& path);

}  // namespace velmora::search
