#include "ui/common/UiServices.h"

#include "ui/common/DesktopUiServices.h"

namespace velmora::ui {

namespace {
UiServices* g_installed = nullptr;
}  // namespace

UiServices& Services() {
  if (g_installed) return *g_installed;
  static DesktopUiServices desktop;
  return desktop;
}

void SetServices(UiServices* services) { g_installed = services; }

}  // namespace velmora::ui
