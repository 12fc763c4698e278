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

// An application entry for the CHM types that earlier versions wrote. Desktops
// that read entries directly (GLib) let a user's own entry win over the
// installed program's, so it would take the double-click; it is removed.
std::string LegacyDesktopEntryPath() { return platform::UserDataFolder() + "/applications/" + kFileName; }

// A shell word: single quotes, with each single quote written as '\''.
std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

std::string ServiceMenuPath() { return platform::UserDataFolder() + "/kio/servicemenus/" + kFileName; }

std::string NemoActionPath() { return platform::UserDataFolder() + "/nemo/actions/velmora-extract-here.nemo_action"; }

std::string NautilusScriptPath(const std::string& strCaption) {
  return platform::UserDataFolder() + "/nautilus/scripts/" + strCaption;
}

std::string DesktopExecValue(const std::string& strExePath) {
  return EscapedValue(QuotedArgument(strExePath)) + " /chm=%f";
}

bool WriteDesktopVerb(const std::string& strCaption, const std::string& strExePath) {
  if (HasLineBreak(strCaption) || HasLineBreak(strExePath) || strCaption.find('/') != std::string::npos) {
    return false;
  }
  const std::string exec = DesktopExecValue(strExePath);
  const std::string caption = EscapedValue(strCaption);
  const std::string serviceMenu = std::string("[Desktop Entry]\n") +
                                  "Type=Service\n"
                                  "MimeType=" + kMimeTypes + "\n" +
                                  "Actions=" + kActionName + ";\n" +
                                  "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                                  "\n"
                                  "[Desktop Action " + kActionName + "]\n" +
                                  "Name=" + caption + "\n" +
                                  "Exec=" + exec + "\n";
  // Nemo runs Exec through a shell parser; Quote=double puts the path in
  // double quotes, which the program's "/chm=" reader removes.
  const std::string nemoAction = std::string("[Nemo Action]\n") +
                                 "Name=" + strCaption + "\n" +
                                 "Comment=" + strCaption + "\n" +
                                 "Exec=" + ShellQuoted(strExePath) + " /chm=%F\n" +
                                 "Quote=double\n"
                                 "Selection=s\n"
                                 "Mimetypes=" + kMimeTypes + "\n";
  // GNOME Files lists the scripts of its folder by file name and passes the
  // chosen files as arguments (relative to the folder shown).
  const std::string nautilusScript = std::string("#!/bin/sh\n") +
                                     "for file in \"$@\"; do\n"
                                     "  case $file in /*) ;; *) file=$PWD/$file ;; esac\n"
                                     "  " + ShellQuoted(strExePath) + " \"/chm=$file\"\n"
                                     "done\n";
  std::error_code error;
  std::filesystem::remove(LegacyDesktopEntryPath(), error);
  const bool menuWritten = WriteBeside(ServiceMenuPath(), serviceMenu, 0755);
  const bool nemoWritten = WriteBeside(NemoActionPath(), nemoAction, 0644);
  const bool scriptWritten = WriteBeside(NautilusScriptPath(strCaption), nautilusScript, 0755);
  return menuWritten && nemoWritten && scriptWritten;
}

void RemoveDesktopVerb(const std::string& strCaption) {
  std::error_code error;
  for (const std::string& path :
       {LegacyDesktopEntryPath(), ServiceMenuPath(), NemoActionPath(), NautilusScriptPath(strCaption)}) {
    std::filesystem::remove(path, error);
  }
}

}  // namespace velmora::settings
