#include "standin/standin_registry.h"

#include <cstring>

#include "registry/registry_rules.h"

namespace tarnwick {
namespace {

KeyHandle ToHandle(uintptr_t n) { return reinterpret_cast<KeyHandle>(n); }

}  // namespace

StandInRegistry::StandInRegistry(std::unique_ptr<HiveStore> user,
                                 std::unique_ptr<HiveStore> machine, bool administrator)
    : user_(std::move(user)), machine_(std::move(machine)), administrator_(administrator) {}

StandInRegistry::~StandInRegistry() = default;

std::unique_ptr<StandInRegistry> StandInRegistry::OpenInMemory(bool administrator,
                                                               const std::string& name) {
  std::string err;
  auto user = HiveStore::OpenMemory(name.empty() ? "" : name + "-user", &err);
  auto machine = HiveStore::OpenMemory(name.empty() ? "" : name + "-machine", &err);
  // Memory hives fail only when SQLite itself cannot allocate them.
  if (!user || !machine) return nullptr;
  return std::unique_ptr<StandInRegistry>(
      new StandInRegistry(std::move(user), std::move(machine), administrator));
}

std::unique_ptr<StandInRegistry> StandInRegistry::OpenFiles(const HiveLocations& files,
                                                            bool administrator, std::string* err) {
  // The machine hive is read by accounts that may not write its folder, which a write-ahead
  // log would need; its few writes do not miss the log's speed.
  auto user = HiveStore::OpenFile(files.user, true, HiveStore::Journal::kWriteAhead, err);
  if (!user) return nullptr;
  auto machine =
      HiveStore::OpenFile(files.machine, administrator, HiveStore::Journal::kRollback, err);
  if (!machine) return nullptr;
  return std::unique_ptr<StandInRegistry>(
      new StandInRegistry(std::move(user), std::move(machine), administrator));
}

const std::string& StandInRegistry::HiveLabel(Hive hive) const {
  return hive == Hive::kLocalMachine ? machine_->label() : user_->label();
}

HiveStore* StandInRegistry::Store(Hive hive) const {
  switch (hive) {
    case Hive::kCurrentUser:
      return user_.get();
    case Hive::kLocalMachine:
      return machine_.get();
  }
  return nullptr;
}

bool StandInRegistry::MayWrite(Hive hive) const {
  return hive == Hive::kCurrentUser || administrator_;
}

bool StandInRegistry::RegWrite(const std::string& path, const std::string& value,
                               const std::string& type, std::string* err) {
  const std::string what = "RegWrite(" + path + "): ";
  WriterTarget target;
  std::string reason;
  if (!ParseWriterPath(path, &target, &reason)) {
    *err = what + reason;
    return false;
  }
  const std::optional<RegType> reg_type = ParseRegType(type);
  if (!reg_type) {
    *err = what + "unknown value type '" + type + "'";
    return false;
  }
  std::vector<uint8_t> data;
  if (*reg_type == kRegDword) {
    const std::optional<uint32_t> n = ParseDwordText(value);
    if (!n) {
      *err = what + "not a decimal number '" + value + "'";
      return false;
    }
    data = DwordToRegBytes(*n);
  } else {
    data = TextToRegBytes(value);
  }
  if (!MayWrite(target.hive)) {
    *err = what + "access denied";
    return false;
  }
  HiveStore* store = Store(target.hive);
  int64_t id = 0;
  if (!store->Begin(&reason) || !store->CreateKey(target.key, &id, &reason) ||
      !store->SetValue(id, target.value_name, *reg_type, data, &reason) ||
      !store->Commit(&reason)) {
    store->Rollback();
    *err = what + reason;
    return false;
  }
  return true;
}

long StandInRegistry::DeleteKeyTree(Hive hive, const std::string& path) {
  HiveStore* store = Store(hive);
  if (store == nullptr) return kErrorInvalidHandle;
  std::vector<std::string> components;
  if (!SplitKeyPath(path, &components)) return kErrorFileNotFound;
  if (components.empty()) return kErrorInvalidParameter;  // never the whole hive
  int64_t id = 0;
  // Look first, so that deleting from a hive that was never written does not create its file.
  if (long status = store->FindKey(components, &id); status != kErrorSuccess) return status;
  if (!MayWrite(hive)) return kErrorAccessDenied;
  std::string err;
  if (!store->Begin(&err)) return kErrorInvalidData;
  long status = store->FindKey(components, &id);
  if (status == kErrorSuccess && (!store->DeleteKey(id, &err) || !store->Commit(&err))) {
    status = kErrorInvalidData;
  }
  store->Rollback();
  return status;
}

long StandInRegistry::FindKey(Hive hive, const std::string& path, HiveStore** store,
                              int64_t* id) const {
  *store = Store(hive);
  if (*store == nullptr) return kErrorInvalidHandle;
  std::vector<std::string> components;
  if (!SplitKeyPath(path, &components)) return kErrorFileNotFound;
  return (*store)->FindKey(components, id);
}

long StandInRegistry::OpenKey(Hive hive, const std::string& path, uint32_t access, KeyHandle* key) {
  if (key == nullptr) return kErrorInvalidParameter;
  HiveStore* store = nullptr;
  int64_t id = 0;
  if (long status = FindKey(hive, path, &store, &id); status != kErrorSuccess) return status;
  if (!MayWrite(hive) && (access & ~kKeyRead) != 0) return kErrorAccessDenied;
  const uintptr_t handle = next_handle_;
  next_handle_ += 4;
  open_keys_[handle] = OpenKeyEntry{.hive = hive, .id = id, .sub_keys = {}, .values = {}};
  *key = ToHandle(handle);
  return kErrorSuccess;
}

long StandInRegistry::QueryValue(KeyHandle key, const std::string& name, uint32_t* type,
                                 uint8_t* data, uint32_t* size) {
  auto it = open_keys_.find(reinterpret_cast<uintptr_t>(key));
  if (key == nullptr || it == open_keys_.end()) return kErrorInvalidHandle;
  if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
  ValueEntry value;
  if (long status = Store(it->second.hive)->GetValue(it->second.id, name, &value);
      status != kErrorSuccess) {
    return status;
  }
  if (type != nullptr) *type = value.type;
  if (size == nullptr) return kErrorSuccess;
  const auto needed = static_cast<uint32_t>(value.data.size());
  if (data != nullptr && *size < needed) {
    *size = needed;
    return kErrorMoreData;
  }
  if (data != nullptr && needed > 0) std::memcpy(data, value.data.data(), needed);
  *size = needed;
  return kErrorSuccess;
}

StandInRegistry::OpenKeyEntry* StandInRegistry::Opened(KeyHandle key) {
  auto it = open_keys_.find(reinterpret_cast<uintptr_t>(key));
  return key == nullptr || it == open_keys_.end() ? nullptr : &it->second;
}

// A pass of enumeration lists the key once, at its index 0, and walks that listing; each new
// pass lists afresh, so that it sees what another connection changed meanwhile, as on Windows.
long StandInRegistry::EnumKey(KeyHandle key, uint32_t index, std::string* name) {
  OpenKeyEntry* entry = Opened(key);
  if (entry == nullptr) return kErrorInvalidHandle;
  if (name == nullptr) return kErrorInvalidParameter;
  if (index == 0 || !entry->sub_keys) {
    std::vector<std::string> names;
    if (long status = Store(entry->hive)->ListSubKeys(entry->id, &names); status != kErrorSuccess) {
      return status;
    }
    entry->sub_keys = std::move(names);
  }
  if (index >= entry->sub_keys->size()) return kErrorNoMoreItems;
  *name = (*entry->sub_keys)[index];
  return kErrorSuccess;
}

long StandInRegistry::EnumValue(KeyHandle key, uint32_t index, std::string* name, uint32_t* type,
                                std::vector<uint8_t>* data) {
  OpenKeyEntry* entry = Opened(key);
  if (entry == nullptr) return kErrorInvalidHandle;
  if (name == nullptr || type == nullptr || data == nullptr) return kErrorInvalidParameter;
  if (index == 0 || !entry->values) {
    std::vector<ValueEntry> values;
    if (long status = Store(entry->hive)->ListValues(entry->id, &values); status != kErrorSuccess) {
      return status;
    }
    entry->values = std::move(values);
  }
  if (index >= entry->values->size()) return kErrorNoMoreItems;
  const ValueEntry& value = (*entry->values)[index];
  *name = value.name;
  *type = value.type;
  *data = value.data;
  return kErrorSuccess;
}

long StandInRegistry::CloseKey(KeyHandle key) {
  if (key == nullptr) return kErrorSuccess;
  return open_keys_.erase(reinterpret_cast<uintptr_t>(key)) ? kErrorSuccess : kErrorInvalidHandle;
}

long StandInRegistry::KeyExists(Hive hive, const std::string& path) {
  HiveStore* store = nullptr;
  int64_t id = 0;
  return FindKey(hive, path, &store, &id);
}

long StandInRegistry::ListSubKeys(Hive hive, const std::string& path,
                                  std::vector<std::string>* names) {
  names->clear();
  HiveStore* store = nullptr;
  int64_t id = 0;
  if (long status = FindKey(hive, path, &store, &id); status != kErrorSuccess) return status;
  return store->ListSubKeys(id, names);
}

long StandInRegistry::ListValues(Hive hive, const std::string& path,
                                 std::vector<ValueEntry>* values) {
  values->clear();
  HiveStore* store = nullptr;
  int64_t id = 0;
  if (long status = FindKey(hive, path, &store, &id); status != kErrorSuccess) return status;
  return store->ListValues(id, values);
}

long StandInRegistry::GetValue(Hive hive, const std::string& path, const std::string& name,
                               ValueEntry* value) {
  HiveStore* store = nullptr;
  int64_t id = 0;
  if (long status = FindKey(hive, path, &store, &id); status != kErrorSuccess) return status;
  return store->GetValue(id, name, value);
}

bool StandInRegistry::ApplyOne(HiveStore* store, const RegEdit& edit, std::string* err) {
  std::vector<std::string> components;
  SplitKeyPath(edit.path, &components);  // checked by Apply
  int64_t id = 0;
  switch (edit.op) {
    case RegEdit::Op::kCreateKey:
      return store->CreateKey(components, &id, err);
    case RegEdit::Op::kSetValue:
      return store->CreateKey(components, &id, err) &&
             store->SetValue(id, edit.name, edit.type, edit.data, err);
    case RegEdit::Op::kDeleteKey:
    case RegEdit::Op::kDeleteValue:
      break;
  }
  const long status = store->FindKey(components, &id);
  if (status == kErrorFileNotFound) return true;
  if (status != kErrorSuccess) {
    *err = "write " + store->label() + ": the hive cannot be read";
    return false;
  }
  bool found = false;
  return edit.op == RegEdit::Op::kDeleteKey ? store->DeleteKey(id, err)
                                            : store->DeleteValue(id, edit.name, &found, err);
}

bool StandInRegistry::Apply(std::span<const RegEdit> edits, std::string* err) {
  bool touches[2] = {false, false};
  std::vector<std::string> components;
  for (const RegEdit& edit : edits) {
    if (Store(edit.hive) == nullptr || !SplitKeyPath(edit.path, &components) ||
        (edit.op == RegEdit::Op::kDeleteKey && components.empty())) {
      *err = "malformed key path '" + edit.path + "'";
      return false;
    }
    if (!MayWrite(edit.hive)) {
      *err = "write " + HiveLabel(edit.hive) + ": access denied";
      return false;
    }
    touches[edit.hive == Hive::kLocalMachine] = true;
  }
  HiveStore* stores[2] = {user_.get(), machine_.get()};
  bool ok = true;
  for (int i = 0; i < 2 && ok; ++i) {
    if (touches[i]) ok = stores[i]->Begin(err);
  }
  if (ok) {
    for (const RegEdit& edit : edits) {
      if (!(ok = ApplyOne(Store(edit.hive), edit, err))) break;
    }
  }
  // Both hives commit only once every edit is in; a failure before that leaves both as they
  // were. (Two files cannot share one atomic commit: a crash between the two commits would keep
  // the user hive's part alone.)
  for (int i = 0; i < 2 && ok; ++i) {
    if (touches[i]) ok = stores[i]->Commit(err);
  }
  for (int i = 0; i < 2; ++i) {
    if (touches[i]) stores[i]->Rollback();
  }
  return ok;
}

}  // namespace tarnwick
