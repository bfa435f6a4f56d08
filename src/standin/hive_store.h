// One stand-in hive: a tree of keys with values, kept in an SQLite database (a file, or memory
// for tests). The schema is described in the README; StandInRegistry puts two of these together
// and adds the access rules.
#ifndef TARNWICK_STANDIN_HIVE_STORE_H_
#define TARNWICK_STANDIN_HIVE_STORE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "registry/reg_edit.h"
#include "standin/sqlite_db.h"

namespace tarnwick {

/// A hive in one SQLite database. Not thread-safe: one thread at a time per object; separate
/// objects (in this process or others) on the same file may run side by side, a writer waiting
/// for another's transaction to end.
class HiveStore {
 public:
  /// The id of the hive's root key, which every initialised hive has.
  static constexpr int64_t kRootId = 1;

  /// A hive in memory. Stores opened with the same non-empty `name` in one process share their
  /// data while any of them is open; an empty name gives a private hive.
  static std::unique_ptr<HiveStore> OpenMemory(const std::string& name, std::string* err);

  /// How a new hive file keeps its transactions. Both make every commit durable and atomic.
  enum class Journal {
    kWriteAhead,  ///< a write-ahead log: readers never wait, but every reader needs write
                  ///< access to the folder (for the log's index file)
    kRollback,    ///< a rollback journal: readers and the writer wait for each other briefly,
                  ///< and anyone who may read the file may read the hive
  };

  /// A hive in the file `path`. With `writable` false the file is opened read-only and every
  /// write fails. A missing file reads as an empty hive and is created (with its folders and
  /// the given `journal`) by the first write. A file that is not a hive gives null and an error
  /// naming the file; it is never changed.
  static std::unique_ptr<HiveStore> OpenFile(const std::string& path, bool writable,
                                             Journal journal, std::string* err);

  ~HiveStore();

  /// The file, or a name in angle brackets for a memory hive.
  const std::string& label() const { return label_; }
  bool writable() const { return writable_; }

  // Reads. Each returns a RegError: kErrorSuccess, kErrorFileNotFound when the key or value
  // does not exist, kErrorInvalidData when the store cannot be read.

  /// Finds the key below the root named by `path` (components compared as registry names).
  long FindKey(std::span<const std::string> path, int64_t* id);
  /// Reads value `name` of key `id`.
  long GetValue(int64_t id, const std::string& name, ValueEntry* value);
  /// Names of the sub-keys of key `id`, as created, sorted by their comparison form.
  long ListSubKeys(int64_t id, std::vector<std::string>* names);
  /// The values of key `id` in the order they were first written.
  long ListValues(int64_t id, std::vector<ValueEntry>* values);

  // Writes: only between Begin() and Commit() / Rollback(). Each returns false with `err`
  // naming the file when the store fails.

  /// Starts a write transaction, waiting for another writer's to end (several seconds at most).
  bool Begin(std::string* err);
  /// Makes the transaction's changes durable.
  bool Commit(std::string* err);
  /// Drops the transaction's changes. Harmless when none is open.
  void Rollback();

  /// The deepest key path, in levels below the root, as on Windows.
  static constexpr size_t kMaxKeyDepth = 512;

  /// Finds or creates the key at `path` (missing keys take the spelling given here). A path
  /// deeper than kMaxKeyDepth fails.
  bool CreateKey(std::span<const std::string> path, int64_t* id, std::string* err);
  /// Sets value `name` of key `id`, replacing one of the same name; a replaced value keeps the
  /// spelling of its name and its place in the value order.
  bool SetValue(int64_t id, const std::string& name, uint32_t type, std::span<const uint8_t> data,
                std::string* err);
  /// Deletes value `name` of key `id`; `*found` tells whether it existed.
  bool DeleteValue(int64_t id, const std::string& name, bool* found, std::string* err);
  /// Deletes key `id` (never the root) with all its values and sub-keys.
  bool DeleteKey(int64_t id, std::string* err);

 private:
  HiveStore() = default;
  enum class State { kReady, kBlank, kError };
  bool Connect(int flags, std::string* err);
  State Inspect(std::string* err);
  bool Initialise(std::string* err);
  bool Usable(std::string* err);
  bool EnsureWritable(std::string* err);
  bool Prepare(std::string* err);
  std::string Fail(const char* what) const;

  std::string uri_;    // what sqlite3_open_v2 is given
  std::string label_;  // what error messages name
  bool memory_ = false;
  Journal journal_ = Journal::kWriteAhead;
  bool writable_ = false;
  bool ready_ = false;  // connected to an initialised hive
  SqliteDb db_;
  struct Statements;
  std::unique_ptr<Statements> stmts_;
};

}  // namespace tarnwick

#endif  // TARNWICK_STANDIN_HIVE_STORE_H_
