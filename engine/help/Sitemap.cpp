#include "engine/help/Sitemap.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "engine/help/AsciiCase.h"
#include "engine/help/HtmlEntities.h"
#include "engine/help/TextEncoding.h"
#include "engine/help/Utf8.h"

namespace velmora::help {

namespace {

// The byte a reference stands for when a file's references write the
// bytes of its code page: U+0080 to U+00FF, and Đ for the Ð it is
// mistaken for. 0 for any other character.
char32_t ByteOf(char32_t code) {
  if (code >= 0x80 && code <= 0xFF) return code;
  if (code == 0x110) return 0xD0;
  return 0;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

struct Attribute {
  std::string_view name;
  std::string_view value;
};

// One tag: its name (lower-cased, "/" in front for an end tag) and the
// attributes sitemaps use. Reading starts after "<" and ends after ">"
// (or at the end of the text).
struct Tag {
  std::string name;
  std::vector<Attribute> attributes;

  std::string_view attribute(std::string_view wanted) const {
    for (const auto& a : attributes) {
      if (EqualsIgnoringCase(a.name, wanted)) return a.value;
    }
    return {};
  }
};

constexpr std::size_t kMaxAttributes = 16;  // a sitemap's tags have two or three

std::size_t ReadTag(std::string_view text, std::size_t at, Tag& tag) {
  tag.name.clear();
  tag.attributes.clear();
  const std::size_t n = text.size();
  if (at < n && text[at] == '/') tag.name += text[at++];
  while (at < n && (std::isalnum(static_cast<unsigned char>(text[at])) != 0)) tag.name += LowerAscii(text[at++]);
  // "<" before anything but a name is text ("a < b", "<!DOCTYPE").
  if (tag.name.empty() || tag.name == "/") return at;
  while (at < n && text[at] != '>') {
    if (IsBlank(text[at]) || text[at] == '/') {
      ++at;
      continue;
    }
    const std::size_t nameStart = at;
    while (at < n && !IsBlank(text[at]) && text[at] != '=' && text[at] != '>') ++at;
    Attribute attribute{text.substr(nameStart, at - nameStart), {}};
    std::size_t look = at;
    while (look < n && IsBlank(text[look])) ++look;
    if (look < n && text[look] == '=') {
      at = look + 1;
      while (at < n && IsBlank(text[at])) ++at;
      if (at < n && (text[at] == '"' || text[at] == '\'')) {
        const char quote = text[at++];
        // A quote left open ends at the tag's end, not the file's.
        std::size_t end = text.find(quote, at);
        if (end == std::string_view::npos) end = std::min(text.find('>', at), n);
        attribute.value = text.substr(at, end - at);
        at = end < n && text[end] == quote ? end + 1 : end;
      } else {
        const std::size_t valueStart = at;
        while (at < n && !IsBlank(text[at]) && text[at] != '>') ++at;
        attribute.value = text.substr(valueStart, at - valueStart);
      }
    }
    if (tag.attributes.size() < kMaxAttributes) tag.attributes.push_back(attribute);
  }
  return at < n ? at + 1 : n;
}

// Builds entries from the tags as they come.
class SitemapBuilder {
 public:
  // byteCodePage: see DecodeEntities.
  SitemapBuilder(Sitemap& sitemap, std::string_view byteCodePage) : m_sitemap(sitemap), m_byteCodePage(byteCodePage) {}

  void OpenList() {
    Finish();
    ++m_depth;
  }
  void CloseList() {
    Finish();
    if (m_depth > 0) --m_depth;
  }
  void OpenObject(bool blnSitemap) {
    Finish();
    m_open = blnSitemap;
    m_entry = SitemapEntry();
  }
  void Param(std::string_view name, std::string_view value) {
    if (!m_open) return;
    if (EqualsIgnoringCase(name, "Keyword")) {
      // An index keyword: every Name after it titles a topic.
      if (m_named && !m_keyword && m_entry.topics.empty()) m_pendingTitle = std::move(m_entry.name);
      m_entry.name = Text(value);
      m_named = m_keyword = true;
    } else if (EqualsIgnoringCase(name, "Name")) {
      if (!m_named) {
        m_entry.name = Text(value);
        m_named = true;
      } else {
        m_pendingTitle = Text(value);
      }
    } else if (EqualsIgnoringCase(name, "Local")) {
      if (m_topics >= kMaxSitemapEntries) {
        m_sitemap.truncated = true;
        return;
      }
      ++m_topics;
      m_entry.topics.push_back({std::move(m_pendingTitle), Text(value)});
      m_pendingTitle.clear();
    } else if (EqualsIgnoringCase(name, "See Also")) {
      m_entry.seeAlso.push_back(Text(value));
    } else if (EqualsIgnoringCase(name, "Merge")) {
      m_entry.merge = Text(value);
    } else if (EqualsIgnoringCase(name, "ImageNumber")) {
      int number = 0;
      bool blnDigits = !value.empty();
      for (char c : value) {
        if (c < '0' || c > '9') blnDigits = false;
        if (blnDigits) number = std::min(number * 10 + (c - '0'), 1 << 20);
      }
      if (blnDigits) m_entry.imageNumber = number;
    }
  }
  // The entry of the open object, if it says anything, joins the list.
  void Finish() {
    if (!m_open) return;
    m_open = false;
    m_named = m_keyword = false;
    m_pendingTitle.clear();
    if (m_entry.name.empty() && m_entry.topics.empty() && m_entry.merge.empty() && m_entry.seeAlso.empty()) return;
    if (m_sitemap.entries.size() >= kMaxSitemapEntries) {
      m_sitemap.truncated = true;
      return;
    }
    const std::uint32_t listed = m_depth > 0 ? std::uint32_t(std::min<std::size_t>(m_depth - 1, kMaxSitemapLevel)) : 0;
    const std::uint32_t limit = m_sitemap.entries.empty() ? 0 : m_sitemap.entries.back().level + 1;
    m_entry.level = std::min(listed, limit);
    m_sitemap.entries.push_back(std::move(m_entry));
  }

 private:
  // A value with its references decoded and the blanks around it dropped.
  std::string Text(std::string_view value) const {
    std::string text = DecodeEntities(value, m_byteCodePage);
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    text.erase(0, std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    return text;
  }

  Sitemap& m_sitemap;
  std::string_view m_byteCodePage;
  std::size_t m_depth = 0;  // lists open
  bool m_open = false;      // inside a text/sitemap object
  bool m_named = false;
  bool m_keyword = false;
  std::string m_pendingTitle;
  std::size_t m_topics = 0;
  SitemapEntry m_entry;
};

}  // namespace

std::string DecodeEntities(std::string_view text, std::string_view byteCodePage) {
  std::string out;
  out.reserve(text.size());
  std::string bytes;  // references standing for bytes of byteCodePage, not yet converted
  auto flush = [&] {
    if (bytes.empty()) return;
    out += ToUtf8(bytes, byteCodePage);
    bytes.clear();
  };
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t amp = text.find('&', at);
    if (amp == std::string_view::npos) break;
    if (amp > at) flush();
    out.append(text.substr(at, amp - at));
    char32_t code = 0;
    std::size_t lngLength = 0;
    const bool blnReference = DecodeCharacterReference(text, amp, code, lngLength);
    const char32_t byte = byteCodePage.empty() || !blnReference ? 0 : ByteOf(code);
    if (byte != 0) {
      bytes += char(byte);
      at = amp + lngLength;
      continue;
    }
    flush();
    if (!blnReference) {
      out += '&';
      at = amp + 1;
    } else {
      AppendUtf8(out, code);
      at = amp + lngLength;
    }
  }
  if (at < text.size()) flush();
  out.append(text.substr(std::min(at, text.size())));
  flush();
  return out;
}

std::string EscapeControlCharacters(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    char escape[8];
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", c);
      out += escape;
    } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80) {
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(utf8[++i]));
      out += escape;
    } else {
      out += char(c);
    }
  }
  return out;
}

