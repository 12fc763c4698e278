#pragma once
// One key of the registry held in memory: its values in the order they
// were first written and its sub-keys sorted by name. Names of keys and
// values are matched with ASCII letter case ignored and keep the spelling
// they were created with.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/RegistryTypes.h"

namespace velmora::platform {

struct RegistryValue {
  std::string name;  // empty: the key's default value
  std::uint32_t type = REG_NONE;
  std::vector<std::uint8_t> data;
};

class RegistryKey {
 public:
  RegistryKey() = default;
  explicit RegistryKey(std::string name) : m_name(std::move(name)) {}

  const std::string& Name() const { return m_name; }
  const std::vector<RegistryValue>& Values() const { return m_values; }
  const std::vector<RegistryKey>& SubKeys() const { return m_subKeys; }

  RegistryKey* FindSubKey(const std::string& name);
  const RegistryKey* FindSubKey(const std::string& name) const;
  // The existing sub-key of that name, or a new empty one.
  RegistryKey& AddSubKey(const std::string& name);
  // Removes a sub-key with everything below it; false when missing.
  bool RemoveSubKey(const std::string& name);

  const RegistryValue* FindValue(const std::string& name) const;
  void SetValue(const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data);
  bool RemoveValue(const std::string& name);

  // Takes the other key's values and sub-keys; keeps this key's name.
  void ReplaceContent(RegistryKey&& other);

  // Splits a key path "a\b\c" into its names. An empty path gives no names
  // and one trailing "\" is ignored. Fails with ERROR_BAD_PATHNAME for a
  // leading "\" or an empty name between two, and ERROR_INVALID_PARAMETER
  // for a name longer than 255 bytes or holding a control character.
  static RegResult SplitPath(const std::string& path, std::vector<std::string>& names);

 private:
  std::string m_name;
  std::vector<RegistryValue> m_values;
  std::vector<RegistryKey> m_subKeys;
};

// ASCII letter case ignored.
bool SameRegistryName(const std::string& a, const std::string& b);

}  // namespace velmora::platform
