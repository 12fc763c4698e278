#pragma once
// The context-menu verb as Linux file managers see it, all in the user's
// own data folder ($XDG_DATA_HOME, default ~/.local/share):
// - kio/servicemenus/velmora-extract-here.desktop: a Dolphin service menu
//   (executable, as Dolphin requires) with the verb as its action;
// - nemo/actions/velmora-extract-here.nemo_action: a Nemo action for the
//   CHM MIME types;
// - nautilus/scripts/<caption>: an executable script that GNOME Files lists
//   under Scripts.
// Each runs the program with "/chm=" and the clicked file. No application
// entry is written: a user's own entry for the CHM types would take the
// double-click from the installed program.

#include <string>

namespace velmora::settings {

std::string ServiceMenuPath();
std::string NemoActionPath();
std::string NautilusScriptPath(const std::string& strCaption);

// The Exec value that starts exePath with "/chm=%f", quoted and escaped
// for a desktop entry.
std::string DesktopExecValue(const std::string& strExePath);

// Writes (or replaces) the three files; false when any cannot be written,
// the caption or path holds a line break, or the caption holds a "/".
bool WriteDesktopVerb(const std::string& strCaption, const std::string& strExePath);
// Removes the files (and an application entry earlier versions wrote);
// missing files are fine.
void RemoveDesktopVerb(const std::string& strCaption);

}  // namespace velmora::settings
