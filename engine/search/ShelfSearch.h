#pragma once
// Full-text search over any number of CHM files: brings the index in the
// cache folder up to date for them (first use indexes everything, a changed
// file is indexed again, a vanished one forgotten), then answers queries
// from it. What the command line and the windows use.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/search/SearchIndex.h"
#include "engine/search/Snippet.h"

namespace velmora::search {

struct ShelfProgress {
  std::size_t file = 0;  // from 0
  std::size_t files = 0;
  const std::string* chmPath = nullptr;
  std::size_t pagesRead = 0;
  std::size_t pageCount = 0;
};
// false cancels: the file being indexed keeps what it had, the rest wait.
using ShelfProgressFn = std::function<bool(const ShelfProgress&)>;

struct SearchHit {
  std::string chmPath;  // absolute
  std::string path;     // as stored, "/dir/page.htm"
  std::string title;
  std::size_t titleTerms = 0;  // terms found in the title
  std::size_t hits = 0;        // occurrences of the terms in the text
  Snippet snippet;             // empty beyond the hits asked to have one
};

class ShelfSearch {
 public:
  // indexFile: where the index is kept (IndexFileIn(SearchCacheFolder())
  // normally); its folder must exist.
  explicit ShelfSearch(std::string indexFile);
  ~ShelfSearch();

  // chmPaths: absolute paths. One report per path, in the same order; a
  // file after a cancel is reported Cancelled. A damaged index file is
  // replaced by a new one and the update done again. Throws SqliteError
  // when the index cannot be opened or written.
  std::vector<FileReport> update(const std::vector<std::string>& chmPaths, const ShelfProgressFn& progress);

  // The pages of these files that hold every term of the query, best
  // first: more terms in the title, then more hits. The first
  // snippetCount hits get a snippet. Throws as update().
  std::vector<SearchHit> search(std::string_view query, const std::vector<std::string>& chmPaths,
                                std::size_t snippetCount);

 private:
  template <typename Work>
  auto withIndex(Work&& work);

  std::string m_indexFile;
  std::unique_ptr<SearchIndex> m_index;
};

// The absolute, normalized form of path, under which the index knows a file.
std::string IndexedPathOf(const std::string& path);

}  // namespace velmora::search
