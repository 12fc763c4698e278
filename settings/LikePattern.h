#pragma once
// Wildcard matching with the usual rules: "*" any run of characters
// (also none), "?" one character, "#" one digit, "[list]" one character of
// the list, "[!list]" one character not in it; a list may hold ranges
// such as "a-z", and "-" at its start or end stands for itself. Special
// characters are matched literally inside brackets ("[*]"). Letter case
// counts. Characters are UTF-8 code points. A "[" without a closing "]"
// makes the pattern match nothing.

#include <string>

namespace velmora::settings {

bool MatchesLikePattern(const std::string& text, const std::string& pattern);

}  // namespace velmora::settings
