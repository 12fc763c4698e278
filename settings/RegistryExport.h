#pragma once
// The "REGEDIT4" export text of registry keys. Lines end with CR LF:
//
//   [HKEY_CLASSES_ROOT\path\of\key]
//   "name"="text with \\ and \" escaped"
//   "number"=dword:0000002a
//   "bytes"=hex:01,02,...   (a break after every 20th byte: ",\", CR LF,
//                            and two blanks before the next byte)
//
// Text values (plain and expandable) are cut at their first NUL; REG_DWORD
// values are numbers; every other type is written as bytes. Value names
// are written as they are, the default value as "".

#include <cstdint>
#include <string>
#include <vector>

#include "engine/cAppendString.h"
#include "platform/registry/RegistryTypes.h"

namespace velmora::settings {

inline constexpr const char* kExportHeader = "REGEDIT4\r\n\r\n";

// One value line, CR LF included.
std::string ExportValueLine(const std::string& name, std::uint32_t type, const std::vector<std::uint8_t>& data);

// Appends the key's line and its values (all of them when valueName is
// null, else that one), then, with recurse, its sub-keys the same way in
// order. False when the key (or the named value) cannot be read; the text
// then holds what was read before.
bool AppendKeyExport(platform::HKey root, const std::string& keyPath, const std::string* valueName, bool recurse,
                     engine::cAppendString& text);

}  // namespace velmora::settings
