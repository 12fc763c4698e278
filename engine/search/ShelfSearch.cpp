#include "engine/search/ShelfSearch.h"

#include <algorithm>
#include <filesystem>

#include "engine/search/SearchQuery.h"

namespace velmora::search {

ShelfSearch::ShelfSearch(std::string indexFile) : m_indexFile(std::move(indexFile)) {}

ShelfSearch::~ShelfSearch() = default;

// Runs work on the index, opening it first; when the file turns out to be
// damaged, it is replaced by an empty index and the work done once more.
template <typename Work>
auto ShelfSearch::withIndex(Work&& work) {
  for (int attempt = 0;; ++attempt) {
    try {
      if (!m_index) m_index = std::make_unique<SearchIndex>(m_indexFile);
      return work(*m_index);
    } catch (const SqliteError& error) {
      if (!error.damaged() || attempt > 0) throw;
      m_index.reset();
      SearchIndex::Remove(m_indexFile);
    }
  }
}

std::vector<FileReport> ShelfSearch::update(const std::vector<std::string>& chmPaths,
                                            const ShelfProgressFn& progress) {
  return withIndex([&](SearchIndex& index) {
    std::vector<FileReport> reports(chmPaths.size(), FileReport{FileStatus::Cancelled, 0, 0});
    for (std::size_t i = 0; i < chmPaths.size(); ++i) {
      ShelfProgress state{i, chmPaths.size(), &chmPaths[i], 0, 0};
      if (progress && !progress(state)) break;
      reports[i] = index.update(chmPaths[i], [&](std::size_t read, std::size_t count) {
        state.pagesRead = read;
        state.pageCount = count;
        return !progress || progress(state);
      });
      if (reports[i].status == FileStatus::Cancelled) break;
    }
    index.prune();
    return reports;
  });
}

std::vector<SearchHit> ShelfSearch::search(std::string_view query, const std::vector<std::string>& chmPaths,
                                           std::size_t snippetCount) {
  const std::vector<std::string> terms = ParseQuery(query);
  return withIndex([&](SearchIndex& index) {
    std::vector<FoundPage> found = index.find(terms, chmPaths);
    std::sort(found.begin(), found.end(), [](const FoundPage& a, const FoundPage& b) {
      if (a.match.titleTerms != b.match.titleTerms) return a.match.titleTerms > b.match.titleTerms;
      if (a.match.hits != b.match.hits) return a.match.hits > b.match.hits;
      if (a.chmPath != b.chmPath) return a.chmPath < b.chmPath;
      return a.path < b.path;
    });
    std::vector<SearchHit> hits;
    hits.reserve(found.size());
    for (FoundPage& page : found) {
      SearchHit hit{std::move(page.chmPath), std::move(page.path), std::move(page.title),
                    page.match.titleTerms, page.match.hits, {}};
      if (hits.size() < snippetCount) hit.snippet = MakeSnippet(index.pageText(page.pageId), terms);
      hits.push_back(std::move(hit));
    }
    return hits;
  });
}

std::string IndexedPathOf(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  return absolute.lexically_normal().string();
}

}  // namespace velmora::search
