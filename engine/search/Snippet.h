#pragma once
// A short piece of a page's text around the first hit, with every hit in it
// marked, for a result list.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::search {

struct Snippet {
  std::string text;  // UTF-8; "…" where the page's text goes on
  // Byte ranges [first, second) of text that are hits, in order, apart.
  std::vector<std::pair<std::size_t, std::size_t>> marks;
};

// text: the page's text as stored; terms: folded (SearchQuery.h). Holds
// the start of the page's text when no term occurs in it.
Snippet MakeSnippet(std::string_view text, const std::vector<std::string>& terms);

// The snippet's text with open and close around each hit.
std::string MarkedText(const Snippet& snippet, std::string_view open, std::string_view close);

}  // namespace velmora::search
