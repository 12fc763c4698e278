#include "app/SitemapPage.h"

namespace velmora::app {
namespace {

std::string Escaped(std::string_view text) {
  const std::string strVisible = help::EscapeControlCharacters(text);
  std::string out;
  out.reserve(strVisible.size());
  for (char c : strVisible) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string SitemapPage(const help::Sitemap& sitemap) {
  std::string out =
      "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
      "body{font-family:sans-serif;font-size:small}ul{padding-left:1.5em}"
      ".target{color:#06c}.note{color:#777}</style></head><body>\n";
  // Lists open: one per level down to the entry's (levels grow by one at
  // most from entry to entry, so no entry opens more than one).
  std::uint32_t lngOpen = 0;
  for (const help::SitemapEntry& entry : sitemap.entries) {
    for (; lngOpen < entry.level + 1; ++lngOpen) out += "<ul>";
    for (; lngOpen > entry.level + 1; --lngOpen) out += "</ul>";
    out += "<li>" + Escaped(entry.name);
    for (const help::SitemapTopic& topic : entry.topics) {
      out += " <span class=\"target\">";
      if (!topic.title.empty()) out += Escaped(topic.title) + ": ";
      out += Escaped(topic.local) + "</span>";
    }
    for (const std::string& strKeyword : entry.seeAlso) {
      out += " <span class=\"note\">参见：" + Escaped(strKeyword) + "</span>";
    }
    if (!entry.merge.empty()) out += " <span class=\"note\">合并：" + Escaped(entry.merge) + "</span>";
    out += "</li>\n";
  }
  for (; lngOpen > 0; --lngOpen) out += "</ul>";
  if (sitemap.truncated) out += "\n<p class=\"note\">（条目过多，其余的未列出。）</p>";
  return out + "\n</body></html>\n";
}

}  // namespace velmora::app
