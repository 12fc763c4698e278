#pragma once
// Enables one privilege of the running process, as the registry's
// save and restore operations require.

#include <string>

namespace velmora::settings {

class cPrivilege {
 public:
  // True when the privilege (e.g. "SeBackupPrivilege") was enabled.
  bool EnablePrivilege(const std::string& strPrivilegeName);
};

}  // namespace velmora::settings
