#pragma once
// The text of a page as the index keeps it: markup, scripts, styles and
// comments dropped, character references decoded, every run of blanks one
// space. One pass from the start to the end of the page, without recursion
// and without looking back, so hostile markup costs no more than its length.

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::search {

inline constexpr std::size_t kMaxPageTextBytes = 16u << 20;

struct PageText {
  std::string title;  // the first <title>'s text, at most kMaxTitleBytes
  std::string text;   // the title's words included; at most the limit given
  bool truncated = false;  // the page had more text than the limit
};

inline constexpr std::size_t kMaxTitleBytes = 1024;

// html: the page in UTF-8. Elements whose names are not inline (p, div,
// td, br, ...) separate words; inline ones (b, span, a, ...) do not.
PageText HtmlPageText(std::string_view html, std::size_t maxTextBytes = kMaxPageTextBytes);

// A plain text page in UTF-8: blanks collapsed, nothing else changed.
PageText PlainPageText(std::string_view text, std::size_t maxTextBytes = kMaxPageTextBytes);

}  // namespace velmora::search
