#include "standin/sqlite_db.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>

namespace tarnwick {
namespace {

// SQLite's text for a file it cannot open or read ("unable to open database file", "disk I/O
// error") does not say why; the system's error does ("is a directory", "permission denied").
std::string ErrorOf(sqlite3* db) {
  const int code = sqlite3_errcode(db) & 0xFF;
  const int system = sqlite3_system_errno(db);
  if ((code == SQLITE_CANTOPEN || code == SQLITE_IOERR) && system != 0) {
    std::string text = std::strerror(system);
    if (!text.empty())
      text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
  }
  return sqlite3_errmsg(db);
}

}  // namespace

void SqliteDb::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

SqliteDb SqliteDb::Open(const std::string& filename, int flags, std::string_view label,
                        std::string* err) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(filename.c_str(), &raw, flags, nullptr);
  SqliteDb db;
  db.db_.reset(raw);  // sqlite3_open_v2 may hand back a handle even when it fails
  if (rc != SQLITE_OK) {
    *err = "open " + std::string(label) + ": " +
           (raw ? ErrorOf(raw) : std::string(sqlite3_errstr(rc)));
    db.db_.reset();
  }
  return db;
}

bool SqliteDb::Exec(const char* sql, std::string_view what, std::string* err) {
  if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  *err = std::string(what) + ": " + ErrorText();
  return false;
}

std::string SqliteDb::ErrorText() const { return db_ ? ErrorOf(db_.get()) : "no database"; }

void Statement::Finalizer::operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }

Statement::Statement(const SqliteDb& db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v3(db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr) ==
      SQLITE_OK) {
    stmt_.reset(raw);
  } else {
    sqlite3_finalize(raw);
  }
}

Statement& Statement::Bind(int index, int64_t value) {
  sqlite3_bind_int64(stmt_.get(), index, value);
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  sqlite3_bind_text64(stmt_.get(), index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  return *this;
}

Statement& Statement::BindBlob(int index, std::span<const uint8_t> bytes) {
  // A zero-length blob must stay a blob, not become NULL: give SQLite a non-null pointer.
  static const uint8_t kEmpty = 0;
  sqlite3_bind_blob64(stmt_.get(), index, bytes.empty() ? &kEmpty : bytes.data(), bytes.size(),
                      SQLITE_TRANSIENT);
  return *this;
}

int Statement::Step() { return sqlite3_step(stmt_.get()); }

bool Statement::Run() {
  int rc;
  while ((rc = Step()) == SQLITE_ROW) {
  }
  Reset();
  return rc == SQLITE_DONE;
}

void Statement::Reset() {
  sqlite3_reset(stmt_.get());
  sqlite3_clear_bindings(stmt_.get());
}

int Statement::ColumnType(int column) const { return sqlite3_column_type(stmt_.get(), column); }

int64_t Statement::ColumnInt(int column) const { return sqlite3_column_int64(stmt_.get(), column); }

std::string Statement::ColumnText(int column) const {
  const auto* text = sqlite3_column_text(stmt_.get(), column);
  int size = sqlite3_column_bytes(stmt_.get(), column);
  return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(size))
              : std::string();
}

std::vector<uint8_t> Statement::ColumnBlob(int column) const {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_.get(), column));
  int size = sqlite3_column_bytes(stmt_.get(), column);
  return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

}  // namespace tarnwick
