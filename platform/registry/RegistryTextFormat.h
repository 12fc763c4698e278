#pragma once
// The text form in which registry keys are kept on disk, both the whole
// store and a key saved with RegSaveKey:
//
//   <signature line>
//   [path\of\key]
//   "value name"=<type>:<data bytes in hexadecimal>
//
// Keys come in pre-order, each followed by its values. Value names escape
// "\", '"' and control characters ("\\", "\"", "\xHH"); key names never
// hold those. Every byte of data is kept exactly, whatever its type.

#include <functional>
#include <string>
#include <vector>

#include "platform/registry/RegistryKey.h"

namespace velmora::platform {

// Appends key and everything below it; path is the key's own path as it
// should appear between the brackets (may be empty).
void AppendKeyTree(const RegistryKey& key, const std::string& path, std::string& text);

// Reads text written as above. keyFor turns the names of a header's path
// into the key that receives the following values (creating it), or null
// to reject the path. Returns false when the signature differs or any line
// is malformed; keys read until then stay.
bool ParseKeyTrees(const std::string& text, const std::string& signature,
                   const std::function<RegistryKey*(const std::vector<std::string>&)>& keyFor);

}  // namespace velmora::platform
