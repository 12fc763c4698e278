// The sitemap parser on what contents and index files hold, and on what
// anyone can write into one: nesting no stack survives, more entries than
// any manual, unclosed tags, binary junk, control characters.
#include <gtest/gtest.h>

#include <random>

#include "engine/help/Sitemap.h"

namespace {

using namespace velmora::help;

std::string Object(const std::string& params) { return "<OBJECT type=\"text/sitemap\">" + params + "</OBJECT>"; }
std::string Param(const std::string& name, const std::string& value) {
  return "<param name=\"" + name + "\" value=\"" + value + "\">";
}

// One line per entry: level, name, then "|title>local" per topic, "~see"
// per See Also, "+merge", "#image".
std::string Summary(const Sitemap& sitemap) {
  std::string text;
  for (const auto& e : sitemap.entries) {
    text += std::to_string(e.level) + " " + e.name;
    for (const auto& t : e.topics) text += "|" + t.title + ">" + t.local;
    for (const auto& s : e.seeAlso) text += "~" + s;
    if (!e.merge.empty()) text += "+" + e.merge;
    if (e.imageNumber >= 0) text += "#" + std::to_string(e.imageNumber);
    text += "\n";
  }
  return text;
}

// Levels never jump by more than one, whatever the input.
void ExpectTreeShape(const Sitemap& sitemap) {
  for (std::size_t i = 1; i < sitemap.entries.size(); ++i) {
    ASSERT_LE(sitemap.entries[i].level, sitemap.entries[i - 1].level + 1) << i;
  }
  if (!sitemap.entries.empty()) {
    EXPECT_EQ(sitemap.entries[0].level, 0u);
  }
}

TEST(SitemapTest, EntriesOfContentsAndIndexFiles) {
  struct Case {
    const char* what;
    std::string html;
    std::string summary;
  };
  const Case cases[] = {
      {"nested lists and a heading",
       "<HTML><OBJECT type=\"text/site properties\">" + Param("ImageType", "Folder") + "</OBJECT><UL><LI>" +
           Object(Param("Name", "Book") + Param("ImageNumber", "1")) + "<UL><LI>" +
           Object(Param("Name", "Page") + Param("Local", "html\\a.htm#x")) + "</UL><LI>" +
           Object(Param("Name", "Last") + Param("Local", "b.htm")) + "</UL></HTML>",
       "0 Book#1\n1 Page|>html\\a.htm#x\n0 Last|>b.htm\n"},
      {"several Name/Local pairs: the first Name names the entry",
       "<UL><LI>" + Object(Param("Name", "kw") + Param("Name", "T1") + Param("Local", "1.htm") + Param("Name", "T2") +
                           Param("Local", "2.htm")) + "</UL>",
       "0 kw|T1>1.htm|T2>2.htm\n"},
      {"an index keyword: every Name titles a topic",
       "<UL><LI>" + Object(Param("Keyword", " \tkw ") + Param("Name", "T1") + Param("Local", "1.htm")) + "<UL><LI>" +
           Object(Param("Keyword", "sub") + Param("See Also", "kw")) + "</UL></UL>",
       "0 kw|T1>1.htm\n1 sub~kw\n"},
      {"merge, entities, attribute forms",
       "<ul><li><object TYPE='TEXT/SITEMAP'>"
       "<PARAM NAME=Name VALUE=\"a &amp; b &lt;c&gt; &#20013;&#x6587; &eacute;&bogus; & x\"></object>"
       "<li>" + Object(Param("Merge", "other.chm::/other.hhc")) + "</ul>",
       "0 a & b <c> 中文 é&bogus; & x\n0 +other.chm::/other.hhc\n"},
      {"a list opened two deeper counts one deeper; closing too many lists is harmless",
       "<UL><LI>" + Object(Param("Name", "a")) + "<UL><UL><UL><LI>" + Object(Param("Name", "b")) +
           "</UL></UL></UL></UL></UL></UL><LI>" + Object(Param("Name", "c")),
       "0 a\n1 b\n0 c\n"},
      {"unclosed objects end at the next entry or list",
       "<UL><LI><OBJECT type=\"text/sitemap\">" + Param("Name", "a") + "<LI><OBJECT type=\"text/sitemap\">" +
           Param("Name", "b") + "<UL><LI><OBJECT type=\"text/sitemap\">" + Param("Name", "c") + Param("Local", "c.htm"),
       "0 a\n0 b\n1 c|>c.htm\n"},
      {"comments, stray '<', a quote left open and other objects are skipped",
       "<!-- <UL><LI>" + Object(Param("Name", "hidden")) + " --><UL>a < b <LI>" +
           Object(Param("Name", "kept")) + "<OBJECT type=\"application/x-oleobject\">" + Param("Name", "ole") +
           "</OBJECT><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"open> and the rest",
       "0 kept\n0 open\n"},
      {"empty objects are no entries", "<UL><LI>" + Object("") + "<LI>" + Object(Param("Local", "")) + "</UL>",
       "0 |>\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Summary(ParseSitemap(c.html, "CP1252")), c.summary) << c.what;
}

TEST(SitemapTest, NamesInTheRightEncoding) {
  struct Case {
    std::string bytes;  // a value's bytes as the file stores them
    const char* codePage;
    std::string name;
  };
  const Case cases[] = {
      {"\xD6\xD0\xCE\xC4", "GBK", "中文"},
      {"\x83\x68\x83\x4C", "CP932", "ドキ"},
      {"中文", "GBK", "中文"},  // a UTF-8 file under a Chinese language
      // A file in ASCII alone writes the bytes of its code page as Latin-1
      // references (and Đ for Ð).
      {"&Atilde;&euml;&agrave;&acirc;&iacute;&agrave;&yuml; &#208;&Dstrok;", "CP1251", "Главная РР"},
      {"&eacute;", "CP1252", "é"},
      {"a\x01" "b", "CP1252", "a\x01" "b"},  // kept; escaped when shown
  };
  for (const auto& c : cases) {
    const Sitemap sitemap = ParseSitemap("<UL><LI>" + Object(Param("Name", c.bytes)) + "</UL>", c.codePage);
    ASSERT_EQ(sitemap.entries.size(), 1u) << c.name;
    EXPECT_EQ(sitemap.entries[0].name, c.name);
  }
  // A BOM decides over the code page.
  EXPECT_EQ(ParseSitemap("\xEF\xBB\xBF" + Object(Param("Name", "中")), "CP932").entries.at(0).name, "中");
  const std::u16string utf16 = u"\uFEFF<OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"\u4E2D\">";
  EXPECT_EQ(ParseSitemap(std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2), "GBK")
                .entries.at(0)
                .name,
            "中");
}

TEST(SitemapTest, EscapesControlCharacters) {
  EXPECT_EQ(EscapeControlCharacters("a\tb\nc\x7F\xC2\x85" "中\\x"), "a\\x09b\\x0Ac\\x7F\\u0085中\\x");
}

TEST(SitemapTest, DeepNestingIsBoundedWithoutRecursion) {
  constexpr int kDepth = 100000;
  std::string html;
  for (int i = 0; i < kDepth; ++i) html += "<UL><LI>" + Object(Param("Name", "n"));
  const Sitemap sitemap = ParseSitemap(html, "CP1252");
  ASSERT_EQ(sitemap.entries.size(), std::size_t(kDepth));
  EXPECT_EQ(sitemap.entries[kMaxSitemapLevel].level, kMaxSitemapLevel);
  EXPECT_EQ(sitemap.entries.back().level, kMaxSitemapLevel);
  ExpectTreeShape(sitemap);
}

TEST(SitemapTest, ManyEntriesAreKeptUpToTheBound) {
  const std::string entry = "<LI>" + Object(Param("Name", "k") + Param("Local", "a.htm"));
  std::string html = "<UL>";
  for (int i = 0; i < 200000; ++i) html += entry;
  Sitemap sitemap = ParseSitemap(html, "CP1252");
  EXPECT_EQ(sitemap.entries.size(), 200000u);
  EXPECT_FALSE(sitemap.truncated);

  for (std::size_t i = 200000; i <= kMaxSitemapEntries; ++i) html += entry;
  sitemap = ParseSitemap(html, "CP1252");
  EXPECT_EQ(sitemap.entries.size(), kMaxSitemapEntries);
  EXPECT_TRUE(sitemap.truncated);

  // Topics count too: one object with more Locals than the bound.
  std::string topics;
  for (std::size_t i = 0; i <= kMaxSitemapEntries; ++i) topics += "<param name=Local value=a>";
  sitemap = ParseSitemap(Object(Param("Name", "k") + topics), "CP1252");
  EXPECT_EQ(sitemap.entries.at(0).topics.size(), kMaxSitemapEntries);
  EXPECT_TRUE(sitemap.truncated);
}

TEST(SitemapTest, BinaryJunkAroundEntries) {
  std::mt19937 random(21);
  // Bytes of every value but the ones that open tags, quotes and references.
  std::string junk;
  while (junk.size() < (1 << 16)) {
    const char c = char(random());
    if (c != '<' && c != '>' && c != '"' && c != '\'' && c != '&') junk += c;
  }
  const std::string html = junk + "<UL><LI>" + Object(Param("Name", "a")) + junk.substr(0, 999) + "<LI>" +
                           Object(Param("Name", "b")) + "</UL>" + junk;
  EXPECT_EQ(Summary(ParseSitemap(html, "GBK")), "0 a\n0 b\n");

  // Junk made of the characters tags are made of.
  const std::string alphabet = "<>\"'=/ ULIOBJECTparamnamevalue&#;\x80\xFF\n";
  for (int seed = 0; seed < 50; ++seed) {
    random.seed(seed);
    for (char& c : junk) c = alphabet[random() % alphabet.size()];
    ExpectTreeShape(ParseSitemap(junk, "CP932"));
  }
}

}  // namespace
