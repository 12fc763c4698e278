#include "settings/cPrivilege.h"

#include "platform/registry/RegistryService.h"

namespace velmora::settings {

bool cPrivilege::EnablePrivilege(const std::string& strPrivilegeName) {
  return platform::Registry().EnablePrivilege(strPrivilegeName) == platform::ERROR_SUCCESS;
}

}  // namespace velmora::settings
