#pragma once
// The tree of storages and streams of one CHM file, derived from the
// "/"-separated entry names (pure folder entries are not in the directory
// libmspack reports, so a storage is known from what lies inside it).
// Entries whose names start with "::" are the container's bookkeeping and
// are left out. Names are kept exactly as stored: "a//b" gives a storage
// with an empty name, "/../x" a storage named "..".
//
// Only storages get nodes; a stream is its archive entry, its name the text
// after the entry name's last "/". A storage's streams get a lookup by name
// only when one is first opened by name: listing a file needs none. A tree
// is used by one thread at a time.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/storage/ChmArchive.h"

namespace velmora::platform {

struct ChmNode;

// One element of a storage: a storage node or a stream's entry, in one word
// (both are aligned, so the lowest bit tells which).
class ChmChild {
 public:
  static ChmChild Storage(const ChmNode* node) {
    return ChmChild(reinterpret_cast<std::uintptr_t>(node) | kStorageBit);
  }
  static ChmChild Stream(const ChmArchive::Entry* entry) { return ChmChild(reinterpret_cast<std::uintptr_t>(entry)); }

  bool isStorage() const { return (m_bits & kStorageBit) != 0; }
  const ChmNode* storage() const { return reinterpret_cast<const ChmNode*>(m_bits & ~kStorageBit); }
  const ChmArchive::Entry* entry() const { return reinterpret_cast<const ChmArchive::Entry*>(m_bits); }
  std::string_view name() const;

 private:
  static constexpr std::uintptr_t kStorageBit = 1;
  explicit ChmChild(std::uintptr_t bits) : m_bits(bits) {}
  std::uintptr_t m_bits;
};

// A storage: only storages get nodes.
struct ChmNode {
  std::string_view name;  // within the name of an entry of the archive
  // Children in the order their first entry appears in the directory.
  std::vector<ChmChild> children;
  // The streams with their names, ordered by exact name, equal names in
  // child order; built on the first lookup of a stream by name.
  using NamedStream = std::pair<std::string_view, const ChmArchive::Entry*>;
  mutable std::unique_ptr<std::vector<NamedStream>> streamsByName;
};

// The name of a stream: the entry name after its last "/".
inline std::string_view StreamName(const ChmArchive::Entry& entry) {
  const std::string_view name = entry.name;
  const std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

inline std::string_view ChmChild::name() const { return isStorage() ? storage()->name : StreamName(*entry()); }

class ChmTree {
 public:
  explicit ChmTree(std::unique_ptr<ChmArchive> archive);
  ChmTree(const ChmTree&) = delete;
  ChmTree& operator=(const ChmTree&) = delete;

  const ChmNode& root() const { return m_root; }
  ChmArchive& archive() { return *m_archive; }
  // Storages and streams below the root.
  std::size_t nodeCount() const { return m_streamCount + m_storageNodes.size(); }

  // A direct child by exact name, else by case-insensitive name; null if
  // none. Of streams listed twice under one name, the first.
  const ChmNode* FindStorage(const ChmNode& parent, std::string_view name) const;
  const ChmArchive::Entry* FindStream(const ChmNode& parent, std::string_view name) const;

 private:
  struct StorageKey {
    const ChmNode* parent;
    std::string_view name;
    bool operator==(const StorageKey& other) const { return parent == other.parent && name == other.name; }
  };
  struct StorageKeyHash {
    std::size_t operator()(const StorageKey& key) const;
  };

  ChmNode* storageChild(ChmNode& parent, std::string_view name);
  // The first child of that kind whose name equals name ignoring case.
  static const ChmChild* FindFolded(const ChmNode& parent, std::string_view name, bool storage);

  std::unique_ptr<ChmArchive> m_archive;
  ChmNode m_root;
  std::size_t m_streamCount = 0;
  std::deque<ChmNode> m_storageNodes;
  // Every storage by its parent and exact name.
  std::unordered_map<StorageKey, ChmNode*, StorageKeyHash> m_storages;
};

}  // namespace velmora::platform
