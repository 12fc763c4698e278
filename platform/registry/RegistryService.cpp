#include "platform/registry/RegistryService.h"

#include <atomic>

#include "platform/registry/FileRegistry.h"

namespace velmora::platform {

namespace {
std::atomic<IRegistryService*> g_installed{nullptr};
}  // namespace

IRegistryService& Registry() {
  if (IRegistryService* installed = g_installed.load()) return *installed;
  static FileRegistry perUser;
  return perUser;
}

void SetRegistry(IRegistryService* service) { g_installed.store(service); }

}  // namespace velmora::platform