namespace {

// Entries of a sitemap already in UTF-8; see DecodeEntities for byteCodePage.
Sitemap ParseDecoded(const std::string& text, std::string_view byteCodePage) {
  Sitemap sitemap;
  SitemapBuilder builder(sitemap, byteCodePage);
  Tag tag;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('<', at);
    if (open == std::string::npos) break;
    if (text.compare(open, 4, "<!--") == 0) {
      const std::size_t end = text.find("-->", open + 4);
      at = end == std::string::npos ? text.size() : end + 3;
      continue;
    }
    at = ReadTag(text, open + 1, tag);
    if (tag.name == "ul" || tag.name == "ol") {
      builder.OpenList();
    } else if (tag.name == "/ul" || tag.name == "/ol") {
      builder.CloseList();
    } else if (tag.name == "li") {
      builder.Finish();
    } else if (tag.name == "object") {
      builder.OpenObject(EqualsIgnoringCase(tag.attribute("type"), "text/sitemap"));
    } else if (tag.name == "/object") {
      builder.Finish();
    } else if (tag.name == "param") {
      builder.Param(tag.attribute("name"), tag.attribute("value"));
    }
  }
  builder.Finish();
  return sitemap;
}

// A file of ASCII alone under a language that is not Western writes its
// non-ASCII names as references to Latin-1 characters, one for each byte of
// the code page ("&Atilde;&euml;" for the cp1251 bytes C3 EB, "Гл"): the
// code page those references are bytes of, or empty.
std::string_view ByteReferencesCodePage(std::string_view bytes, std::string_view codePage) {
  const bool blnAscii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
  return blnAscii && codePage != "CP1252" ? codePage : std::string_view();
}

}  // namespace

Sitemap ParseSitemap(std::string_view bytes, std::string_view codePage) {
  return ParseDecoded(DecodeText(bytes, codePage), ByteReferencesCodePage(bytes, codePage));
}

Sitemap ParseSitemapAs(std::string_view bytes, std::string_view charset) {
  return ParseDecoded(ToUtf8(bytes, charset), ByteReferencesCodePage(bytes, charset));
}

}  // namespace velmora::help
