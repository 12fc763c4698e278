#pragma once
// The extract type given as text on a command line ("/type=" of the window,
// -t of velmora-cli).

#include <cstdint>
#include <string>

namespace velmora::engine {

// The leading number of strTypeText (leading blanks skipped; sign, digits,
// a decimal point and an exponent are read up to the first character that
// cannot continue the number; no number gives 0), rounded to the nearest
// integer with halves going to the even neighbour. Values below 1 or above
// 16 give 1 (everything).
std::int32_t CommandLineExtractType(const std::string& strTypeText);

}  // namespace velmora::engine
