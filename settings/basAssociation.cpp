#include "settings/basAssociation.h"

#include <filesystem>
#include <system_error>

#include "engine/basVelmora.h"
#include "platform/registry/RegistryTypes.h"
#include "settings/DesktopVerb.h"
#include "settings/cRegistry.h"

namespace velmora::settings {

namespace {

std::string VerbKey(const std::string& strFileClass) { return strFileClass + "\\shell\\Velmora"; }

}  // namespace

void RegisterContextMenu(const std::string& strFileClass, bool blnRegister) {
  cRegistry registry;
  registry.SetClassKey(platform::HKEY_CLASSES_ROOT);
  registry.SetSectionKey(VerbKey(strFileClass));
  if (!blnRegister) {
    registry.DeleteKeys(registry.ClassKey(), registry.SectionKey());
    RemoveDesktopVerb(kContextMenuCaption);
    return;
  }
  if (!registry.KeyExists()) registry.CreateKey();
  registry.SetValueKey("");
  registry.SetValueType(platform::REG_SZ);
  registry.SetValue(std::string(kContextMenuCaption));

  registry.SetSectionKey(registry.SectionKey() + "\\Command");
  if (!registry.KeyExists()) registry.CreateKey();
  registry.SetValueKey("");
  registry.SetValueType(platform::REG_SZ);
  const std::string exePath = GetExePath();
  registry.SetValue(ContextMenuCommand(exePath));

  WriteDesktopVerb(kContextMenuCaption, exePath);
}

std::string GetExePath() {
  std::error_code error;
  const std::string real = std::filesystem::read_symlink("/proc/self/exe", error).string();
#ifdef _WIN32
  return WindowsExePath(engine::basVelmora::GetAppFolder(), engine::basVelmora::GetFileName(real));
#else
  return real;
#endif
}

std::string WindowsExePath(const std::string& strAppFolder, const std::string& strExeFileName) {
  std::string folder = strAppFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  const auto dot = strExeFileName.rfind('.');
  return folder + "\\" + strExeFileName.substr(0, dot) + ".exe";
}

std::string ContextMenuCommand(const std::string& strExePath) { return "\"" + strExePath + "\" /chm=\"%1\""; }

bool IsContextMenuRegistered() {
  cRegistry registry;
  registry.SetClassKey(platform::HKEY_CLASSES_ROOT);
  registry.SetSectionKey(VerbKey(kCHMFileClass));
  return registry.KeyExists();
}

void ApplyContextMenuSwitch(bool blnChecked) { RegisterContextMenu(kCHMFileClass, blnChecked); }

}  // namespace velmora::settings
