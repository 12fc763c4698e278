#include "engine/search/ChmPageReader.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "engine/help/TextEncoding.h"
#include "platform/storage/CaseFold.h"

namespace velmora::search {

namespace {

enum class PageKind { None, Html, Text };

PageKind KindOf(std::string_view name) {
  // The container's bookkeeping (#SYSTEM, $FIftiMain, ::DataSpace) is not a page.
  if (name.empty() || name[0] == '#' || name[0] == '$' || name[0] == ':') return PageKind::None;
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return PageKind::None;
  std::string extension(name.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; });
  if (extension == "htm" || extension == "html" || extension == "xhtml" || extension == "shtml" ||
      extension == "hta") {
    return PageKind::Html;
  }
  return extension == "txt" ? PageKind::Text : PageKind::None;
}

}  // namespace

ChmPageReader::ChmPageReader(const std::string& path) {
  platform::ChmArchive::OpenResult result{};
  m_archive = platform::ChmArchive::Open(path, result);
  if (!m_archive) return;
  m_codePage = help::CodePageForLanguage(m_archive->languageId());
  // A name listed twice is one page (opening it by name finds the first).
  std::unordered_set<std::string> seen;
  for (const auto& entry : m_archive->entries()) {
    if (KindOf(entry.name) != PageKind::None && seen.insert(platform::FoldCase(entry.name)).second) {
      m_pages.push_back(&entry);
    }
  }
  // In the order of their bytes, so the LZX section is decoded front to back.
  std::stable_sort(m_pages.begin(), m_pages.end(), [](const auto* a, const auto* b) {
    return a->section != b->section ? a->section < b->section : a->offset < b->offset;
  });
}

ChmPageReader::~ChmPageReader() = default;

bool ChmPageReader::next(ChmPage& page) {
  if (m_next >= m_pages.size()) return false;
  const platform::ChmArchive::Entry& entry = *m_pages[m_next++];
  page = ChmPage{};
  page.path = "/" + entry.name;

  std::string bytes;
  bool capped = false;
  const bool read = m_archive->extract(entry, [&](const char* data, std::size_t length) {
    const std::size_t room = kMaxPageBytes - bytes.size();
    bytes.append(data, std::min(length, room));
    capped = length > room;
    return !capped;
  });
  if (!read && !capped) {
    page.readable = false;
    return true;
  }
  const std::string charset = help::PageCharset(std::string_view(bytes).substr(0, 4096), m_codePage);
  const std::string utf8 = help::ToUtf8(bytes, charset);
  bytes.clear();
  bytes.shrink_to_fit();
  page.text = KindOf(entry.name) == PageKind::Html ? HtmlPageText(utf8) : PlainPageText(utf8);
  return true;
}

}  // namespace velmora::search
