#include "engine/search/SqliteDatabase.h"

#include <sqlite3.h>

namespace velmora::search {

bool SqliteError::damaged() const {
  const int primary = m_code & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool SqliteError::busy() const {
  const int primary = m_code & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

SqliteDatabase::SqliteDatabase(const std::string& path) {
  const int rc = sqlite3_open_v2(path.c_str(), &m_db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
    sqlite3_close(m_db);
    m_db = nullptr;
    throw SqliteError(rc, message);
  }
  sqlite3_extended_result_codes(m_db, 1);
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close_v2(m_db); }

void SqliteDatabase::check(int rc, int accepted) const {
  if (rc == SQLITE_OK || (accepted != 0 && rc == accepted)) return;
  throw SqliteError(rc, sqlite3_errmsg(m_db));
}

void SqliteDatabase::exec(const char* sql) { check(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr)); }

SqliteStatement SqliteDatabase::prepare(const char* sql) {
  sqlite3_stmt* statement = nullptr;
  check(sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr));
  return SqliteStatement(*this, statement);
}

std::int64_t SqliteDatabase::lastInsertRowId() const { return sqlite3_last_insert_rowid(m_db); }

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_statement); }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_db(other.m_db), m_statement(other.m_statement) {
  other.m_statement = nullptr;
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value) {
  m_db->check(sqlite3_bind_int64(m_statement, index, value));
  return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text) {
  m_db->check(sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
  return *this;
}

bool SqliteStatement::step() {
  const int rc = sqlite3_step(m_statement);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  // The statement's own code; sqlite3_reset would report it again.
  const int code = sqlite3_extended_errcode(m_db->handle());
  const std::string message = sqlite3_errmsg(m_db->handle());
  sqlite3_reset(m_statement);
  throw SqliteError(code, message);
}

void SqliteStatement::reset() {
  sqlite3_reset(m_statement);
  sqlite3_clear_bindings(m_statement);
}

std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(m_statement, column); }

std::string_view SqliteStatement::text(int column) const {
  const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
  return data ? std::string_view(data, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)))
              : std::string_view();
}

}  // namespace velmora::search
