#include "engine/search/SearchIndex.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

#include "engine/search/ChmPageReader.h"
#include "engine/search/FileFingerprint.h"
#include "engine/search/PageTokenizer.h"
#include "engine/search/SearchQuery.h"
#include "engine/search/TextFold.h"

namespace velmora::search {

namespace {

// Raised whenever the tables change shape; an older file is emptied. The
// tokens depend on the foldings of the ICU linked, and removing a page from
// the index needs the same tokens it was added with, so the version stored
// in the file names both.
constexpr int kSchemaVersion = 1;
int IndexVersion() { return kSchemaVersion * 10000 + FoldingVersion(); }

// A process that finds the index busy waits this long for the other one to
// finish its file (a large CHM takes a while).
constexpr int kBusyTimeoutMs = 10 * 60 * 1000;
// Opening tries that many times when the index is busy (about 20 s in all).
constexpr int kOpenAttempts = 60;

constexpr const char* kSchema = R"(
CREATE TABLE IF NOT EXISTS files(
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE,
  size INTEGER NOT NULL,
  modified_ns INTEGER NOT NULL,
  header_hash INTEGER NOT NULL,
  pages INTEGER NOT NULL,
  unreadable_pages INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS pages(
  id INTEGER PRIMARY KEY,
  file_id INTEGER NOT NULL,
  path TEXT NOT NULL,
  title TEXT NOT NULL,
  text TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS pages_by_file ON pages(file_id);
CREATE VIRTUAL TABLE IF NOT EXISTS page_text USING fts5(
  text, content='pages', content_rowid='id', tokenize='velmora', columnsize=0, detail=none);
)";

// Rolls back an open transaction unless it was committed.
class Transaction {
 public:
  explicit Transaction(SqliteDatabase& db) : m_db(db) { m_db.exec("BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (!m_done) sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
  void commit() {
    m_db.exec("COMMIT");
    m_done = true;
  }

 private:
  SqliteDatabase& m_db;
  bool m_done = false;
};

}  // namespace

SearchIndex::SearchIndex(const std::string& path) : m_db(std::make_unique<SqliteDatabase>(path)) {
  if (!RegisterPageTokenizer(m_db->handle())) throw SqliteError(SQLITE_ERROR, "SQLite has no FTS5");
  sqlite3_busy_timeout(m_db->handle(), kBusyTimeoutMs);
  // Two processes opening a new index at once: switching it to WAL (and
  // reading its header while the other does so) can be refused as busy
  // without SQLite's busy handler being asked, so that step is tried again.
  for (int lngAttempt = 1;; ++lngAttempt) {
    try {
      // Reading the header finds a file that is not a database at all.
      const std::int64_t found = schemaVersion();
      m_db->exec("PRAGMA journal_mode=WAL");
      m_db->exec("PRAGMA synchronous=NORMAL");
      if (found != IndexVersion()) createSchema();
      return;
    } catch (const SqliteError& error) {
      if (!error.busy() || lngAttempt == kOpenAttempts) throw;
      std::this_thread::sleep_for(std::chrono::milliseconds(10 * lngAttempt));
    }
  }
}

SearchIndex::~SearchIndex() = default;

void SearchIndex::Remove(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) unlink((path + suffix).c_str());
}

std::int64_t SearchIndex::schemaVersion() {
  SqliteStatement version = m_db->prepare("PRAGMA user_version");
  return version.step() ? version.integer(0) : 0;
}

void SearchIndex::createSchema() {
  Transaction transaction(*m_db);
  // Looked at again inside the transaction: another process may have made
  // the tables meanwhile.
  if (schemaVersion() == IndexVersion()) return transaction.commit();
  m_db->exec("DROP TABLE IF EXISTS page_text; DROP TABLE IF EXISTS pages; DROP TABLE IF EXISTS files;");
  m_db->exec(kSchema);
  m_db->exec(("PRAGMA user_version=" + std::to_string(IndexVersion())).c_str());
  transaction.commit();
}

void SearchIndex::forgetFile(std::int64_t fileId) {
  // The text index holds no copy of the text; it is told which tokens to
  // drop by the text it was given.
  m_db->prepare("INSERT INTO page_text(page_text, rowid, text) SELECT 'delete', id, text FROM pages WHERE file_id=?")
      .bind(1, fileId)
      .step();
  m_db->prepare("DELETE FROM pages WHERE file_id=?").bind(1, fileId).step();
  m_db->prepare("DELETE FROM files WHERE id=?").bind(1, fileId).step();
}

std::optional<SearchIndex::StoredFile> SearchIndex::storedFile(const std::string& chmPath) {
  SqliteStatement known =
      m_db->prepare("SELECT id, size, modified_ns, header_hash, pages, unreadable_pages FROM files WHERE path=?");
  known.bind(1, chmPath);
  if (!known.step()) return std::nullopt;
  FileReport report{FileStatus::UpToDate, static_cast<std::size_t>(known.integer(4)),
                    static_cast<std::size_t>(known.integer(5))};
  return StoredFile{known.integer(0), FileFingerprint{known.integer(1), known.integer(2), known.integer(3)}, report};
}

FileReport SearchIndex::update(const std::string& chmPath, const PageProgress& progress) {
  const std::optional<FileFingerprint> fingerprint = FingerprintOf(chmPath);
  std::optional<StoredFile> stored = storedFile(chmPath);
  if (stored && fingerprint && stored->fingerprint == *fingerprint) return stored->report;

  // Looked at again once the index is ours: another process may have
  // indexed the file meanwhile.
  Transaction transaction(*m_db);
  stored = storedFile(chmPath);
  if (stored && fingerprint && stored->fingerprint == *fingerprint) {
    transaction.commit();
    return stored->report;
  }
  if (stored) forgetFile(stored->id);

  FileReport report;
  ChmPageReader reader(chmPath);
  if (!fingerprint || !reader.ok()) {
    transaction.commit();
    return report;
  }
  SqliteStatement addFile = m_db->prepare(
      "INSERT INTO files(path, size, modified_ns, header_hash, pages, unreadable_pages) VALUES(?,?,?,?,0,0)");
  addFile.bind(1, chmPath).bind(2, fingerprint->size).bind(3, fingerprint->modifiedNs).bind(4, fingerprint->headerHash);
  addFile.step();
  const std::int64_t newId = m_db->lastInsertRowId();

  SqliteStatement addPage = m_db->prepare("INSERT INTO pages(file_id, path, title, text) VALUES(?,?,?,?)");
  SqliteStatement addText = m_db->prepare("INSERT INTO page_text(rowid, text) VALUES(?,?)");
  ChmPage page;
  std::size_t read = 0;
  while (reader.next(page)) {
    ++read;
    if (!page.readable) {
      ++report.unreadablePages;
    } else {
      addPage.reset();
      addPage.bind(1, newId).bind(2, page.path).bind(3, page.text.title).bind(4, page.text.text);
      addPage.step();
      addText.reset();
      addText.bind(1, m_db->lastInsertRowId()).bind(2, page.text.text);
      addText.step();
      ++report.pages;
    }
    if (progress && !progress(read, reader.pageCount())) {
      report.status = FileStatus::Cancelled;
      return report;  // rolled back
    }
  }
  m_db->prepare("UPDATE files SET pages=?, unreadable_pages=? WHERE id=?")
      .bind(1, static_cast<std::int64_t>(report.pages))
      .bind(2, static_cast<std::int64_t>(report.unreadablePages))
      .bind(3, newId)
      .step();
  transaction.commit();
  report.status = FileStatus::Indexed;
  return report;
}

std::size_t SearchIndex::prune() {
  std::vector<std::int64_t> gone;
  {
    SqliteStatement files = m_db->prepare("SELECT id, path FROM files");
    while (files.step()) {
      if (access(std::string(files.text(1)).c_str(), F_OK) != 0) gone.push_back(files.integer(0));
    }
  }
  if (gone.empty()) return 0;
  Transaction transaction(*m_db);
  for (const std::int64_t id : gone) forgetFile(id);
  transaction.commit();
  return gone.size();
}

std::vector<FoundPage> SearchIndex::find(const std::vector<std::string>& terms,
                                         const std::vector<std::string>& chmPaths) {
  std::vector<FoundPage> found;
  if (terms.empty() || chmPaths.empty()) return found;
  // The files searched, as a list of numbers the statement can hold.
  std::string fileIds;
  {
    SqliteStatement lookup = m_db->prepare("SELECT id FROM files WHERE path=?");
    for (const std::string& path : chmPaths) {
      lookup.reset();
      lookup.bind(1, path);
      if (lookup.step()) fileIds += (fileIds.empty() ? "" : ",") + std::to_string(lookup.integer(0));
    }
  }
  if (fileIds.empty()) return found;
  const std::string sql =
      "SELECT p.id, f.path, p.path, p.title, p.text FROM page_text JOIN pages p ON p.id = page_text.rowid "
      "JOIN files f ON f.id = p.file_id WHERE page_text MATCH ? AND p.file_id IN (" +
      fileIds + ")";
  SqliteStatement candidates = m_db->prepare(sql.c_str());
  candidates.bind(1, MatchExpression(terms));
  std::string folded;
  while (candidates.step()) {
    // The index proposes; the text decides.
    PageMatch match = MatchPage(candidates.text(3), candidates.text(4), terms, folded);
    if (!match.matched) continue;
    found.push_back(FoundPage{candidates.integer(0), std::string(candidates.text(1)), std::string(candidates.text(2)),
                              std::string(candidates.text(3)), match});
  }
  return found;
}

std::string SearchIndex::pageText(std::int64_t pageId) {
  SqliteStatement text = m_db->prepare("SELECT text FROM pages WHERE id=?");
  text.bind(1, pageId);
  return text.step() ? std::string(text.text(0)) : std::string();
}

}  // namespace velmora::search
