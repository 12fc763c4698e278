#include "engine/search/PageMatch.h"

#include "engine/search/TextFold.h"

namespace velmora::search {

std::size_t CountOccurrences(std::string_view haystack, std::string_view needle) {
  std::size_t count = 0;
  for (std::size_t pos = haystack.find(needle); pos != std::string_view::npos;
       pos = haystack.find(needle, pos + needle.size())) {
    ++count;
  }
  return count;
}

PageMatch MatchPage(std::string_view title, std::string_view text, const std::vector<std::string>& terms,
                    std::string& scratch) {
  PageMatch match;
  if (terms.empty()) return match;
  FoldTextInto(text, scratch);
  for (const std::string& term : terms) {
    const std::size_t count = CountOccurrences(scratch, term);
    if (count == 0) return PageMatch{};
    match.hits += count;
  }
  const std::string foldedTitle = FoldText(title);
  for (const std::string& term : terms) {
    if (foldedTitle.find(term) != std::string::npos) ++match.titleTerms;
  }
  match.matched = true;
  return match;
}

}  // namespace velmora::search
