#pragma once
// Applies a registry export text ("REGEDIT4", or "Windows Registry Editor
// Version 5.00" saved as UTF-8) to the registry: "[key]" creates the key,
// "[-key]" deletes it with everything below, and each value line sets
// ("text", dword:, hex:, hex(type):) or deletes (=-) one value; "@" names
// the default value. Lines ending in "\" continue on the next line.

#include <string>

namespace velmora::settings {

// False when the header is missing or a line cannot be read or applied;
// the lines before it stay applied.
bool ImportRegistryText(const std::string& text);

}  // namespace velmora::settings
