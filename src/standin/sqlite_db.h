// Thin RAII wrappers over the SQLite C API: a connection and a prepared statement.
#ifndef TARNWICK_STANDIN_SQLITE_DB_H_
#define TARNWICK_STANDIN_SQLITE_DB_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tarnwick {

/// Owns one SQLite connection; closes it on destruction.
class SqliteDb {
 public:
  SqliteDb() = default;

  /// Opens `filename` with the sqlite3_open_v2 `flags`. On failure returns an unopened object
  /// and sets `err` to "open FILE: reason", with `label` standing for FILE.
  static SqliteDb Open(const std::string& filename, int flags, std::string_view label,
                       std::string* err);

  sqlite3* get() const { return db_.get(); }
  explicit operator bool() const { return db_ != nullptr; }

  /// Runs one or more statements that return no rows. On failure sets `err` to
  /// "`what`: reason".
  bool Exec(const char* sql, std::string_view what, std::string* err);

  /// The connection's last error text.
  std::string ErrorText() const;

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };
  std::unique_ptr<sqlite3, Closer> db_;
};

/// Owns one prepared statement; finalizes it on destruction. Bind indexes start at 1, column
/// indexes at 0, as in SQLite.
class Statement {
 public:
  Statement() = default;

  /// Prepares `sql` on `db`; an unprepared statement on failure (see SqliteDb::ErrorText).
  Statement(const SqliteDb& db, const char* sql);

  explicit operator bool() const { return stmt_ != nullptr; }

  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindBlob(int index, std::span<const uint8_t> bytes);

  /// Steps once: SQLITE_ROW, SQLITE_DONE or an error code.
  int Step();

  /// Steps to the end and resets; true when it ended with SQLITE_DONE.
  bool Run();

  /// Resets the statement and clears its bindings so it can run again.
  void Reset();

  int ColumnType(int column) const;
  int64_t ColumnInt(int column) const;
  std::string ColumnText(int column) const;
  std::vector<uint8_t> ColumnBlob(int column) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* stmt) const;
  };
  std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

/// Resets a statement when the scope ends, so that it releases its read snapshot.
class StatementScope {
 public:
  explicit StatementScope(Statement& stmt) : stmt_(stmt) {}
  ~StatementScope() { stmt_.Reset(); }
  StatementScope(const StatementScope&) = delete;
  StatementScope& operator=(const StatementScope&) = delete;

 private:
  Statement& stmt_;
};

}  // namespace tarnwick

#endif  // TARNWICK_STANDIN_SQLITE_DB_H_
