#pragma once
// Hands a file or web address to the desktop's default application.

#include <string>
#include <vector>

namespace velmora::platform {

class DesktopLauncher {
 public:
  // Starts argv[0] (searched on PATH) with the remaining arguments, detached:
  // the program gets its own session, standard input and output point to
  // /dev/null, and nothing waits for it. Returns false when it could not be
  // started (empty argv, no shell).
  static bool LaunchDetached(const std::vector<std::string>& argv);

  // Opens a file or an address with the program named by VELMORA_OPENER
  // when that is set, otherwise with xdg-open.
  static bool OpenWithDefaultApplication(const std::string& strTarget);
};

}  // namespace velmora::platform
