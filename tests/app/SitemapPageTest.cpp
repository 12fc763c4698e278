// The preview's page of a contents or index file: nesting as the levels
// say, every list closed, names and targets escaped.

#include <gtest/gtest.h>

#include "app/SitemapPage.h"

namespace velmora::app {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t lngCount = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++lngCount;
  return lngCount;
}

TEST(SitemapPageTest, NestsByLevelAndEscapesEverything) {
  const help::Sitemap sitemap = help::ParseSitemap(
      "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"&lt;b&gt;书\">"
      "<param name=\"Local\" value=\"a.htm?x=1&amp;y=\\&quot;\"></OBJECT>"
      "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"deep\"></OBJECT>"
      "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"deeper\">"
      "<param name=\"See Also\" value=\"<script>\"></OBJECT></UL></UL>"
      "<LI><OBJECT type=\"text/sitemap\"><param name=\"Merge\" value=\"o.chm::/o.hhc\"></OBJECT></UL>",
      "GBK");
  const std::string strPage = SitemapPage(sitemap);
  EXPECT_EQ(Count(strPage, "<ul>"), 3u);
  EXPECT_EQ(Count(strPage, "</ul>"), 3u);
  EXPECT_EQ(Count(strPage, "<li>"), 4u);
  EXPECT_NE(strPage.find("<li>&lt;b&gt;书 <span class=\"target\">a.htm?x=1&amp;y=\\&quot;</span>"), std::string::npos);
  EXPECT_NE(strPage.find("参见：&lt;script&gt;"), std::string::npos);
  EXPECT_NE(strPage.find("合并：o.chm::/o.hhc"), std::string::npos);
  EXPECT_EQ(strPage.find("<b>"), std::string::npos);
  EXPECT_EQ(strPage.find("<script>"), std::string::npos);
}

}  // namespace
}  // namespace velmora::app
