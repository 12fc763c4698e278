#include "settings/DesktopVerb.h"

#include <filesystem>
#include <system_error>

#include "platform/profile/AtomicFile.h"
#include "platform/profile/UserFolders.h"

namespace velmora::settings {

namespace {

constexpr const char* kFileName = "velmora-extract-here.desktop";
constexpr const char* kMimeTypes = "application/vnd.ms-htmlhelp;application/x-chm;";
constexpr const char* kActionName = "velmoraExtractHere";

// One argument of an Exec line: quoted, with the characters that stay
// special inside quotes escaped, and "%" doubled so it is no field code.
std::string QuotedArgument(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

// A desktop entry's string values escape backslashes once more.
std::string EscapedValue(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

bool WriteBeside(const std::string& path, const std::string& content, unsigned mode) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  if (!platform::WriteFileAtomically(path, content, mode)) return false;
  // An existing file keeps its bits; the service menu must be executable.
  std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode), std::filesystem::perm_options::replace,
                               error);
  return !error;
}

}  // namespace

std::string DesktopEntryPath() { return platform::UserDataFolder() + "/applications/" + kFileName; }

std::string ServiceMenuPath() { return platform::UserDataFolder() + "/kio/servicemenus/" + kFileName; }

std::string DesktopExecValue(const std::string& strExePath) {
  return EscapedValue(QuotedArgument(strExePath)) + " /chm=%f";
}

bool WriteDesktopVerb(const std::string& strCaption, const std::string& strExePath) {
  if (HasLineBreak(strCaption) || HasLineBreak(strExePath)) return false;
  const std::string exec = DesktopExecValue(strExePath);
  const std::string caption = EscapedValue(strCaption);
  const std::string entry = std::string("[Desktop Entry]\n") +
                            "Type=Application\n"
                            "Name=" + caption + "\n" +
                            "Exec=" + exec + "\n" +
                            "MimeType=" + kMimeTypes + "\n" +
                            "NoDisplay=true\n"
                            "Terminal=false\n";
  const std::string serviceMenu = std::string("[Desktop Entry]\n") +
                                  "Type=Service\n"
                                  "MimeType=" + kMimeTypes + "\n" +
                                  "Actions=" + kActionName + ";\n" +
                                  "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                                  "\n"
                                  "[Desktop Action " + kActionName + "]\n" +
                                  "Name=" + caption + "\n" +
                                  "Exec=" + exec + "\n";
  const bool entryWritten = WriteBeside(DesktopEntryPath(), entry, 0644);
  const bool menuWritten = WriteBeside(ServiceMenuPath(), serviceMenu, 0755);
  return entryWritten && menuWritten;
}

void RemoveDesktopVerb() {
  std::error_code error;
  std::filesystem::remove(DesktopEntryPath(), error);
  std::filesystem::remove(ServiceMenuPath(), error);
}

}  // namespace velmora::settings
