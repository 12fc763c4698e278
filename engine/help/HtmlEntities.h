#pragma once
// Character references of HTML pages: "&amp;", "&#20013;", "&#x4E2D;".

#include <cstddef>
#include <string_view>

namespace velmora::help {

// Decodes the reference starting with the "&" at text[pos]. On success sets
// c and length (the bytes the reference takes, ";" included) and returns
// true; false when no known reference starts there (the "&" is then text).
// A number out of range, zero or a surrogate decodes to U+FFFD.
bool DecodeCharacterReference(std::string_view text, std::size_t pos, char32_t& c, std::size_t& length);

}  // namespace velmora::help
