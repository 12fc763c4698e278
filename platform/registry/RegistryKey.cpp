#include "platform/registry/RegistryKey.h"

#include <algorithm>

namespace velmora::platform {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessName(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

constexpr std::size_t kMaxKeyNameLength = 255;

}  // namespace

bool SameRegistryName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

RegistryKey* RegistryKey::FindSubKey(const std::string& name) {
  return const_cast<RegistryKey*>(static_cast<const RegistryKey*>(this)->FindSubKey(name));
}

const RegistryKey* RegistryKey::FindSubKey(const std::string& name) const {
  const auto it = std::lower_bound(m_subKeys.begin(), m_subKeys.end(), name,
                                   [](const RegistryKey& key, const std::string& n) { return LessName(key.m_name, n); });
  return (it != m_subKeys.end() && SameRegistryName(it->m_name, name)) ? &*it : nullptr;
}

RegistryKey& RegistryKey::AddSubKey(const std::string& name) {
  const auto it = std::lower_bound(m_subKeys.begin(), m_subKeys.end(), name,
                                   [](const RegistryKey& key, const std::string& n) { return LessName(key.m_name, n); });
  if (it != m_subKeys.end() && SameRegistryName(it->m_name, name)) return *it;
  return *m_subKeys.insert(it, RegistryKey(name));
}

bool RegistryKey::RemoveSubKey(const std::string& name) {
  const auto it = std::find_if(m_subKeys.begin(), m_subKeys.end(),
                               [&](const RegistryKey& key) { return SameRegistryName(key.m_name, name); });
  if (it == m_subKeys.end()) return false;
  m_subKeys.erase(it);
  return true;
}

const RegistryValue* RegistryKey::FindValue(const std::string& name) const {
  const auto it = std::find_if(m_values.begin(), m_values.end(),
                               [&](const RegistryValue& value) { return SameRegistryName(value.name, name); });
  return it == m_values.end() ? nullptr : &*it;
}

void RegistryKey::SetValue(const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data) {
  const auto it = std::find_if(m_values.begin(), m_values.end(),
                               [&](const RegistryValue& value) { return SameRegistryName(value.name, name); });
  if (it == m_values.end()) {
    m_values.push_back({name, type, std::move(data)});
  } else {
    it->type = type;
    it->data = std::move(data);
  }
}

bool RegistryKey::RemoveValue(const std::string& name) {
  const auto it = std::find_if(m_values.begin(), m_values.end(),
                               [&](const RegistryValue& value) { return SameRegistryName(value.name, name); });
  if (it == m_values.end()) return false;
  m_values.erase(it);
  return true;
}

void RegistryKey::ReplaceContent(RegistryKey&& other) {
  m_values = std::move(other.m_values);
  m_subKeys = std::move(other.m_subKeys);
}

RegResult RegistryKey::SplitPath(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  if (path.empty()) return ERROR_SUCCESS;
  if (path.front() == '\\') return ERROR_BAD_PATHNAME;
  const std::string trimmed = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
  std::size_t start = 0;
  while (true) {
    const auto end = trimmed.find('\\', start);
    std::string name = trimmed.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (name.empty()) return ERROR_BAD_PATHNAME;
    if (name.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
      return ERROR_INVALID_PARAMETER;
    }
    names.push_back(std::move(name));
    if (end == std::string::npos) return ERROR_SUCCESS;
    start = end + 1;
  }
}

}  // namespace velmora::platform
