#include "platform/storage/ChmTree.h"

#include "platform/storage/CaseFold.h"

namespace velmora::platform {
namespace {

// A storage is shared by every entry below it; a stream listed twice in the
// directory becomes two elements, and opening it by name finds the first.
ChmNode* AddChild(ChmNode& parent, const std::string& name, bool storage) {
  auto& byName = storage ? parent.storages : parent.streams;
  if (const auto it = byName.find(name); storage && it != byName.end()) return it->second;
  auto node = std::make_unique<ChmNode>();
  node->name = name;
  node->isStorage = storage;
  ChmNode* added = node.get();
  parent.children.push_back(std::move(node));
  byName.emplace(name, added);
  return added;
}

}  // namespace

ChmTree::ChmTree(std::unique_ptr<ChmArchive> archive) : m_archive(std::move(archive)) {
  m_root.isStorage = true;
  for (const ChmArchive::Entry& entry : m_archive->entries()) addEntry(entry);
}

// Every component before the last "/" is a storage; the text after it is the
// stream. A name ending in "/" only declares its storages.
void ChmTree::addEntry(const ChmArchive::Entry& entry) {
  const std::string& name = entry.name;
  if (name.compare(0, 2, "::") == 0) return;
  ChmNode* parent = &m_root;
  std::size_t start = 0;
  for (std::size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', start)) {
    parent = AddChild(*parent, name.substr(start, slash - start), true);
    start = slash + 1;
  }
  if (start == name.size() && start > 0) return;
  AddChild(*parent, name.substr(start), false)->entry = &entry;
}

const ChmNode* ChmTree::FindChild(const ChmNode& parent, const std::string& name, bool storage) {
  const auto& byName = storage ? parent.storages : parent.streams;
  if (const auto it = byName.find(name); it != byName.end()) return it->second;
  const std::string folded = FoldCase(name);
  for (const auto& child : parent.children) {
    if (child->isStorage == storage && FoldCase(child->name) == folded) return child.get();
  }
  return nullptr;
}

}  // namespace velmora::platform
