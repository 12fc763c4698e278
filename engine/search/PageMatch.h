#pragma once
// Whether a page holds every term of a query, and how well it matches: the
// index only proposes pages, this decides.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::search {

struct PageMatch {
  bool matched = false;        // every term occurs in the text
  std::size_t titleTerms = 0;  // terms that occur in the title
  std::size_t hits = 0;        // occurrences of all terms in the text
};

// terms: folded (SearchQuery.h); title and text as stored. scratch: memory
// for the folded text, kept from one page to the next.
PageMatch MatchPage(std::string_view title, std::string_view text, const std::vector<std::string>& terms,
                    std::string& scratch);

// Occurrences of needle in haystack, not overlapping; needle not empty.
std::size_t CountOccurrences(std::string_view haystack, std::string_view needle);

}  // namespace velmora::search
