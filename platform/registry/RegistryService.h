#pragma once
// The registry operations Velmora uses, with the contracts of the Windows
// registry functions of the same names: 0 (ERROR_SUCCESS) on success, an
// error code otherwise. A key is given as a predefined root key or as a
// handle returned by RegOpenKeyEx / RegCreateKeyEx; key paths are names
// separated by "\". The real service (FileRegistry) keeps a per-user
// registry in a file; tests install their own through SetRegistry.

#include <cstdint>
#include <string>

#include "platform/registry/RegistryTypes.h"

namespace velmora::platform {

struct RegKeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyLength = 0;     // bytes, longest sub-key name
  std::uint32_t values = 0;
  std::uint32_t maxValueNameLength = 0;  // bytes, longest value name
  std::uint32_t maxValueLength = 0;      // bytes, largest value data
};

class IRegistryService {
 public:
  virtual ~IRegistryService() = default;

  // Opens an existing key with the given access rights. ERROR_FILE_NOT_FOUND
  // when it is missing.
  virtual RegResult RegOpenKeyEx(HKey key, const std::string& subKey, std::uint32_t access, HKey& result) = 0;
  // Opens the key, creating it and every missing key of the path first.
  virtual RegResult RegCreateKeyEx(HKey key, const std::string& subKey, std::uint32_t access, HKey& result) = 0;
  virtual RegResult RegCloseKey(HKey key) = 0;
  // Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED when it has).
  virtual RegResult RegDeleteKey(HKey key, const std::string& subKey) = 0;

  virtual RegResult RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                                  std::uint32_t size) = 0;
  // With data null: stores the value's type and size. Otherwise copies the
  // data when *size is large enough, else ERROR_MORE_DATA with *size set to
  // what is needed. type and size may be null when not wanted (size not
  // when data is given).
  virtual RegResult RegQueryValueEx(HKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                                    std::uint32_t* size) = 0;
  virtual RegResult RegDeleteValue(HKey key, const std::string& name) = 0;

  // The index-th sub-key or value name (from 0); ERROR_NO_MORE_ITEMS past
  // the last. Sub-keys come sorted by name, values in the order they were
  // first written.
  virtual RegResult RegEnumKey(HKey key, std::uint32_t index, std::string& name) = 0;
  virtual RegResult RegEnumValue(HKey key, std::uint32_t index, std::string& name, std::uint32_t& type) = 0;
  virtual RegResult RegQueryInfoKey(HKey key, RegKeyInfo& info) = 0;

  // Writes the key with everything below it to a new file
  // (ERROR_ALREADY_EXISTS when the file exists), and replaces a key's
  // values and sub-keys by those of such a file.
  virtual RegResult RegSaveKey(HKey key, const std::string& file) = 0;
  virtual RegResult RegRestoreKey(HKey key, const std::string& file, std::uint32_t flags) = 0;

  // Stands in for enabling a privilege of the process token: the per-user
  // registry needs no rights beyond the user's own, so every known Windows
  // privilege name succeeds and an unknown one gives ERROR_NO_SUCH_PRIVILEGE.
  virtual RegResult EnablePrivilege(const std::string& name) = 0;
};

// The service in use: the per-user file registry unless a test installed
// its own.
IRegistryService& Registry();
// Installs a service (not owned); null restores the file registry.
void SetRegistry(IRegistryService* service);

}  // namespace velmora::platform
