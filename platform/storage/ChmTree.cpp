#include "platform/storage/ChmTree.h"

#include <algorithm>
#include <functional>

#include "platform/storage/CaseFold.h"

namespace velmora::platform {
namespace {

bool SameFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldedName(a).view() == FoldedName(b).view();
}

}  // namespace

static_assert(alignof(ChmNode) > 1 && alignof(ChmArchive::Entry) > 1, "a child's lowest bit tells its kind");

std::size_t ChmTree::StorageKeyHash::operator()(const StorageKey& key) const {
  return std::hash<std::string_view>()(key.name) ^ (std::hash<const void*>()(key.parent) * 0x9E3779B97F4A7C15ull);
}

// Every component before the last "/" is a storage; the text after it is the
// stream. A name ending in "/" only declares its storages. A storage is
// shared by every entry below it; a stream listed twice in the directory
// becomes two elements.
//
// Directory order keeps the entries of one folder together, so the storages
// of the previous entry are remembered and a component equal to the
// previous entry's at the same depth (with all before it equal too) is the
// same storage without a lookup.
ChmTree::ChmTree(std::unique_ptr<ChmArchive> archive) : m_archive(std::move(archive)) {
  std::vector<std::string_view> lastComponents;
  std::vector<ChmNode*> lastStorages;
  for (const ChmArchive::Entry& entry : m_archive->entries()) {
    const std::string_view name = entry.name;
    if (name.size() >= 2 && name[0] == ':' && name[1] == ':') continue;
    ChmNode* parent = &m_root;
    std::size_t depth = 0;
    bool sameAsLast = true;
    std::size_t start = 0;
    for (std::size_t slash = name.find('/'); slash != std::string_view::npos; slash = name.find('/', start)) {
      const std::string_view component = name.substr(start, slash - start);
      sameAsLast = sameAsLast && depth < lastComponents.size() && lastComponents[depth] == component;
      if (sameAsLast) {
        parent = lastStorages[depth];
      } else {
        parent = storageChild(*parent, component);
        if (depth < lastComponents.size()) {
          lastComponents[depth] = component;
          lastStorages[depth] = parent;
        } else {
          lastComponents.push_back(component);
          lastStorages.push_back(parent);
        }
      }
      ++depth;
      start = slash + 1;
    }
    lastComponents.resize(depth);
    lastStorages.resize(depth);
    if (start == name.size() && start > 0) continue;
    parent->children.push_back(ChmChild::Stream(&entry));
    ++m_streamCount;
  }
}

ChmNode* ChmTree::storageChild(ChmNode& parent, std::string_view name) {
  const auto [it, added] = m_storages.try_emplace(StorageKey{&parent, name}, nullptr);
  if (added) {
    ChmNode& storage = m_storageNodes.emplace_back();
    storage.name = name;
    parent.children.push_back(ChmChild::Storage(&storage));
    it->second = &storage;
  }
  return it->second;
}

const ChmNode* ChmTree::FindStorage(const ChmNode& parent, std::string_view name) const {
  if (const auto it = m_storages.find(StorageKey{&parent, name}); it != m_storages.end()) return it->second;
  const ChmChild* child = FindFolded(parent, name, true);
  return child ? child->storage() : nullptr;
}

const ChmArchive::Entry* ChmTree::FindStream(const ChmNode& parent, std::string_view name) const {
  using NamedStream = ChmNode::NamedStream;
  if (!parent.streamsByName) {
    auto streams = std::make_unique<std::vector<NamedStream>>();
    for (const ChmChild child : parent.children) {
      if (!child.isStorage()) streams->emplace_back(StreamName(*child.entry()), child.entry());
    }
    std::stable_sort(streams->begin(), streams->end(),
                     [](const NamedStream& a, const NamedStream& b) { return a.first < b.first; });
    parent.streamsByName = std::move(streams);
  }
  const auto& streams = *parent.streamsByName;
  const auto it = std::lower_bound(streams.begin(), streams.end(), name,
                                   [](const NamedStream& stream, std::string_view n) { return stream.first < n; });
  if (it != streams.end() && it->first == name) return it->second;
  const ChmChild* child = FindFolded(parent, name, false);
  return child ? child->entry() : nullptr;
}

const ChmChild* ChmTree::FindFolded(const ChmNode& parent, std::string_view name, bool storage) {
  for (const ChmChild& child : parent.children) {
    if (child.isStorage() == storage && SameFolded(child.name(), name)) return &child;
  }
  return nullptr;
}

}  // namespace velmora::platform
