#pragma once
// Helpers that walk a storage tree the way the content walker does.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/storage/StorageService.h"

namespace velmora::platform::test {

struct StreamVisit {
  std::string path;  // "/"-joined element names from the root
  std::uint64_t length = 0;
  std::uint64_t orderKey = 0;
};

// One line per element in walk order: two blanks of indent per level, the
// name, and "/" for a storage or " <size>" for a stream.
std::string ListTree(IStorage& root);

struct OpenedStream {
  StreamVisit visit;
  std::unique_ptr<IStream> stream;
};

// Every stream of the tree, opened, in walk order.
std::vector<OpenedStream> OpenStreams(IStorage& root);

// The whole stream, or the failure code of CopyTo.
HResult ReadAll(IStream& stream, std::string& bytes);

// Opens "a/b/c" through the tree; null when some step fails.
std::unique_ptr<IStream> OpenPath(IStorage& root, const std::string& path);

}  // namespace velmora::platform::test
