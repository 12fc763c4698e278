#pragma once
// The context-menu verb as Linux file managers see it, all in the user's
// own data folder ($XDG_DATA_HOME, default ~/.local/share):
// - applications/velmora-extract-here.desktop: a hidden application entry
//   for the CHM MIME types, offered by GNOME Files, Nemo, Thunar and others;
// - kio/servicemenus/velmora-extract-here.desktop: a Dolphin service menu
//   (executable, as Dolphin requires) with the verb as its action.
// Both run the program with "/chm=" and the clicked file.

#include <string>

namespace velmora::settings {

std::string DesktopEntryPath();
std::string ServiceMenuPath();

// The Exec value that starts exePath with "/chm=%f", quoted and escaped
// for a desktop entry.
std::string DesktopExecValue(const std::string& strExePath);

// Writes (or replaces) both files; false when either cannot be written or
// the caption or path holds a line break.
bool WriteDesktopVerb(const std::string& strCaption, const std::string& strExePath);
// Removes both files; missing files are fine.
void RemoveDesktopVerb();

}  // namespace velmora::settings
