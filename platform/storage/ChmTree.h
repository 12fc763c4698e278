#pragma once
// The tree of storages and streams of one CHM file, derived from the
// "/"-separated entry names (pure folder entries are not in the directory
// libmspack reports, so a storage is known from what lies inside it).
// Entries whose names start with "::" are the container's bookkeeping and
// are left out. Names are kept exactly as stored: "a//b" gives a storage
// with an empty name, "/../x" a storage named "..".
//
// The nodes refer to the archive's entry names instead of copying them, and
// a storage's streams get a lookup by name only when one is first opened by
// name: listing a file needs neither. A tree is used by one thread at a
// time.

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/storage/ChmArchive.h"

namespace velmora::platform {

// A stream, or the common part of a storage (then a ChmStorageNode).
struct ChmNode {
  std::string_view name;  // within the name of an entry of the archive
  const ChmArchive::Entry* entry = nullptr;  // streams only
  bool isStorage = false;
};

struct ChmStorageNode : ChmNode {
  // Children in the order their first entry appears in the directory.
  std::vector<const ChmNode*> children;
  // The stream children ordered by exact name, equal names in child order;
  // built on the first lookup of a stream by name.
  mutable std::unique_ptr<std::vector<const ChmNode*>> streamsByName;
};

class ChmTree {
 public:
  explicit ChmTree(std::unique_ptr<ChmArchive> archive);
  ChmTree(const ChmTree&) = delete;
  ChmTree& operator=(const ChmTree&) = delete;

  const ChmStorageNode& root() const { return m_root; }
  // Storages and streams below the root.
  std::size_t nodeCount() const { return m_streams.size() + m_storageNodes.size(); }
  ChmArchive& archive() { return *m_archive; }

  // A direct child by exact name, else by case-insensitive name; null if
  // none. Of streams listed twice under one name, the first.
  const ChmStorageNode* FindStorage(const ChmStorageNode& parent, std::string_view name) const;
  const ChmNode* FindStream(const ChmStorageNode& parent, std::string_view name) const;

 private:
  struct StorageKey {
    const ChmNode* parent;
    std::string_view name;
    bool operator==(const StorageKey& other) const { return parent == other.parent && name == other.name; }
  };
  struct StorageKeyHash {
    std::size_t operator()(const StorageKey& key) const;
  };

  ChmStorageNode* storageChild(ChmStorageNode& parent, std::string_view name);
  // The first child of that kind whose name equals name ignoring case.
  static const ChmNode* FindFolded(const ChmStorageNode& parent, std::string_view name, bool storage);

  std::unique_ptr<ChmArchive> m_archive;
  ChmStorageNode m_root;
  std::vector<ChmNode> m_streams;  // reserved for every entry, so never moved
  std::deque<ChmStorageNode> m_storageNodes;
  // Every storage by its parent and exact name.
  std::unordered_map<StorageKey, ChmStorageNode*, StorageKeyHash> m_storages;
};

}  // namespace velmora::platform
