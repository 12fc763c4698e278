#include "settings/cRegistry.h"

#include <fstream>

#include "engine/basVelmora.h"
#include "engine/cAppendString.h"
#include "platform/profile/AtomicFile.h"
#include "platform/registry/RegistryService.h"
#include "platform/registry/RegistryTree.h"
#include "settings/LikePattern.h"
#include "settings/RegValueCodec.h"
#include "settings/RegistryExport.h"
#include "settings/RegistryImport.h"
#include "settings/cPrivilege.h"

namespace velmora::settings {

namespace {

using namespace platform;
namespace basVelmora = engine::basVelmora;

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

bool AppendToFile(const std::string& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::app);
  out << text;
  out.close();
  return !out.fail();
}

}  // namespace

bool cRegistry::SaveKey(const std::string& strKeyName, const std::string& strFileName, HKey lngRootKey) {
  if (!cPrivilege().EnablePrivilege("SeBackupPrivilege")) return false;
  HKey key = 0;
  if (Registry().RegOpenKeyEx(lngRootKey, strKeyName, KEY_WRITE_INTENT, key) != ERROR_SUCCESS) return false;
  const bool ok = Registry().RegSaveKey(key, strFileName) == ERROR_SUCCESS;
  Registry().RegCloseKey(key);
  return ok;
}

bool cRegistry::RestoreKey(const std::string& strKeyName, const std::string& strFileName, HKey lngRootKey) {
  if (!cPrivilege().EnablePrivilege("SeRestorePrivilege")) return false;
  HKey key = 0;
  if (Registry().RegOpenKeyEx(lngRootKey, strKeyName, KEY_WRITE_INTENT, key) != ERROR_SUCCESS) return false;
  const bool ok = Registry().RegRestoreKey(key, strFileName, REG_FORCE_RESTORE) == ERROR_SUCCESS;
  Registry().RegCloseKey(key);
  return ok;
}

bool cRegistry::BackupWholeRegistry(const std::string& strFile) {
  if (strFile.empty()) return false;
  engine::cAppendString text;
  text.Append(kExportHeader);
  for (HKey root = HKEY_CLASSES_ROOT; root <= HKEY_USERS; ++root) {
    if (!AppendKeyExport(root, "", nullptr, true, text)) return false;
  }
  return WriteFileAtomically(strFile, text.value());
}

bool cRegistry::ImportRegistry(const std::string& strFile) {
  const auto text = ReadWholeFile(strFile);
  return text && ImportRegistryText(*text);
}

bool cRegistry::BackupCurrentKey(const std::string& strFile, bool blnAppend) {
  return BackupRegistry(m_classKey, m_sectionKey, "", true, strFile, blnAppend);
}

bool cRegistry::BackupCurrentValue(const std::string& strFile, bool blnAppend) {
  return BackupRegistry(m_classKey, m_sectionKey, m_valueKey, false, strFile, blnAppend);
}

bool cRegistry::BackupRegistry(HKey lngRootKey, const std::string& strSectionKey, const std::string& strValueKey,
                               bool blnIsSection, const std::string& strFile, bool blnAppend) {
  if (strFile.empty()) return false;
  // The whole text is collected first, so a key that cannot be read leaves
  // the file as it was.
  engine::cAppendString text;
  if (!AppendKeyExport(lngRootKey, strSectionKey, blnIsSection ? nullptr : &strValueKey, blnIsSection, text)) {
    return false;
  }
  if (blnAppend && basVelmora::FileExists(strFile)) return AppendToFile(strFile, text.value());
  return WriteFileAtomically(strFile, kExportHeader + text.value());
}

std::string cRegistry::GetRegistryClassName(HKey lngRootKey) { return RegistryTree::RootName(lngRootKey); }

