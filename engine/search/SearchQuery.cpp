#include "engine/search/SearchQuery.h"

#include <algorithm>

#include "engine/search/TextFold.h"
#include "engine/help/Utf8.h"

namespace velmora::search {

using help::NextCodePoint;

namespace {

void AddTerm(std::vector<std::string>& terms, std::string term) {
  while (!term.empty() && term.back() == ' ') term.pop_back();
  const std::size_t start = term.find_first_not_of(' ');
  if (start == std::string::npos) return;
  term.erase(0, start);
  if (std::find(terms.begin(), terms.end(), term) == terms.end()) terms.push_back(std::move(term));
}

// An FTS5 string: in double quotes, a double quote doubled.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + '"';
}

}  // namespace

std::vector<std::string> ParseQuery(std::string_view query) {
  // Folding first makes full-width quotes and blanks ASCII ones.
  const std::string folded = FoldText(query);
  std::vector<std::string> terms;
  std::string term;
  bool quoted = false;
  for (const char c : folded) {
    if (c == '"') {
      AddTerm(terms, std::move(term));
      term.clear();
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      AddTerm(terms, std::move(term));
      term.clear();
    } else {
      term += c;
    }
  }
  AddTerm(terms, std::move(term));
  return terms;
}

std::string MatchExpression(const std::vector<std::string>& terms) {
  // Every three-code-point piece of every term, each once; a term shorter
  // than three code points is a prefix. Their order and places are left to
  // the check of the text, so the index needs to keep no positions.
  std::vector<std::string> pieces;
  for (const std::string& term : terms) {
    std::vector<std::size_t> starts;  // of each code point
    for (std::size_t pos = 0; pos < term.size(); NextCodePoint(term, pos)) starts.push_back(pos);
    starts.push_back(term.size());
    const std::size_t count = starts.size() - 1;
    if (count < 3) {
      pieces.push_back(Quoted(term) + "*");
      continue;
    }
    for (std::size_t i = 0; i + 3 <= count; ++i) {
      pieces.push_back(Quoted(term.substr(starts[i], starts[i + 3] - starts[i])));
    }
  }
  std::sort(pieces.begin(), pieces.end());
  pieces.erase(std::unique(pieces.begin(), pieces.end()), pieces.end());
  std::string expression;
  for (const std::string& piece : pieces) {
    if (!expression.empty()) expression += " AND ";
    expression += piece;
  }
  return expression;
}

}  // namespace velmora::search
