#pragma once
// The page index of every CHM file searched so far: one SQLite database in
// the cache folder. Each CHM file is indexed in one transaction of its own,
// so another process sees it whole or not at all, and two processes that
// bring the same file up to date take turns (the second finds it current).
// Reading goes on while another process writes (write-ahead log).
//
// Errors are SqliteError; damaged() tells that the file must be replaced
// (SearchIndex::Remove, then open it again).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/search/FileFingerprint.h"
#include "engine/search/PageMatch.h"
#include "engine/search/SqliteDatabase.h"

namespace velmora::search {

// Called after each page read; false stops the indexing of the file, which
// then keeps what it had before.
using PageProgress = std::function<bool(std::size_t pagesRead, std::size_t pageCount)>;

enum class FileStatus {
  UpToDate,    // indexed before and unchanged since
  Indexed,     // (re)indexed now
  Unreadable,  // missing, not a CHM file, or its directory cannot be read
  Cancelled,
};

struct FileReport {
  FileStatus status = FileStatus::Unreadable;
  std::size_t pages = 0;            // pages indexed
  std::size_t unreadablePages = 0;  // pages whose bytes could not be read
};

// One page found by a query, verified against its text.
struct FoundPage {
  std::int64_t pageId = 0;
  std::string chmPath;  // as indexed (absolute)
  std::string path;     // as stored, "/dir/page.htm"
  std::string title;
  PageMatch match;
};

class SearchIndex {
 public:
  // Opens the index file, creating it; a file made by another version of
  // this program is emptied. Throws SqliteError.
  explicit SearchIndex(const std::string& path);
  ~SearchIndex();

  // Deletes the index file with its log files.
  static void Remove(const std::string& path);

  // Brings one CHM file (an absolute path) up to date: indexes it when it is
  // new or changed, forgets it when it cannot be read.
  FileReport update(const std::string& chmPath, const PageProgress& progress);

  // Forgets the files that are gone; returns how many.
  std::size_t prune();

  // The pages of the given CHM files (absolute paths) that hold every term
  // (folded, see SearchQuery.h), in no particular order.
  std::vector<FoundPage> find(const std::vector<std::string>& terms, const std::vector<std::string>& chmPaths);

  std::string pageText(std::int64_t pageId);

 private:
  struct StoredFile {
    std::int64_t id;
    FileFingerprint fingerprint;
    FileReport report;
  };
  std::optional<StoredFile> storedFile(const std::string& chmPath);
  std::int64_t schemaVersion();
  void createSchema();
  void forgetFile(std::int64_t fileId);

  std::unique_ptr<SqliteDatabase> m_db;
};

}  // namespace velmora::search
