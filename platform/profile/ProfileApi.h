#pragma once
// Profile (INI file) functions with the observable results of the Windows
// profile API: GetPrivateProfileString, WritePrivateProfileString and the
// system-profile pair GetProfileString / WriteProfileString.
//
// Files are UTF-8 text. Section and key names are matched with ASCII letter
// case ignored. Blanks around keys and values are ignored, and a value
// enclosed in matching single or double quotes is returned without them.
// A null pointer means an absent argument (as on Windows); an empty text is
// not absent.

#include <cstdint>
#include <string>

namespace velmora::platform {

// Fills buffer (size bytes) and returns the number of bytes copied, the
// terminating NUL not counted:
// - section and key given: the key's value, or defaultText (trailing blanks
//   removed; null counts as empty) when the file, section or key is
//   missing; cut to size - 1 bytes, never inside a UTF-8 character;
// - key null: the section's key names, each followed by a NUL, then one
//   more NUL; defaultText when the section has no keys;
// - section null: the section names in the same form.
// A list that does not fit is cut and ended by two NULs; the result is
// then size - 2. A null buffer or size 0 gives 0.
std::uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultText,
                                      char* buffer, std::uint32_t size, const std::string& path);

// Writes key=text into section, creating the file and the section when
// missing. A null text removes the key; a null key removes the whole
// section (text is then ignored). Removing what is not there succeeds and
// creates nothing. The file is replaced atomically. Returns false (and
// changes nothing) when the section is null, when a name or the text holds
// a line break, a key holds "=", a section holds "]", or the file cannot
// be read or written (the folder is not created).
bool WritePrivateProfileString(const char* section, const char* key, const char* text, const std::string& path);

// The system profile: a per-user file (SystemProfilePath) standing in for
// the Windows win.ini. Writing creates the user's config folder if needed.
std::uint32_t GetProfileString(const char* section, const char* key, const char* defaultText, char* buffer,
                               std::uint32_t size);
bool WriteProfileString(const char* section, const char* key, const char* text);

// UserConfigFolder() + "/win.ini".
std::string SystemProfilePath();

}  // namespace velmora::platform
