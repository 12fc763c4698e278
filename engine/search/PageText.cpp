#include "engine/search/PageText.h"

#include <algorithm>
#include <array>

#include "engine/help/HtmlEntities.h"
#include "engine/help/Utf8.h"

namespace velmora::search {

using help::NextCodePoint;
using help::AppendUtf8;
using help::CodePointStart;
using help::kReplacementCharacter;
using help::DecodeCharacterReference;

namespace {

bool IsAsciiBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// An ill-formed byte is kept as U+FFFD, so the index holds valid UTF-8.
constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

constexpr std::array<std::string_view, 27> kInlineElements = {
    "a",   "abbr", "acronym", "b",    "bdi",    "bdo",   "big",  "cite", "code", "dfn",  "em",   "font", "i",  "kbd",
    "mark", "nobr", "q",      "s",    "samp",   "small", "span", "strike", "strong", "sub", "sup", "tt", "u"};

bool IsInline(std::string_view name) {
  return std::find(kInlineElements.begin(), kInlineElements.end(), name) != kInlineElements.end() || name == "var" ||
         name == "wbr";
}

// Where the ASCII text sought starts at or after from, letter case ignored;
// text.size() when it does not occur.
std::size_t FindIgnoringCase(std::string_view text, std::size_t from, std::string_view sought) {
  auto it = std::search(text.begin() + std::min(from, text.size()), text.end(), sought.begin(), sought.end(),
                        [](char a, char b) { return AsciiLower(a) == b; });
  return static_cast<std::size_t>(it - text.begin());
}

// Collects text with blanks collapsed, up to a limit.
class TextBuilder {
 public:
  explicit TextBuilder(std::size_t limit) : m_limit(limit) {}

  void blank() { m_blankPending = true; }
  // Appends the bytes of one character (never a blank).
  void character(std::string_view bytes) {
    if (full()) return;
    const std::size_t needed = bytes.size() + (m_blankPending && !m_text.empty() ? 1 : 0);
    if (m_text.size() + needed > m_limit) {
      m_truncated = true;
      m_full = true;
      return;
    }
    if (m_blankPending && !m_text.empty()) m_text += ' ';
    m_blankPending = false;
    m_text.append(bytes);
  }
  void codePoint(char32_t c) {
    if (c == 0xA0 || c == 0x3000 || (c < 0x80 && IsAsciiBlank(static_cast<char>(c)))) return blank();
    std::string bytes;
    AppendUtf8(bytes, c);
    character(bytes);
  }
  bool full() const { return m_full; }
  bool truncated() const { return m_truncated; }
  std::string& text() { return m_text; }

 private:
  std::size_t m_limit;
  std::string m_text;
  bool m_blankPending = false;
  bool m_full = false;
  bool m_truncated = false;
};

// Adds the text from html[pos] to the next "<" or the end, references
// decoded; returns where it stopped.
std::size_t AddText(std::string_view html, std::size_t pos, TextBuilder& builder) {
  while (pos < html.size() && html[pos] != '<' && !builder.full()) {
    const char c = html[pos];
    if (IsAsciiBlank(c)) {
      builder.blank();
      ++pos;
    } else if (c == '&') {
      char32_t decoded = 0;
      std::size_t length = 0;
      if (DecodeCharacterReference(html, pos, decoded, length)) {
        builder.codePoint(decoded);
        pos += length;
      } else {
        builder.character("&");
        ++pos;
      }
    } else {
      const std::size_t start = pos;
      const char32_t cp = NextCodePoint(html, pos);
      if (cp == 0xA0 || cp == 0x3000) builder.blank();
      else if (cp == kReplacementCharacter && pos - start == 1) builder.character(kReplacementUtf8);
      else builder.character(html.substr(start, pos - start));
    }
  }
  return pos;
}

// Past the end of the tag whose name ends at pos: attribute values in
// quotes may hold ">". An unclosed quote runs to the end of the page, as
// in a browser.
std::size_t SkipTag(std::string_view html, std::size_t pos) {
  while (pos < html.size() && html[pos] != '>') {
    if (html[pos] == '=') {
      ++pos;
      while (pos < html.size() && IsAsciiBlank(html[pos])) ++pos;
      if (pos < html.size() && (html[pos] == '"' || html[pos] == '\'')) {
        const std::size_t close = html.find(html[pos], pos + 1);
        if (close == std::string_view::npos) return html.size();
        pos = close + 1;
      }
    } else {
      ++pos;
    }
  }
  return std::min(pos + 1, html.size());
}

}  // namespace

PageText HtmlPageText(std::string_view html, std::size_t maxTextBytes) {
  PageText page;
  TextBuilder builder(maxTextBytes);
  std::size_t titleStart = std::string::npos;  // where the open title's text starts
  bool titleDone = false;
  std::size_t pos = 0;
  while (pos < html.size() && !builder.full()) {
    pos = AddText(html, pos, builder);
    if (pos >= html.size() || builder.full()) break;
    // html[pos] == '<'
    if (html.compare(pos, 4, "<!--") == 0) {
      const std::size_t end = html.find("-->", pos + 4);
      pos = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    if (pos + 1 < html.size() && (html[pos + 1] == '!' || html[pos + 1] == '?')) {
      const std::size_t end = html.find('>', pos);
      pos = end == std::string_view::npos ? html.size() : end + 1;
      continue;
    }
    const bool closing = pos + 1 < html.size() && html[pos + 1] == '/';
    std::size_t nameStart = pos + (closing ? 2 : 1);
    if (nameStart >= html.size() || !IsAsciiLetter(html[nameStart])) {
      builder.character("<");
      ++pos;
      continue;
    }
    std::size_t nameEnd = nameStart;
    std::string name;
    while (nameEnd < html.size() && (IsAsciiLetter(html[nameEnd]) || (html[nameEnd] >= '0' && html[nameEnd] <= '9'))) {
      if (name.size() < 16) name += AsciiLower(html[nameEnd]);
      ++nameEnd;
    }
    pos = SkipTag(html, nameEnd);
    if (!IsInline(name)) builder.blank();
    if (name == "title" && !titleDone) {
      if (!closing && titleStart == std::string::npos) {
        builder.blank();
        titleStart = builder.text().size();
      } else if (closing && titleStart != std::string::npos) {
        std::string_view title = std::string_view(builder.text()).substr(titleStart);
        if (!title.empty() && title.front() == ' ') title.remove_prefix(1);
        if (title.size() > kMaxTitleBytes) title = title.substr(0, CodePointStart(title, kMaxTitleBytes));
        page.title = std::string(title);
        titleDone = true;
      }
    } else if (!closing && (name == "script" || name == "style")) {
      // Their content is not text; it ends at the first closing tag of
      // the same name, whatever it holds.
      pos = FindIgnoringCase(html, pos, name == "script" ? "</script" : "</style");
    }
  }
  page.truncated = builder.truncated() || (builder.full() && pos < html.size());
  page.text = std::move(builder.text());
  return page;
}

PageText PlainPageText(std::string_view text, std::size_t maxTextBytes) {
  PageText page;
  TextBuilder builder(maxTextBytes);
  for (std::size_t pos = 0; pos < text.size() && !builder.full();) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(text, pos);
    if (c == 0xA0 || c == 0x3000 || (c < 0x80 && IsAsciiBlank(static_cast<char>(c)))) builder.blank();
    else if (c == kReplacementCharacter && pos - start == 1) builder.character(kReplacementUtf8);
    else builder.character(text.substr(start, pos - start));
  }
  page.truncated = builder.truncated();
  page.text = std::move(builder.text());
  return page;
}

}  // namespace velmora::search
