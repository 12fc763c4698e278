#pragma once
// A registry service for tests: the real file registry in the temporary
// user folders, installed for the life of the object, that also records
// which keys were created and deleted and can refuse to open chosen keys
// (as missing rights would) or to grant privileges.

#include <set>
#include <string>
#include <vector>

#include "platform/registry/FileRegistry.h"
#include "platform/registry/RegistryService.h"

namespace velmora::test {

class RecordingRegistry : public platform::FileRegistry {
 public:
  RecordingRegistry() { platform::SetRegistry(this); }
  ~RecordingRegistry() override { platform::SetRegistry(nullptr); }

  std::vector<std::string> createCalls;  // key paths below the root given
  std::vector<std::string> deleteCalls;
  std::set<std::string> unopenable;      // key paths that RegOpenKeyEx refuses
  bool refusePrivileges = false;

  platform::RegResult RegOpenKeyEx(platform::HKey key, const std::string& subKey, std::uint32_t access,
                                   platform::HKey& result) override {
    if (unopenable.count(subKey) != 0) return platform::ERROR_ACCESS_DENIED;
    return FileRegistry::RegOpenKeyEx(key, subKey, access, result);
  }
  platform::RegResult RegCreateKeyEx(platform::HKey key, const std::string& subKey, std::uint32_t access,
                                     platform::HKey& result) override {
    createCalls.push_back(subKey);
    return FileRegistry::RegCreateKeyEx(key, subKey, access, result);
  }
  platform::RegResult RegDeleteKey(platform::HKey key, const std::string& subKey) override {
    deleteCalls.push_back(subKey);
    return FileRegistry::RegDeleteKey(key, subKey);
  }
  platform::RegResult EnablePrivilege(const std::string& name) override {
    return refusePrivileges ? platform::ERROR_NO_SUCH_PRIVILEGE : FileRegistry::EnablePrivilege(name);
  }
};

}  // namespace velmora::test
