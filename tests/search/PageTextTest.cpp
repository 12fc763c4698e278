// The text of a page: what is dropped, what is decoded, where words break.
#include <gtest/gtest.h>

#include <string>

#include "engine/search/PageText.h"

namespace {

using velmora::search::HtmlPageText;
using velmora::search::PlainPageText;

struct PageCase {
  const char* name;
  std::string html;
  const char* title;
  const char* text;
};

class PageTextTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageTextTest, ExtractsTitleAndText) {
  const auto page = HtmlPageText(GetParam().html);
  EXPECT_EQ(page.title, GetParam().title);
  EXPECT_EQ(page.text, GetParam().text);
  EXPECT_FALSE(page.truncated);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageTextTest,
    ::testing::Values(
        PageCase{"TitleIsTextToo", "<html><head><title> 函数 &amp; 库 </title></head><body><p>正文</p></body></html>",
                 "函数 & 库", "函数 & 库 正文"},
        PageCase{"ScriptsStylesCommentsDropped",
                 "<style>p{x:1}</style>a<script type=\"x\">var s = '<p>b</p>';</SCRIPT>c<!-- d <p> -->e", "",
                 "a ce"},
        PageCase{"InlineTagsJoinBlockTagsSeparate", "func<b>tion</b><td>next</td><br>line", "", "function next line"},
        PageCase{"QuotedGreaterThanInAttribute", "<a title=\"a > b\" href='x>y'>link</a>", "", "link"},
        PageCase{"References", "&lt;&#20989;&#x6570;&gt;&nbsp;&eacute;&unknown; &#0; &#99999999;", "",
                 "<函数> é&unknown; \uFFFD \uFFFD"},
        PageCase{"LessThanNotATag", "a < b <3 c<", "", "a < b <3 c<"},
        PageCase{"DeclarationsDropped", "<?xml version=\"1.0\"?><!DOCTYPE html>text", "", "text"},
        // An unclosed quote or comment runs to the end of the page, as
        // in a browser.
        PageCase{"UnclosedQuote", "before<a href=\"x>after", "", "before"},
        PageCase{"UnclosedComment", "before<!-- after", "", "before"},
        PageCase{"UnclosedScript", "before<script>after", "", "before"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageTextLimitTest, StopsAtTheLimitOnACharacterBoundary) {
  const auto page = HtmlPageText("<p>一二三四</p>", 10);  // three bytes each
  EXPECT_EQ(page.text, "一二三");
  EXPECT_TRUE(page.truncated);
  const auto plain = PlainPageText("ab \n\t cd  ", 100);
  EXPECT_EQ(plain.text, "ab cd");
  EXPECT_FALSE(plain.truncated);
}

TEST(PageTextLimitTest, HostileMarkupCostsItsLengthOnly) {
  // Thousands of unclosed tags, quotes and references: one pass each.
  std::string html;
  for (int i = 0; i < 200000; ++i) html += "<a b=' <!-- &#x";
  const auto page = HtmlPageText(html);
  EXPECT_TRUE(page.text.empty());
  std::string nested(4 << 20, '<');
  EXPECT_EQ(HtmlPageText(nested).text, std::string(4 << 20, '<'));
}

}  // namespace
