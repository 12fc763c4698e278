#include "cli/SearchCommand.h"

#include <cstdio>
#include <map>

#include "cli/ChmFileFinder.h"
#include "cli/CliArguments.h"
#include "cli/CliMessages.h"
#include "engine/search/CacheFolder.h"
#include "engine/search/SearchQuery.h"
#include "engine/search/ShelfSearch.h"

namespace velmora::cli {

namespace {

constexpr std::size_t kDefaultHitCount = 100;
// Around each hit in the snippet.
constexpr const char* kHitOpen = "[[";
constexpr const char* kHitClose = "]]";

// A field of an output line: control characters (C0, DEL, C1) and the
// backslash written as escapes, so every hit stays one line of three TABs.
std::string Escaped(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    char buffer[8];
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      escaped += buffer;
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned char>(text[++i]));
      escaped += buffer;
    } else {
      escaped += static_cast<char>(c);
    }
  }
  return escaped;
}

// The progress line on standard error: which file, how many of its pages.
class IndexProgressLine {
 public:
  IndexProgressLine(std::ostream& err, bool enabled) : m_err(err), m_enabled(enabled) {}
  ~IndexProgressLine() {
    if (m_shown) m_err << "\r\x1b[K" << std::flush;
  }
  bool operator()(const search::ShelfProgress& progress) {
    if (!m_enabled || progress.pagesRead % 64 != 0) return true;
    m_err << "\r正在建立索引（" << progress.file + 1 << "/" << progress.files << "）：" << progress.pagesRead << "/"
          << progress.pageCount << " 页\x1b[K" << std::flush;
    m_shown = true;
    return true;
  }

 private:
  std::ostream& m_err;
  bool m_enabled;
  bool m_shown = false;
};

}  // namespace

int SearchCommand::execute(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CliArguments arguments(args, {}, {"--all"});
  if (!arguments.error().empty()) return UsageError(err, arguments.error());
  if (arguments.positional().size() < 2) return UsageError(err, "search 需要搜索内容和至少一个CHM文件或文件夹");
  const std::string& query = arguments.positional()[0];
  if (search::ParseQuery(query).empty()) return UsageError(err, "搜索内容为空");

  const std::vector<std::string> files =
      FindChmFiles({arguments.positional().begin() + 1, arguments.positional().end()}, err);
  // The index knows each file by its absolute path; lines show it as given.
  std::vector<std::string> indexed;
  std::map<std::string, std::string> shown;
  for (const std::string& file : files) {
    const std::string path = search::IndexedPathOf(file);
    if (shown.emplace(path, file).second) indexed.push_back(path);
  }

  const std::string folder = search::SearchCacheFolder();
  std::string error;
  if (!search::MakeCacheFolder(folder, error)) {
    err << kSearchIndexFailedMessage << error << '\n';
    return kExitUsage;
  }
  try {
    search::ShelfSearch shelf(search::IndexFileIn(folder));
    std::vector<search::FileReport> reports;
    {
      IndexProgressLine progress(err, m_env.blnShowProgress);
      reports = shelf.update(indexed, std::ref(progress));
    }
    std::vector<std::string> readable;
    for (std::size_t i = 0; i < indexed.size(); ++i) {
      const std::string& name = shown[indexed[i]];
      if (reports[i].status == search::FileStatus::Unreadable) {
        err << name << "：" << kNotChmMessage << '\n';
        continue;
      }
      if (reports[i].unreadablePages > 0) {
        err << name << "：" << reports[i].unreadablePages << kUnreadablePagesMessage << '\n';
      }
      readable.push_back(indexed[i]);
    }
    if (readable.empty()) {
      err << kNoChmFileReadMessage << '\n';
      return kExitUsage;
    }
    const std::size_t limit = arguments.has("--all") ? SIZE_MAX : kDefaultHitCount;
    const std::vector<search::SearchHit> hits = shelf.search(query, readable, limit);
    for (std::size_t i = 0; i < hits.size() && i < limit; ++i) {
      const search::SearchHit& hit = hits[i];
      out << Escaped(shown[hit.chmPath]) << "::" << Escaped(hit.path) << '\t' << Escaped(hit.title) << '\t'
          << Escaped(search::MarkedText(hit.snippet, kHitOpen, kHitClose)) << '\n';
    }
    return hits.empty() ? kExitFailure : kExitSuccess;
  } catch (const search::SqliteError& failure) {
    err << kSearchIndexFailedMessage << failure.what() << '\n';
    return kExitUsage;
  }
}

}  // namespace velmora::cli
