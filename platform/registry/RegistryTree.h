#pragma once
// The whole registry in memory: the four root keys and everything below
// them, read from and written to the store file's text.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/RegistryKey.h"

namespace velmora::platform {

class RegistryTree {
 public:
  static bool IsRoot(HKey key) { return key >= HKEY_CLASSES_ROOT && key <= HKEY_USERS; }
  // "HKEY_CLASSES_ROOT" and so on; empty for any other value.
  static std::string RootName(HKey key);

  // The root's key; key must be a root.
  RegistryKey& Root(HKey key) { return m_roots[key - HKEY_CLASSES_ROOT]; }
  // The key at names below root, or null.
  RegistryKey* Find(HKey root, const std::vector<std::string>& names);

  std::string Serialize() const;
  // Empty text is an empty registry; nullopt when the text is damaged.
  static std::optional<RegistryTree> Parse(const std::string& text);

  // A key with its sub-tree in the form RegSaveKey writes, and back.
  static std::string SerializeSavedKey(const RegistryKey& key);
  static std::optional<RegistryKey> ParseSavedKey(const std::string& text);

 private:
  std::array<RegistryKey, 4> m_roots;
};

}  // namespace velmora::platform
