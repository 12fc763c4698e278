#pragma once
// The context-menu verb for CHM files: "用Velmora解压到当前目录" starts the
// program with /chm= and the clicked file.
//
// The verb is kept in the registry below HKEY_CLASSES_ROOT:
//   chm.file\shell\Velmora          (default) = the caption
//   chm.file\shell\Velmora\Command  (default) = "<exe>" /chm="%1"
// and, so that Linux file managers show it, as a desktop entry and a
// Dolphin service menu in the user's data folder (DesktopVerb.h).
//
// The main window uses two calls:
//   at load:   mnuAssociates->setChecked(IsContextMenuRegistered());
//   on click:  ApplyContextMenuSwitch(mnuAssociates->isChecked());
//              (the checkable action has already inverted its check mark)

#include <string>

namespace velmora::settings {

inline constexpr const char* kCHMFileClass = "chm.file";
inline constexpr const char* kContextMenuCaption = "用Velmora解压到当前目录";

// Writes the verb (blnRegister true) or removes it (false): the two
// registry values, or the verb key with everything below it (the file
// class and its "shell" key stay); and the desktop files. Failures are
// ignored; removing a verb that is not there does nothing.
void RegisterContextMenu(const std::string& strFileClass, bool blnRegister);

// Full path of the running executable (its real path; a Windows build
// applies WindowsExePath).
std::string GetExePath();

// The program folder (a trailing "\" removed), "\", the executable's name
// without its extension, and ".exe".
std::string WindowsExePath(const std::string& strAppFolder, const std::string& strExeFileName);

// The command value: the executable in double quotes, then  /chm="%1".
std::string ContextMenuCommand(const std::string& strExePath);

// True when the verb key chm.file\shell\Velmora exists.
bool IsContextMenuRegistered();

// Registers the verb for "chm.file" when blnChecked, removes it otherwise.
void ApplyContextMenuSwitch(bool blnChecked);

}  // namespace velmora::settings
