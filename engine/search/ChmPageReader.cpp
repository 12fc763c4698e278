#include "engine/search/ChmPageReader.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <unordered_set>

#include "engine/help/HelpListing.h"
#include "engine/help/TextEncoding.h"
#include "engine/help/Utf8.h"
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

// The first contents entry that shows each page of the file itself.
std::unordered_map<std::string, std::string> ContentsTitles(help::HelpFile& file) {
  std::unordered_map<std::string, std::string> titles;
  help::HelpFolder folder(std::filesystem::path(file.path()).parent_path().string());
  const std::optional<help::Listing> contents = help::ListSitemap(file, folder, help::SitemapKind::Contents);
  if (!contents) return titles;
  for (const help::ListedEntry& entry : contents->entries) {
    for (const help::ListedTopic& topic : entry.topics) {
      const help::Target& target = topic.target;
      if (target.kind != help::Target::Kind::Page || !target.file.empty() || target.missing) continue;
      titles.emplace(platform::FoldCase(target.path), topic.title.empty() ? entry.name : topic.title);
    }
  }
  return titles;
}

}  // namespace

ChmPageReader::ChmPageReader(const std::string& path) {
  platform::ChmArchive::OpenResult result{};
  m_file = help::HelpFile::Open(path, result);
  if (!m_file) return;
  m_codePage = help::CodePageForLanguage(m_file->archive().languageId());
  m_contentsTitles = ContentsTitles(*m_file);
  // A name listed twice is one page (opening it by name finds the first).
  std::unordered_set<std::string> seen;
  for (const auto& entry : m_file->archive().entries()) {
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
  const bool read = m_file->archive().extract(entry, [&](const char* data, std::size_t length) {
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
  if (page.text.title.empty()) {
    const auto found = m_contentsTitles.find(platform::FoldCase(page.path));
    if (found != m_contentsTitles.end()) {
      const std::string& title = found->second;
      page.text.title = title.size() <= kMaxTitleBytes ? title : title.substr(0, help::CodePointStart(title, kMaxTitleBytes));
    }
  }
  return true;
}

}  // namespace velmora::search
