#include "standin/hive_store.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "registry/registry.h"
#include "registry/registry_rules.h"
#include "text/utf.h"

namespace tarnwick {
namespace {

constexpr int64_t kApplicationId = 0x54726E77;  // "Trnw"
constexpr int64_t kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;

// Stable as long as the file format is: the README documents it for readers of a hive. Key ids
// are never reused (AUTOINCREMENT), so a handle to a deleted key finds nothing rather than a
// newer key.
constexpr const char kSchema[] =
    "CREATE TABLE keys("
    "id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,"
    "name TEXT NOT NULL,"
    "fold TEXT NOT NULL,"
    "UNIQUE(parent, fold));"
    "CREATE TABLE \"values\"("
    "key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,"
    "name TEXT NOT NULL,"
    "fold TEXT NOT NULL,"
    "type INTEGER NOT NULL,"
    "data,"
    "seq INTEGER NOT NULL,"
    "PRIMARY KEY(key, fold)) WITHOUT ROWID;"
    "INSERT INTO keys(id, parent, name, fold) VALUES(1, NULL, '', '');"
    "PRAGMA application_id=1416785527;"
    "PRAGMA user_version=1;";
static_assert(kApplicationId == 1416785527);

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string MemoryUri(const std::string& name) {
  static std::atomic<unsigned> next_private{0};
  std::string uri = "file:/tarnwick-hive/";
  if (name.empty()) {
    uri += "private-" + std::to_string(++next_private);
  } else {
    static const char kHex[] = "0123456789ABCDEF";
    uri += "shared-";
    for (unsigned char c : name) {
      if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
        uri += static_cast<char>(c);
      } else {
        uri += '%';
        uri += kHex[c >> 4];
        uri += kHex[c & 15];
      }
    }
  }
  return uri + "?vfs=memdb";
}

// Text values are kept as readable TEXT when the bytes are plain UTF-16LE text with one final
// NUL, and numbers as INTEGER when they are exactly a DWORD; anything else (a text without its
// NUL, with NULs inside, with unpaired surrogates, a binary value) stays the exact bytes.
void BindData(Statement& stmt, int index, uint32_t type, std::span<const uint8_t> data) {
  if (type == kRegDword && data.size() == 4) {
    stmt.Bind(index, static_cast<int64_t>(RegBytesToDword(data)));
    return;
  }
  if (type == kRegSz || type == kRegExpandSz) {
    if (std::optional<std::string> text = RegBytesToPlainText(data)) {
      stmt.Bind(index, *text);
      return;
    }
  }
  stmt.BindBlob(index, data);
}

// The spelling a name is stored with: registry names are UTF-16, so bytes that are not UTF-8
// become U+FFFD here as they do in the name's comparison form.
std::string StoredName(const std::string& name) { return Utf16ToUtf8(Utf8ToUtf16(name)); }

std::vector<uint8_t> ColumnData(const Statement& stmt, int column) {
  switch (stmt.ColumnType(column)) {
    case SQLITE_INTEGER:
      return DwordToRegBytes(static_cast<uint32_t>(stmt.ColumnInt(column)));
    case SQLITE_TEXT:
      return TextToRegBytes(stmt.ColumnText(column));
    case SQLITE_BLOB:
      return stmt.ColumnBlob(column);
    default:
      return {};
  }
}

}  // namespace

