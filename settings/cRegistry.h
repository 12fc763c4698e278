#pragma once
// General registry accessor working on one current location: a root key
// (ClassKey), a key path below it (SectionKey, names separated by "\"), a
// value name (ValueKey, empty for the key's default value) and a value
// type. Every call opens the keys it needs and closes them before it
// returns. No member throws or reports registry errors beyond its result.
//
// Enumerations fill a vector holding exactly `count` names, in the
// registry's order (element 0 is the first).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/RegistryTypes.h"
#include "settings/RegVariant.h"

namespace velmora::settings {

class cRegistry {
 public:
  // Save the key with everything below it to a new file, and replace an
  // existing key's content from such a file. Both enable the needed
  // privilege first. True on success.
  bool SaveKey(const std::string& strKeyName, const std::string& strFileName, platform::HKey lngRootKey);
  bool RestoreKey(const std::string& strKeyName, const std::string& strFileName, platform::HKey lngRootKey);

  // Export of all four root keys to one "REGEDIT4" file, and import of
  // such a file (also "Windows Registry Editor Version 5.00" text in
  // UTF-8). True when the file was written / read and applied in full.
  bool BackupWholeRegistry(const std::string& strFile);
  bool ImportRegistry(const std::string& strFile);

  // "REGEDIT4" export of SectionKey with its sub-keys / of ValueKey only.
  bool BackupCurrentKey(const std::string& strFile, bool blnAppend);
  bool BackupCurrentValue(const std::string& strFile, bool blnAppend);
  // Exports one key: all its values and its sub-keys when blnIsSection,
  // else only the value strValueKey. False for an empty file name, a
  // missing key or value, or a failed write; the file is then untouched.
  // Without blnAppend the file is replaced; text appended to an existing
  // file gets no "REGEDIT4" header.
  bool BackupRegistry(platform::HKey lngRootKey, const std::string& strSectionKey, const std::string& strValueKey,
                      bool blnIsSection, const std::string& strFile, bool blnAppend);

  // "HKEY_CLASSES_ROOT" and so on; empty for any other value.
  static std::string GetRegistryClassName(platform::HKey lngRootKey);

  bool KeyExists() const;
  // Creates SectionKey (and every missing key above it) or opens it.
  bool CreateKey();
  bool DeleteKey();
  // Deletes a key without sub-keys below ClassKey.
  bool DeleteKeyEx(const std::string& strKeyPath);
  // Deletes a key with everything below it, children first. Failures are
  // passed over. An empty path deletes nothing.
  void DeleteKeys(platform::HKey lngRootKey, const std::string& strKeyPath);
  bool DeleteValue();
  // True when ValueKey exists and holds data (an empty value counts as
  // absent).
  bool ValueExists();
  void SetValue(platform::HKey lngRootKey, const std::string& strSectionKey, const std::string& strValueKey,
                const RegVariant& value);
  bool RemoveValue(platform::HKey lngRootKey, const std::string& strSectionKey, const std::string& strValueKey);

  // Reading a value of a type other than text or number gives its bytes
  // when true, else its first 4 bytes as a number.
  void SetBinary(bool blnBinary) { m_binary = blnBinary; }

  // Reads ValueKey of SectionKey and sets ValueType to its stored type;
  // Default when it cannot be read.
  RegVariant value();
  // Writes ValueKey of SectionKey as ValueType, creating the key first.
  // Texts holding a "%...%" reference are stored as REG_EXPAND_SZ.
  void SetValue(const RegVariant& value);

  bool EnumerateValuesEx(platform::HKey lngRootKey, const std::string& strSectionKey,
                         std::vector<std::string>& strNames, std::int32_t& lngCount);
  bool EnumerateValues(std::vector<std::string>& strNames, std::int32_t& lngCount);
  bool EnumerateSectionsEx(platform::HKey lngRootKey, const std::string& strSectionKey,
                           std::vector<std::string>& strNames, std::int32_t& lngCount);
  bool EnumerateSectionsPattern(const std::string& strSectionKey, const std::string& strPattern,
                                std::vector<std::string>& strNames, std::int32_t& lngCount);
  bool EnumerateSections(std::vector<std::string>& strNames, std::int32_t& lngCount);

  std::int32_t ValueType() const { return m_valueType; }
  void SetValueType(std::int32_t lngType) { m_valueType = lngType; }
  platform::HKey ClassKey() const { return m_classKey; }
  void SetClassKey(platform::HKey lngKey) { m_classKey = lngKey; }
  const std::string& SectionKey() const { return m_sectionKey; }
  void SetSectionKey(const std::string& strKey) { m_sectionKey = strKey; }
  const std::string& ValueKey() const { return m_valueKey; }
  void SetValueKey(const std::string& strKey) { m_valueKey = strKey; }
  const RegVariant& Default() const { return m_default; }
  void SetDefault(const RegVariant& varDefault) { m_default = varDefault; }

 private:
  platform::HKey m_classKey = 0;
  std::string m_sectionKey;
  std::string m_valueKey;
  RegVariant m_default;
  std::int32_t m_valueType = 0;
  bool m_binary = false;
};

}  // namespace velmora::settings
