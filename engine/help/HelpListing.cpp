#include "engine/help/HelpListing.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "engine/help/AsciiCase.h"

namespace velmora::help {

namespace {

bool IsChmName(std::string_view name) {
  return name.size() > 4 && EndsWithIgnoringCase(name, ".chm");
}

// One sitemap being listed: the file it belongs to and how far it got.
struct Frame {
  HelpFile* file;
  bool blnMerged;  // another file's: its own pages name the file
  Sitemap sitemap;
  std::string folder;  // the sitemap's stored folder
  std::size_t next = 0;
  std::uint32_t base = 0;  // the level of the Merge entry it replaces
};

std::optional<Sitemap> ReadOf(HelpFile& file, SitemapKind kind, std::string_view storedPath, std::string& folder) {
  std::string path(storedPath);
  if (path.empty()) path = kind == SitemapKind::Contents ? file.facts().contentsFile : file.facts().indexFile;
  if (path.empty()) return std::nullopt;
  folder = std::string(StoredFolder(path));
  return file.ReadSitemap(path);
}

// A target as the listed file sees it: pages of a merged file name it,
// and a merged file's references to the listed file are its own pages.
Target TargetOf(const Frame& frame, HelpFile& listed, HelpFolder& folder, std::string_view local) {
  Target target = frame.file->Resolve(local, frame.folder);
  if (target.kind != Target::Kind::Page) return target;
  if (target.file.empty()) {
    if (frame.blnMerged) target.file = frame.file->fileName();
    return target;
  }
  if (frame.blnMerged && LowerAscii(target.file) == LowerAscii(listed.fileName())) {
    return ResolveTarget(listed.archive(), "/", local.substr(local.find("::") + 2), {}, listed.facts().codePage);
  }
  HelpFile* other = folder.Open(target.file);
  ResolveInOtherFile(other ? &other->archive() : nullptr, other ? other->facts().codePage : "", target);
  return target;
}

}  // namespace

HelpFolder::HelpFolder(std::string folder) : m_folder(std::move(folder)) {}

HelpFile* HelpFolder::Open(std::string_view fileName) {
  namespace fs = std::filesystem;
  if (!IsChmName(fileName) || fileName.find('/') != std::string_view::npos) return nullptr;
  const std::string key = LowerAscii(fileName);
  auto known = m_files.find(key);
  if (known != m_files.end()) return known->second.get();
  std::unique_ptr<HelpFile>& file = m_files[key];
  if (m_opened >= kMaxOpenFiles) return nullptr;
  // The name as written, else the file whose name differs in case only
  // (the folder is listed once).
  std::error_code error;
  fs::path path = fs::path(m_folder) / std::string(fileName);
  if (!fs::is_regular_file(path, error)) {
    if (!m_listed) {
      m_listed = true;
      for (fs::directory_iterator it(m_folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsChmName(name)) m_names.emplace(LowerAscii(name), name);
      }
    }
    const auto listed = m_names.find(key);
    if (listed == m_names.end()) return nullptr;
    path = fs::path(m_folder) / listed->second;
    if (!fs::is_regular_file(path, error)) return nullptr;
  }
  ++m_opened;
  platform::ChmArchive::OpenResult result;
  file = HelpFile::Open(path.string(), result);
  return file.get();
}

std::optional<Listing> ListSitemap(HelpFile& file, HelpFolder& folder, SitemapKind kind) {
  std::vector<Frame> stack(1);
  stack[0].file = &file;
  stack[0].blnMerged = false;
  auto top = ReadOf(file, kind, {}, stack[0].folder);
  if (!top) return std::nullopt;
  stack[0].sitemap = std::move(*top);

  Listing listing;
  listing.truncated = stack[0].sitemap.truncated;
  std::set<std::string> merged{LowerAscii(file.fileName())};
  // Entries parsed (held until listed) and topics listed, over all files.
  std::size_t parsed = stack[0].sitemap.entries.size();
  std::size_t topics = 0;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.sitemap.entries.size()) {
      stack.pop_back();
      continue;
    }
    SitemapEntry& entry = frame.sitemap.entries[frame.next++];
    const std::uint32_t limit = listing.entries.empty() ? 0 : listing.entries.back().level + 1;
    const std::uint32_t level = std::min({frame.base + entry.level, limit, kMaxSitemapLevel});
    if (!entry.name.empty() || !entry.topics.empty() || !entry.seeAlso.empty()) {
      if (listing.entries.size() >= kMaxSitemapEntries || topics + entry.topics.size() > kMaxSitemapEntries) {
        listing.truncated = true;
        break;
      }
      topics += entry.topics.size();
      ListedEntry listed;
      listed.level = level;
      listed.name = std::move(entry.name);
      listed.seeAlso = std::move(entry.seeAlso);
      listed.imageNumber = entry.imageNumber;
      for (auto& topic : entry.topics) {
        listed.topics.push_back({std::move(topic.title), TargetOf(frame, file, folder, topic.local)});
      }
      listing.entries.push_back(std::move(listed));
    }
    if (entry.merge.empty()) continue;
    // "other.chm::/other.hhc", "other.chm" or "mk:@MSITStore:other.chm::/x.hhc"
    std::string_view value = entry.merge;
    const std::size_t colon = value.find("::");
    std::string_view name = value.substr(0, colon);
    const std::size_t scheme = name.rfind(':');
    if (scheme != std::string_view::npos) name.remove_prefix(scheme + 1);
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    if (!merged.insert(LowerAscii(name)).second) continue;
    HelpFile* other = folder.Open(name);
    if (!other) continue;
    std::string storedPath;
    if (colon != std::string_view::npos) {
      const Target inner = other->Resolve(value.substr(colon + 2), "/");
      if (inner.kind == Target::Kind::Page && inner.file.empty() && !inner.missing) storedPath = inner.path;
    }
    Frame child{other, true, {}, {}, 0, level};
    auto sitemap = ReadOf(*other, kind, storedPath, child.folder);
    if (!sitemap) continue;
    if (parsed + sitemap->entries.size() > 2 * kMaxSitemapEntries) {
      listing.truncated = true;
      continue;
    }
    parsed += sitemap->entries.size();
    child.sitemap = std::move(*sitemap);
    listing.truncated = listing.truncated || child.sitemap.truncated;
    stack.push_back(std::move(child));
  }
  return listing;
}

}  // namespace velmora::help