struct HiveStore::Statements {
  explicit Statements(const SqliteDb& db)
      : begin(db, "BEGIN IMMEDIATE"),
        begin_read(db, "BEGIN"),
        commit(db, "COMMIT"),
        rollback(db, "ROLLBACK"),
        find_child(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2"),
        insert_key(db, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)"),
        get_value(db, "SELECT name, type, data FROM \"values\" WHERE key = ?1 AND fold = ?2"),
        set_value(
            db,
            "INSERT INTO \"values\"(key, name, fold, type, data, seq) "
            "VALUES(?1, ?2, ?3, ?4, ?5, "
            "(SELECT ifnull(max(seq), 0) + 1 FROM \"values\" WHERE key = ?1)) "
            "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data"),
        delete_value(db, "DELETE FROM \"values\" WHERE key = ?1 AND fold = ?2"),
        delete_key(db, "DELETE FROM keys WHERE id = ?1 AND parent IS NOT NULL"),
        list_keys(db, "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold"),
        list_values(db, "SELECT name, type, data FROM \"values\" WHERE key = ?1 ORDER BY seq") {}

  bool ok() const {
    return begin && begin_read && commit && rollback && find_child && insert_key && get_value &&
           set_value && delete_value && delete_key && list_keys && list_values;
  }

  Statement begin, begin_read, commit, rollback;
  Statement find_child, insert_key;
  Statement get_value, set_value, delete_value, delete_key;
  Statement list_keys, list_values;
};

HiveStore::~HiveStore() = default;

std::unique_ptr<HiveStore> HiveStore::OpenMemory(const std::string& name, std::string* err) {
  std::unique_ptr<HiveStore> store(new HiveStore);
  store->uri_ = MemoryUri(name);
  store->label_ = name.empty() ? "<memory>" : "<memory:" + name + ">";
  store->memory_ = true;
  store->writable_ = true;
  if (!store->EnsureWritable(err)) return nullptr;
  return store;
}

std::unique_ptr<HiveStore> HiveStore::OpenFile(const std::string& path, bool writable,
                                               Journal journal, std::string* err) {
  std::unique_ptr<HiveStore> store(new HiveStore);
  store->journal_ = journal;
  store->uri_ = path;
  store->label_ = path;
  store->writable_ = writable;
  err->clear();
  // SQLite makes the log and its index beside a file whose header asks for them before it
  // finds the file damaged; a refused file is left as it was found, without them.
  const bool had_log = FileExists(path + "-wal");
  const bool had_index = FileExists(path + "-shm");
  // A missing file stays missing until something is written to it.
  if (!store->Usable(err) && !err->empty()) {
    store.reset();
    std::error_code ec;
    if (!had_log && std::filesystem::file_size(path + "-wal", ec) == 0 && !ec) {
      std::filesystem::remove(path + "-wal", ec);
    }
    if (!had_index) std::filesystem::remove(path + "-shm", ec);
    return nullptr;
  }
  return store;
}

bool HiveStore::Connect(int flags, std::string* err) {
  stmts_.reset();
  db_ = SqliteDb::Open(uri_, flags | (memory_ ? SQLITE_OPEN_URI : 0), label_, err);
  if (!db_) return false;
  sqlite3_busy_timeout(db_.get(), kBusyTimeoutMs);
  if (!db_.Exec("PRAGMA foreign_keys=ON; PRAGMA synchronous=FULL", "open " + label_, err)) {
    db_ = SqliteDb();
    return false;
  }
  return true;
}

HiveStore::State HiveStore::Inspect(std::string* err) {
  Statement probe(db_,
                  "SELECT (SELECT application_id FROM pragma_application_id()),"
                  " (SELECT user_version FROM pragma_user_version()),"
                  " (SELECT count(*) FROM sqlite_schema)");
  if (!probe || probe.Step() != SQLITE_ROW) {
    *err = "open " + label_ + ": " + db_.ErrorText();
    return State::kError;
  }
  const int64_t application_id = probe.ColumnInt(0);
  const int64_t version = probe.ColumnInt(1);
  const int64_t objects = probe.ColumnInt(2);
  if (application_id == 0 && objects == 0) return State::kBlank;
  if (application_id != kApplicationId) {
    *err = "open " + label_ + ": not a tarnwick hive";
    return State::kError;
  }
  if (version != kSchemaVersion) {
    *err = "open " + label_ + ": unsupported hive version " + std::to_string(version);
    return State::kError;
  }
  return State::kReady;
}

bool HiveStore::Prepare(std::string* err) {
  stmts_ = std::make_unique<Statements>(db_);
  if (!stmts_->ok()) {
    *err = "open " + label_ + ": " + db_.ErrorText();
    stmts_.reset();
    return false;
  }
  ready_ = true;
  return true;
}

bool HiveStore::Usable(std::string* err) {
  if (ready_) return true;
  if (!db_) {
    if (memory_ || !FileExists(uri_)) return false;
    if (!Connect(writable_ ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, err)) return false;
  }
  switch (Inspect(err)) {
    case State::kReady:
      return Prepare(err);
    case State::kBlank:
      return false;
    case State::kError:
      break;
  }
  db_ = SqliteDb();
  return false;
}

bool HiveStore::Initialise(std::string* err) {
  // The journal mode is a property of the file; it has to be set outside a transaction.
  const char* mode =
      journal_ == Journal::kWriteAhead ? "PRAGMA journal_mode=WAL" : "PRAGMA journal_mode=DELETE";
  // Setting it takes the file for itself; when another instance is making the same hive at this
  // moment, one of the two is refused at once ("database is locked") instead of waiting, as
  // SQLite does to break the deadlock. Try again, for as long as a writer would wait.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
  while (!memory_ && !db_.Exec(mode, "create " + label_, err)) {
    if ((sqlite3_errcode(db_.get()) & 0xFF) != SQLITE_BUSY ||
        std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!db_.Exec("BEGIN IMMEDIATE", "create " + label_, err)) return false;
  // Another process may have created the hive while this one waited for the lock.
  State state = Inspect(err);
  if (state == State::kBlank && !db_.Exec(kSchema, "create " + label_, err)) state = State::kError;
  if (state == State::kError || !db_.Exec("COMMIT", "create " + label_, err)) {
    db_.Exec("ROLLBACK", "", err);
    return false;
  }
  return true;
}

bool HiveStore::EnsureWritable(std::string* err) {
  if (!writable_) {
    *err = "write " + label_ + ": the hive is open read-only";
    return false;
  }
  if (ready_) return true;
  if (!db_) {
    if (!memory_) {
      std::error_code ec;
      const std::filesystem::path folder = std::filesystem::path(uri_).parent_path();
      if (!folder.empty() && !std::filesystem::create_directories(folder, ec) && ec) {
        *err = "create " + folder.string() + ": " + ec.message();
        return false;
      }
    }
    if (!Connect(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, err)) return false;
  }
  switch (Inspect(err)) {
    case State::kReady:
      return Prepare(err);
    case State::kBlank:
      return Initialise(err) && Prepare(err);
    case State::kError:
      break;
  }
  db_ = SqliteDb();
  return false;
}

std::string HiveStore::Fail(const char* what) const {
  return std::string(what) + " " + label_ + ": " + db_.ErrorText();
}

long HiveStore::FindKey(std::span<const std::string> path, int64_t* id) {
  std::string err;
  if (!Usable(&err)) {
    if (!err.empty()) return kErrorInvalidData;
    if (!path.empty()) return kErrorFileNotFound;
    *id = kRootId;
    return kErrorSuccess;
  }
  int64_t current = kRootId;
  Statement& find = stmts_->find_child;
  // A walk down several keys reads one state of the hive and takes its read lock once, unless
  // a transaction of the caller's is already under way.
  struct ReadTransaction {
    Statements* stmts = nullptr;
    ~ReadTransaction() {
      if (stmts != nullptr) stmts->commit.Run();
    }
  } read;
  if (path.size() > 1 && sqlite3_get_autocommit(db_.get()) && stmts_->begin_read.Run()) {
    read.stmts = stmts_.get();
  }
  for (const std::string& name : path) {
    StatementScope scope(find);
    find.Bind(1, current).Bind(2, FoldName(name));
    int rc = find.Step();
    if (rc == SQLITE_DONE) return kErrorFileNotFound;
    if (rc != SQLITE_ROW) return kErrorInvalidData;
    current = find.ColumnInt(0);
  }
  *id = current;
  return kErrorSuccess;
}

long HiveStore::GetValue(int64_t id, const std::string& name, ValueEntry* value) {
  std::string err;
  if (!Usable(&err)) return err.empty() ? kErrorFileNotFound : kErrorInvalidData;
  Statement& get = stmts_->get_value;
  StatementScope scope(get);
  get.Bind(1, id).Bind(2, FoldName(name));
  int rc = get.Step();
  if (rc == SQLITE_DONE) return kErrorFileNotFound;
  if (rc != SQLITE_ROW) return kErrorInvalidData;
  value->name = get.ColumnText(0);
  value->type = static_cast<uint32_t>(get.ColumnInt(1));
  value->data = ColumnData(get, 2);
  return kErrorSuccess;
}

long HiveStore::ListSubKeys(int64_t id, std::vector<std::string>* names) {
  names->clear();
  std::string err;
  if (!Usable(&err)) return err.empty() ? kErrorSuccess : kErrorInvalidData;
  Statement& list = stmts_->list_keys;
  StatementScope scope(list);
  list.Bind(1, id);
  int rc;
  while ((rc = list.Step()) == SQLITE_ROW) names->push_back(list.ColumnText(0));
  return rc == SQLITE_DONE ? kErrorSuccess : kErrorInvalidData;
}

long HiveStore::ListValues(int64_t id, std::vector<ValueEntry>* values) {
  values->clear();
  std::string err;
  if (!Usable(&err)) return err.empty() ? kErrorSuccess : kErrorInvalidData;
  Statement& list = stmts_->list_values;
  StatementScope scope(list);
  list.Bind(1, id);
  int rc;
  while ((rc = list.Step()) == SQLITE_ROW) {
    values->push_back(ValueEntry{list.ColumnText(0), static_cast<uint32_t>(list.ColumnInt(1)),
                                 ColumnData(list, 2)});
  }
  return rc == SQLITE_DONE ? kErrorSuccess : kErrorInvalidData;
}

bool HiveStore::Begin(std::string* err) {
  if (!EnsureWritable(err)) return false;
  if (!stmts_->begin.Run()) {
    *err = Fail("write");
    return false;
  }
  return true;
}

bool HiveStore::Commit(std::string* err) {
  if (stmts_->commit.Run()) return true;
  *err = Fail("write");
  Rollback();
  return false;
}

void HiveStore::Rollback() {
  if (stmts_ && !sqlite3_get_autocommit(db_.get())) stmts_->rollback.Run();
}

bool HiveStore::CreateKey(std::span<const std::string> path, int64_t* id, std::string* err) {
  // Deleting a key deletes its sub-keys by cascade, one trigger level per key level, and SQLite
  // stops at 1000: a deeper tree could never be deleted again.
  if (path.size() > kMaxKeyDepth) {
    *err =
        "write " + label_ + ": a key path has at most " + std::to_string(kMaxKeyDepth) + " levels";
    return false;
  }
  int64_t current = kRootId;
  Statement& find = stmts_->find_child;
  Statement& insert = stmts_->insert_key;
  for (const std::string& name : path) {
    const std::string fold = FoldName(name);
    int rc;
    {
      StatementScope scope(find);
      find.Bind(1, current).Bind(2, fold);
      rc = find.Step();
      if (rc == SQLITE_ROW) {
        current = find.ColumnInt(0);
        continue;
      }
    }
    if (rc != SQLITE_DONE ||
        !insert.Bind(1, current).Bind(2, StoredName(name)).Bind(3, fold).Run()) {
      *err = Fail("write");
      return false;
    }
    current = sqlite3_last_insert_rowid(db_.get());
  }
  *id = current;
  return true;
}

bool HiveStore::SetValue(int64_t id, const std::string& name, uint32_t type,
                         std::span<const uint8_t> data, std::string* err) {
  Statement& set = stmts_->set_value;
  set.Bind(1, id).Bind(2, StoredName(name)).Bind(3, FoldName(name)).Bind(4, int64_t{type});
  BindData(set, 5, type, data);
  if (set.Run()) return true;
  *err = Fail("write");
  return false;
}

bool HiveStore::DeleteValue(int64_t id, const std::string& name, bool* found, std::string* err) {
  if (!stmts_->delete_value.Bind(1, id).Bind(2, FoldName(name)).Run()) {
    *err = Fail("write");
    return false;
  }
  *found = sqlite3_changes(db_.get()) > 0;
  return true;
}

bool HiveStore::DeleteKey(int64_t id, std::string* err) {
  if (stmts_->delete_key.Bind(1, id).Run()) return true;
  *err = Fail("write");
  return false;
}

}  // namespace tarnwick
