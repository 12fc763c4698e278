#pragma once
// Turns the untrusted names stored in a CHM file into names that are safe to
// create on disk. Every write of the walker builds its path from the output
// folder and one Component per storage and stream name, so no stored name can
// lead a write outside the output folder.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::engine {

class SafeRelativePath {
 public:
  // Longest file name most Linux file systems accept, in bytes.
  static constexpr std::size_t kMaxComponentBytes = 255;

  // One stored name as one file or folder name:
  // - "/", "\", NUL and other control characters become "_";
  // - an empty name becomes "_", "." and ".." get a leading "_";
  // - a name longer than kMaxComponentBytes is cut at a UTF-8 character
  //   boundary and ends in "~" and a hash of the whole name (so different
  //   long names stay apart), followed by its extension when that is short.
  // Names that need none of this are returned unchanged.
  static std::string Component(std::string_view strName);
};

}  // namespace velmora::engine
