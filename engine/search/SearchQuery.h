#pragma once
// What the user types into a search: blank-separated terms that must all
// occur in a page, and "quoted text" (ASCII or full-width quotes) that is
// one term, blanks and all.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::search {

// The query's terms, folded (TextFold.h), each once, in the order typed.
// Empty when the query holds nothing but blanks and quotes. An unclosed
// quote runs to the end of the query.
std::vector<std::string> ParseQuery(std::string_view query);

// The FTS5 expression that finds every page holding all the folded terms
// (and may find more, see PageTokenizer.h).
std::string MatchExpression(const std::vector<std::string>& terms);

}  // namespace velmora::search
