#pragma once
// A thin layer over SQLite's C interface: a connection, prepared statements
// and errors as exceptions that tell a damaged database file from other
// failures.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::search {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}
  int code() const { return m_code; }
  // The file is not a database or its pages do not fit together.
  bool damaged() const;
  // Another process held the database longer than the busy timeout.
  bool busy() const;

 private:
  int m_code;
};

class SqliteStatement;

class SqliteDatabase {
 public:
  // Opens (creating) the database file; throws SqliteError.
  explicit SqliteDatabase(const std::string& path);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  sqlite3* handle() const { return m_db; }
  void exec(const char* sql);
  SqliteStatement prepare(const char* sql);
  std::int64_t lastInsertRowId() const;
  // Throws SqliteError for a result code other than those accepted.
  void check(int rc, int accepted = 0) const;

 private:
  sqlite3* m_db = nullptr;
};

class SqliteStatement {
 public:
  SqliteStatement(const SqliteDatabase& db, sqlite3_stmt* statement) : m_db(&db), m_statement(statement) {}
  ~SqliteStatement();
  SqliteStatement(SqliteStatement&& other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  SqliteStatement& operator=(SqliteStatement&&) = delete;

  SqliteStatement& bind(int index, std::int64_t value);
  SqliteStatement& bind(int index, std::string_view text);
  // True while a row is there to read; false when done.
  bool step();
  void reset();
  std::int64_t integer(int column) const;
  std::string_view text(int column) const;

 private:
  const SqliteDatabase* m_db;
  sqlite3_stmt* m_statement;
};

}  // namespace velmora::search
