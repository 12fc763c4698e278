#include "platform/registry/RegistryTree.h"

#include <algorithm>

#include "platform/registry/RegistryTextFormat.h"

namespace velmora::platform {

namespace {

constexpr const char* kStoreSignature = "Velmora registry 1";
constexpr const char* kSavedKeySignature = "Velmora registry key 1";

bool AnyEmpty(const std::vector<std::string>& names) {
  return std::any_of(names.begin(), names.end(), [](const std::string& name) { return name.empty(); });
}

RegistryKey* Descend(RegistryKey& start, const std::vector<std::string>& names, std::size_t from) {
  RegistryKey* key = &start;
  for (std::size_t i = from; i < names.size(); ++i) key = &key->AddSubKey(names[i]);
  return key;
}

}  // namespace

std::string RegistryTree::RootName(HKey key) {
  switch (key) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    default: return {};
  }
}

RegistryKey* RegistryTree::Find(HKey root, const std::vector<std::string>& names) {
  RegistryKey* key = &Root(root);
  for (const auto& name : names) {
    key = key->FindSubKey(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

std::string RegistryTree::Serialize() const {
  std::string text = std::string(kStoreSignature) + "\n";
  for (HKey root = HKEY_CLASSES_ROOT; root <= HKEY_USERS; ++root) {
    AppendKeyTree(m_roots[root - HKEY_CLASSES_ROOT], RootName(root), text);
  }
  return text;
}

std::optional<RegistryTree> RegistryTree::Parse(const std::string& text) {
  RegistryTree tree;
  if (text.empty()) return tree;
  const bool ok = ParseKeyTrees(text, kStoreSignature, [&](const std::vector<std::string>& names) -> RegistryKey* {
    if (names.empty() || AnyEmpty(names)) return nullptr;
    for (HKey root = HKEY_CLASSES_ROOT; root <= HKEY_USERS; ++root) {
      if (names.front() == RootName(root)) return Descend(tree.Root(root), names, 1);
    }
    return nullptr;
  });
  if (!ok) return std::nullopt;
  return tree;
}

std::string RegistryTree::SerializeSavedKey(const RegistryKey& key) {
  std::string text = std::string(kSavedKeySignature) + "\n";
  AppendKeyTree(key, "", text);
  return text;
}

std::optional<RegistryKey> RegistryTree::ParseSavedKey(const std::string& text) {
  RegistryKey key;
  const bool ok = ParseKeyTrees(text, kSavedKeySignature, [&](const std::vector<std::string>& names) -> RegistryKey* {
    return AnyEmpty(names) ? nullptr : Descend(key, names, 0);
  });
  if (!ok) return std::nullopt;
  return key;
}

}  // namespace velmora::platform
