#pragma once
// Accessor for INI data: one section, key and default at a time, read and
// written through the profile functions, either in a private file (Path)
// or in the user's system profile. It keeps no file handle and caches
// nothing, so every read and write goes to the file at once. No operation
// throws or shows a message; a failed write shows only in LastReturnCode.

#include <cstdint>
#include <string>

namespace velmora::settings {

class cINI {
 public:
  const std::string& Path() const { return m_path; }
  void SetPath(const std::string& sPath) { m_path = sPath; }
  const std::string& Section() const { return m_section; }
  void SetSection(const std::string& sSection) { m_section = sSection; }
  const std::string& Key() const { return m_key; }
  void SetKey(const std::string& sKey) { m_key = sKey; }
  const std::string& Default() const { return m_default; }
  void SetDefault(const std::string& sDefault) { m_default = sDefault; }
  // True: the system profile, Path ignored; false: the file at Path.
  void SetSystem(bool blnSystem) { m_system = blnSystem; }
  // Read buffer size in bytes: a value longer than CacheSize - 1 bytes is
  // cut to that length; 0 or less reads as empty.
  std::int32_t CacheSize() const { return m_cacheSize; }
  void SetCacheSize(std::int32_t lngSize) { m_cacheSize = lngSize; }
  // Result of the latest write: nonzero on success, 0 on failure.
  std::int32_t LastReturnCode() const { return m_lastReturnCode; }

  // Key's value in Section, or Default when the file, section or key is
  // missing.
  std::string value() const;
  // Writes the text with every NUL removed.
  void SetValue(const std::string& sValue);

  void DeleteValue();
  void DeleteSection();

  // Section's key names, each followed by a NUL.
  std::string INISection() const;
  // Removes Section (the text is ignored), exactly as DeleteSection.
  void SetINISection(const std::string& sSection);

 private:
  std::string Read(const char* key) const;
  void Write(const char* key, const char* text);

  std::string m_path;
  std::string m_section;
  std::string m_key;
  std::string m_default;
  bool m_system = true;
  std::int32_t m_cacheSize = 1024;
  std::int32_t m_lastReturnCode = 0;
};

}  // namespace velmora::settings
