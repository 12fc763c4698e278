#include "engine/search/Snippet.h"

#include <algorithm>

#include "engine/search/TextFold.h"
#include "engine/help/Utf8.h"

namespace velmora::search {

using help::NextCodePoint;
using help::AppendUtf8;
using help::CodePointStart;

namespace {

constexpr std::size_t kContextBefore = 30;  // code points before the first hit
constexpr std::size_t kContextAfter = 60;   // code points after it
constexpr std::string_view kEllipsis = "…";

// The folding of text[from, to) with, for each folded byte, the start and
// end of the code point of text it came from.
struct FoldedRange {
  std::string folded;
  std::vector<std::pair<std::size_t, std::size_t>> origins;
};

FoldedRange FoldRange(std::string_view text, std::size_t from, std::size_t to) {
  FoldedRange range;
  FoldStream stream;
  for (std::size_t pos = from; pos < to;) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(text, pos);
    stream.push(c, [&](char32_t folded) {
      AppendUtf8(range.folded, folded);
      range.origins.resize(range.folded.size(), {start, pos});
    });
  }
  return range;
}

// Where in text the folded byte at foldedOffset came from: the start of its
// code point, found by folding from the start.
std::size_t OriginOf(std::string_view text, std::size_t foldedOffset) {
  std::size_t folded = 0;
  FoldStream stream;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(text, pos);
    bool reached = false;
    stream.push(c, [&](char32_t out) {
      folded += out < 0x80 ? 1 : out < 0x800 ? 2 : out < 0x10000 ? 3 : 4;
      if (folded > foldedOffset) reached = true;
    });
    if (reached) return start;
  }
  return text.size();
}

std::size_t BackCodePoints(std::string_view text, std::size_t pos, std::size_t count) {
  for (; count > 0 && pos > 0; --count) pos = CodePointStart(text, pos - 1);
  return pos;
}

std::size_t ForwardCodePoints(std::string_view text, std::size_t pos, std::size_t count) {
  for (; count > 0 && pos < text.size(); --count) NextCodePoint(text, pos);
  return pos;
}

}  // namespace

Snippet MakeSnippet(std::string_view text, const std::vector<std::string>& terms) {
  const std::string foldedText = FoldText(text);
  std::size_t firstHit = std::string::npos;
  for (const std::string& term : terms) {
    if (!term.empty()) firstHit = std::min(firstHit, foldedText.find(term));
  }
  const std::size_t hitStart = firstHit == std::string::npos ? 0 : OriginOf(text, firstHit);
  const std::size_t from = BackCodePoints(text, hitStart, kContextBefore);
  // The context after the hit counts from its start, so a long term gets
  // its own length on top.
  std::size_t longestTerm = 0;
  for (const std::string& term : terms) longestTerm = std::max(longestTerm, term.size());
  const std::size_t to = ForwardCodePoints(text, hitStart, kContextAfter + longestTerm);

  const FoldedRange window = FoldRange(text, from, to);
  std::vector<std::pair<std::size_t, std::size_t>> hits;  // in text
  for (const std::string& term : terms) {
    if (term.empty()) continue;
    for (std::size_t pos = window.folded.find(term); pos != std::string::npos;
         pos = window.folded.find(term, pos + term.size())) {
      hits.emplace_back(window.origins[pos].first, window.origins[pos + term.size() - 1].second);
    }
  }
  std::sort(hits.begin(), hits.end());

  Snippet snippet;
  if (from > 0) snippet.text = kEllipsis;
  const std::size_t shift = snippet.text.size();
  snippet.text.append(text.substr(from, to - from));
  if (to < text.size()) snippet.text.append(kEllipsis);
  for (const auto& hit : hits) {
    const std::size_t start = hit.first - from + shift;
    const std::size_t end = hit.second - from + shift;
    if (!snippet.marks.empty() && start <= snippet.marks.back().second) {
      snippet.marks.back().second = std::max(snippet.marks.back().second, end);
    } else {
      snippet.marks.emplace_back(start, end);
    }
  }
  return snippet;
}

std::string MarkedText(const Snippet& snippet, std::string_view open, std::string_view close) {
  std::string marked;
  std::size_t pos = 0;
  for (const auto& mark : snippet.marks) {
    marked.append(snippet.text, pos, mark.first - pos);
    marked.append(open);
    marked.append(snippet.text, mark.first, mark.second - mark.first);
    marked.append(close);
    pos = mark.second;
  }
  marked.append(snippet.text, pos, std::string::npos);
  return marked;
}

}  // namespace velmora::search
