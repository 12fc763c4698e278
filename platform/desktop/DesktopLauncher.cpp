#include "platform/desktop/DesktopLauncher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace velmora::platform {

bool DesktopLauncher::LaunchDetached(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty()) return false;

  // A short-lived shell starts the program in the background and exits at
  // once, so the program is adopted by init and never becomes our zombie.
  // The program and its arguments reach the shell as positional parameters,
  // never as script text, so no quoting of them is needed.
  std::vector<std::string> shellArgs = {"sh", "-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &"};
  shellArgs.insert(shellArgs.end(), argv.begin(), argv.end());
  std::vector<char*> raw;
  raw.reserve(shellArgs.size() + 1);
  for (auto& a : shellArgs) raw.push_back(a.data());
  raw.push_back(nullptr);

  posix_spawnattr_t attr;
  if (posix_spawnattr_init(&attr) != 0) return false;
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, "/bin/sh", nullptr, &attr, raw.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;

  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool DesktopLauncher::OpenWithDefaultApplication(const std::string& strTarget) {
  const char* opener = std::getenv("VELMORA_OPENER");
  return LaunchDetached({(opener && *opener) ? opener : "xdg-open", strTarget});
}

}  // namespace velmora::platform