bool cRegistry::KeyExists() const {
  HKey key = 0;
  if (Registry().RegOpenKeyEx(m_classKey, m_sectionKey, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return false;
  Registry().RegCloseKey(key);
  return true;
}

bool cRegistry::CreateKey() {
  HKey key = 0;
  if (Registry().RegCreateKeyEx(m_classKey, m_sectionKey, KEY_WRITE_INTENT, key) != ERROR_SUCCESS) return false;
  Registry().RegCloseKey(key);
  return true;
}

bool cRegistry::DeleteKey() { return DeleteKeyEx(m_sectionKey); }

bool cRegistry::DeleteKeyEx(const std::string& strKeyPath) {
  return Registry().RegDeleteKey(m_classKey, strKeyPath) == ERROR_SUCCESS;
}

void cRegistry::DeleteKeys(HKey lngRootKey, const std::string& strKeyPath) {
  // An empty path names the root key itself: that would empty the whole
  // root, which no caller means.
  if (strKeyPath.empty()) return;
  std::vector<std::string> names;
  std::int32_t count = 0;
  if (EnumerateSectionsEx(lngRootKey, strKeyPath, names, count) && count > 0) {
    for (const auto& name : names) DeleteKeys(lngRootKey, strKeyPath + "\\" + name);
  }
  DeleteKeyEx(strKeyPath);
}

bool cRegistry::DeleteValue() {
  HKey key = 0;
  if (Registry().RegOpenKeyEx(m_classKey, m_sectionKey, KEY_WRITE_INTENT, key) != ERROR_SUCCESS) return false;
  const bool ok = Registry().RegDeleteValue(key, m_valueKey) == ERROR_SUCCESS;
  Registry().RegCloseKey(key);
  return ok;
}

bool cRegistry::ValueExists() {
  HKey key = 0;
  if (Registry().RegOpenKeyEx(m_classKey, m_sectionKey, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return false;
  std::uint8_t none = 0;
  std::uint32_t size = 0;
  std::uint32_t type = 0;
  const bool exists = Registry().RegQueryValueEx(key, m_valueKey, &type, &none, &size) == ERROR_MORE_DATA;
  Registry().RegCloseKey(key);
  return exists;
}

void cRegistry::SetValue(HKey lngRootKey, const std::string& strSectionKey, const std::string& strValueKey,
                         const RegVariant& value) {
  m_classKey = lngRootKey;
  m_sectionKey = strSectionKey;
  m_valueKey = strValueKey;
  SetValue(value);
}

bool cRegistry::RemoveValue(HKey lngRootKey, const std::string& strSectionKey, const std::string& strValueKey) {
  m_classKey = lngRootKey;
  m_sectionKey = strSectionKey;
  m_valueKey = strValueKey;
  return DeleteValue();
}

RegVariant cRegistry::value() {
  HKey key = 0;
  if (Registry().RegOpenKeyEx(m_classKey, m_sectionKey, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return m_default;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  RegResult result = Registry().RegQueryValueEx(key, m_valueKey, &type, nullptr, &size);
  std::vector<std::uint8_t> data(size, 0);
  if (result == ERROR_SUCCESS && size > 0) result = Registry().RegQueryValueEx(key, m_valueKey, &type, data.data(), &size);
  Registry().RegCloseKey(key);
  if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) return m_default;
  data.resize(size);
  m_valueType = static_cast<std::int32_t>(type);
  return DecodeValue(type, data, m_binary);
}

void cRegistry::SetValue(const RegVariant& value) {
  HKey key = 0;
  if (Registry().RegCreateKeyEx(m_classKey, m_sectionKey, KEY_WRITE_INTENT, key) != ERROR_SUCCESS) return;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (EncodeValue(value, m_valueType, type, data)) {
    Registry().RegSetValueEx(key, m_valueKey, type, data.data(), static_cast<std::uint32_t>(data.size()));
  }
  Registry().RegCloseKey(key);
}

bool cRegistry::EnumerateValuesEx(HKey lngRootKey, const std::string& strSectionKey,
                                  std::vector<std::string>& strNames, std::int32_t& lngCount) {
  strNames.clear();
  lngCount = 0;
  HKey key = 0;
  if (Registry().RegOpenKeyEx(lngRootKey, strSectionKey, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return true;
  std::string name;
  std::uint32_t type = 0;
  for (std::uint32_t i = 0; Registry().RegEnumValue(key, i, name, type) == ERROR_SUCCESS; ++i) {
    if (IsBlank(name)) continue;  // the default value
    strNames.push_back(basVelmora::TrimNull(name));
  }
  Registry().RegCloseKey(key);
  lngCount = static_cast<std::int32_t>(strNames.size());
  return true;
}

bool cRegistry::EnumerateValues(std::vector<std::string>& strNames, std::int32_t& lngCount) {
  return EnumerateValuesEx(m_classKey, m_sectionKey, strNames, lngCount);
}

bool cRegistry::EnumerateSectionsEx(HKey lngRootKey, const std::string& strSectionKey,
                                    std::vector<std::string>& strNames, std::int32_t& lngCount) {
  strNames.clear();
  lngCount = 0;
  HKey key = 0;
  if (Registry().RegOpenKeyEx(lngRootKey, strSectionKey, KEY_ENUMERATE_SUB_KEYS, key) != ERROR_SUCCESS) return true;
  bool ok = true;
  try {
    std::string name;
    for (std::uint32_t i = 0; Registry().RegEnumKey(key, i, name) == ERROR_SUCCESS; ++i) {
      strNames.push_back(basVelmora::TrimNull(name));
    }
  } catch (const std::exception&) {
    ok = false;
  }
  Registry().RegCloseKey(key);
  lngCount = static_cast<std::int32_t>(strNames.size());
  return ok;
}

bool cRegistry::EnumerateSectionsPattern(const std::string& strSectionKey, const std::string& strPattern,
                                         std::vector<std::string>& strNames, std::int32_t& lngCount) {
  std::vector<std::string> all;
  const bool ok = EnumerateSectionsEx(m_classKey, strSectionKey, all, lngCount);
  strNames.clear();
  for (auto& name : all) {
    if (MatchesLikePattern(name, strPattern)) strNames.push_back(std::move(name));
  }
  lngCount = static_cast<std::int32_t>(strNames.size());
  return ok;
}

bool cRegistry::EnumerateSections(std::vector<std::string>& strNames, std::int32_t& lngCount) {
  return EnumerateSectionsEx(m_classKey, m_sectionKey, strNames, lngCount);
}

}  // namespace velmora::settings
