#pragma once
// One content item of a CHM file: a stored stream or storage.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::engine {

struct cCHMItemInfo {
  std::string Name;         // the element's own name, as the CHM reports it (UTF-8)
  std::int32_t Size = 0;    // length in bytes, saturated at 2147483647
  std::int32_t Level = 0;   // 1 for elements of the root storage
  std::string Path;         // containing storages joined by "\", empty at the root
  bool IsStorage = false;
  std::uint64_t ExactSize = 0;  // the full 64-bit length behind Size
};

// Items in walk order; row r of the content list shows element r.
using cCHMItemCollection = std::vector<cCHMItemInfo>;

}  // namespace velmora::engine
