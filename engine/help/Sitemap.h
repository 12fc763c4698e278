#pragma once
// Contents (.hhc) and index (.hhk) files: HTML "sitemaps" whose nested
// <UL>/<LI> lists hold <OBJECT type="text/sitemap"> entries with <PARAM>
// values. Anyone can write one, so the parser keeps no stack the input can
// deepen: entries come out flat, in document order, each with its level,
// and both the levels and the number of entries are bounded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::help {

// One Name/Local pair: a page and the title it is listed under (empty when
// the entry's own name stands for it).
struct SitemapTopic {
  std::string title;  // UTF-8
  std::string local;  // UTF-8, entities decoded, otherwise as written
};

struct SitemapEntry {
  // 0 at the top; at most one more than the entry before (a list opened
  // deeper than that counts one level deeper) and at most kMaxSitemapLevel.
  std::uint32_t level = 0;
  std::string name;                  // the Keyword, else the first Name; UTF-8
  std::vector<SitemapTopic> topics;  // every Local, in order
  std::vector<std::string> seeAlso;  // index: the keywords it refers to
  std::string merge;                 // another file's contents to splice in here
  int imageNumber = -1;              // -1: none given
};

struct Sitemap {
  std::vector<SitemapEntry> entries;
  bool truncated = false;  // entries or topics past the bounds were dropped
};

constexpr std::size_t kMaxSitemapEntries = 500000;  // entries, and topics of all entries
constexpr std::uint32_t kMaxSitemapLevel = 100;

// The sitemap in bytes, decoded as a whole by DecodeText with the help
// file's code page; blanks around values dropped. Unclosed tags end where the next entry or list begins;
// anything that is not a tag of a sitemap is skipped.
Sitemap ParseSitemap(std::string_view bytes, std::string_view codePage);

// As ParseSitemap, with the bytes taken as charset whatever they look like:
// the encoding a user chose for a file.
Sitemap ParseSitemapAs(std::string_view bytes, std::string_view charset);

// text with its character references (&amp; &#20013; &#x4E2D; and the
// Latin-1 names) decoded; an unknown or unterminated one stays as written.
// With byteCodePage, references to U+0080..U+00FF stand for bytes in that
// code page, as files written in ASCII alone use them.
std::string DecodeEntities(std::string_view text, std::string_view byteCodePage = {});

// A name for one line of output: control characters as escapes (C0 and
// DEL as "\x09", C1 as "\u0085"), so a name can neither break a line nor a
// column; everything else as it is.
std::string EscapeControlCharacters(std::string_view utf8);

}  // namespace velmora::help
