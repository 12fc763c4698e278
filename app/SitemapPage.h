#pragma once
// A contents (.hhc) or index (.hhk) file as the preview shows it: a browser
// shows its <OBJECT> entries as empty bullets, so the preview copy is
// replaced by this page of nested lists, each entry's name followed by its
// targets as written, its See Also keywords and the file it merges. Every
// text is escaped (and control characters shown as escapes): nothing of
// the sitemap runs or links anywhere.

#include <string>

#include "engine/help/Sitemap.h"

namespace velmora::app {

// A UTF-8 HTML page of the sitemap.
std::string SitemapPage(const help::Sitemap& sitemap);

}  // namespace velmora::app
