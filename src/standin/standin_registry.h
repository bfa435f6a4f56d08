// The registry of every build without the Windows registry: two hives kept by SQLite, one
// database file each (or memory, for tests), behind the program's three registry routes.
#ifndef TARNWICK_STANDIN_STANDIN_REGISTRY_H_
#define TARNWICK_STANDIN_STANDIN_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "registry/reg_edit.h"
#include "registry/registry.h"
#include "standin/hive_store.h"

namespace tarnwick {

/// The two hive files.
struct HiveLocations {
  std::string user;     ///< HKEY_CURRENT_USER
  std::string machine;  ///< HKEY_LOCAL_MACHINE
};

/// Both routes over two stand-in hives. HKEY_CURRENT_USER is always writable; without
/// administrator rights HKEY_LOCAL_MACHINE is opened read-only, and every write to it, every
/// delete in it and every OpenKey on it asking for more than kKeyRead is refused. Each write
/// (RegWrite, DeleteKeyTree, Apply) is one durable transaction. Key handles belong to the
/// object that opened them. Not thread-safe; use one object per thread.
class StandInRegistry final : public RegistryWriteRoute, public Registry {
 public:
  /// Two hives in memory. With a non-empty `name`, registries opened with the same name in this
  /// process share their hives as long as one of them is open, like two programs sharing files.
  static std::unique_ptr<StandInRegistry> OpenInMemory(bool administrator,
                                                       const std::string& name = "");

  /// The two hive files. Missing files read as empty hives and are created by the first write
  /// (with their folders). Without `administrator` the machine hive is opened read-only. A file
  /// that is not a hive gives null and an error naming it; the file is left as it is.
  static std::unique_ptr<StandInRegistry> OpenFiles(const HiveLocations& files, bool administrator,
                                                    std::string* err);

  ~StandInRegistry() override;

  bool administrator() const { return administrator_; }

  /// The file of `hive` (or a name in angle brackets for a memory hive), for messages.
  const std::string& HiveLabel(Hive hive) const;

  // RegistryWriteRoute. The value's name keeps the spelling it was first written with.
  bool RegWrite(const std::string& path, const std::string& value, const std::string& type,
                std::string* err) override;

  // Registry.
  long DeleteKeyTree(Hive hive, const std::string& path) override;
  long OpenKey(Hive hive, const std::string& path, uint32_t access, KeyHandle* key) override;
  long QueryValue(KeyHandle key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override;
  long EnumKey(KeyHandle key, uint32_t index, std::string* name) override;
  long EnumValue(KeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                 std::vector<uint8_t>* data) override;
  long CloseKey(KeyHandle key) override;

  // Inspection and editing for tools and tests. Each returns a RegError; reads need no
  // administrator rights.

  /// Whether the key at `path` exists: kErrorSuccess or kErrorFileNotFound.
  long KeyExists(Hive hive, const std::string& path);
  /// The sub-key names of `path` as created, in case-insensitive order.
  long ListSubKeys(Hive hive, const std::string& path, std::vector<std::string>* names);
  /// The values of `path` in the order they were first written.
  long ListValues(Hive hive, const std::string& path, std::vector<ValueEntry>* values);
  /// Value `name` of `path`.
  long GetValue(Hive hive, const std::string& path, const std::string& name, ValueEntry* value);

  /// Applies `edits` in order, all or nothing: one transaction per hive touched, committed
  /// after every edit has succeeded. Refused as a whole (false, "access denied" in `err`) when
  /// an edit touches the machine hive without administrator rights, or names a malformed path.
  bool Apply(std::span<const RegEdit> edits, std::string* err);

 private:
  StandInRegistry(std::unique_ptr<HiveStore> user, std::unique_ptr<HiveStore> machine,
                  bool administrator);
  HiveStore* Store(Hive hive) const;
  /// Finds the key at `path` of `hive`: its store and id, or the error.
  long FindKey(Hive hive, const std::string& path, HiveStore** store, int64_t* id) const;
  bool MayWrite(Hive hive) const;
  bool ApplyOne(HiveStore* store, const RegEdit& edit, std::string* err);

  struct OpenKeyEntry {
    Hive hive;
    int64_t id;
    /// The listings of the enumeration pass under way, taken at its index 0 (or its first
    /// call).
    std::optional<std::vector<std::string>> sub_keys;
    std::optional<std::vector<ValueEntry>> values;
  };
  /// The open key behind `key`, or null.
  OpenKeyEntry* Opened(KeyHandle key);

  std::unique_ptr<HiveStore> user_;
  std::unique_ptr<HiveStore> machine_;
  bool administrator_;
  std::unordered_map<uintptr_t, OpenKeyEntry> open_keys_;
  uintptr_t next_handle_ = 0x10;
};

}  // namespace tarnwick

#endif  // TARNWICK_STANDIN_STANDIN_REGISTRY_H_
