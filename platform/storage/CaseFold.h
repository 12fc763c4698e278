#pragma once
// Case-insensitive comparison of stored names, as the Windows storage
// service compares them: ASCII letters plus the Latin-1, Greek and Cyrillic
// capitals fold to lower case; every other byte is compared as stored.

#include <string>
#include <string_view>

namespace velmora::platform {

std::string FoldCase(std::string_view utf8);

}  // namespace velmora::platform
