#include "registry/change_scope.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "registry/registry.h"
#include "registry/registry_rules.h"
#include "text/text.h"

namespace tarnwick {
namespace {

// What a write needs: KEY_SET_VALUE | KEY_CREATE_SUB_KEY.
constexpr uint32_t kKeyWrite = 0x0006;

std::string ErrorText(long status) {
  switch (status) {
    case kErrorFileNotFound:
      return "not found";
    case kErrorAccessDenied:
      return "access denied";
    case kErrorInvalidHandle:
      return "invalid handle";
    case kErrorInvalidData:
      return "the registry cannot be read";
    default:
      return "error " + std::to_string(status);
  }
}

std::string Join(const std::vector<std::string>& parts, size_t count) {
  std::string path;
  for (size_t i = 0; i < count && i < parts.size(); ++i) {
    if (i > 0) path += '\\';
    path += parts[i];
  }
  return path;
}

// A key closed when it goes out of scope.
class OpenedKey {
 public:
  explicit OpenedKey(Registry& registry) : registry_(registry) {}
  ~OpenedKey() { registry_.CloseKey(key_); }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  long Open(Hive hive, const std::string& path, uint32_t access) {
    registry_.CloseKey(std::exchange(key_, nullptr));
    return registry_.OpenKey(hive, path, access, &key_);
  }
  KeyHandle get() const { return key_; }

 private:
  Registry& registry_;
  KeyHandle key_ = nullptr;
};

// A target with its key taken apart, for ordering and nesting.
struct Entry {
  RestoreTarget target;
  std::vector<std::string> folded;  // the comparison form of each component
};

bool KeyBefore(const Entry& a, const Entry& b) {
  if (a.target.key.hive != b.target.key.hive) {
    return a.target.key.hive == Hive::kCurrentUser;
  }
  if (a.folded != b.folded) return a.folded < b.folded;
  // A key's tree comes before its values, which it then holds.
  return a.target.values.empty() && !b.target.values.empty();
}

// Whether `inner` is `outer` or a key below it.
bool Within(const Entry& inner, const Entry& outer) {
  return inner.target.key.hive == outer.target.key.hive &&
         inner.folded.size() >= outer.folded.size() &&
         std::equal(outer.folded.begin(), outer.folded.end(), inner.folded.begin());
}

bool AddEntry(Hive hive, const std::string& path, std::string value, bool written,
              std::vector<Entry>* entries, std::string* err) {
  Entry entry;
  std::vector<std::string> parts;
  if (!SplitKeyPath(path, &parts) || parts.empty()) {
    *err = "malformed key path '" + path + "'";
    return false;
  }
  for (const std::string& part : parts) entry.folded.push_back(FoldName(part));
  entry.target.key = {hive, path};
  if (!value.empty()) entry.target.values.push_back(std::move(value));
  entry.target.written = written;
  entries->push_back(std::move(entry));
  return true;
}

RegEdit Edit(RegEdit::Op op, Hive hive, std::string path) {
  RegEdit edit;
  edit.op = op;
  edit.hive = hive;
  edit.path = std::move(path);
  return edit;
}

// Reads a whole tree into `out` as the edits that make it: the key, its values, its sub-keys.
class TreeReader {
 public:
  TreeReader(Registry& registry, std::vector<RegEdit>* out, std::string* err)
      : registry_(registry), out_(out), err_(err) {}

  /// The values of the open `key` at `path`, in the registry's order.
  bool ReadValues(Hive hive, const std::string& path, KeyHandle key,
                  std::vector<ValueEntry>* values) {
    values->clear();
    for (uint32_t i = 0;; ++i) {
      ValueEntry value;
      const long status = registry_.EnumValue(key, i, &value.name, &value.type, &value.data);
      if (status == kErrorNoMoreItems) return true;
      if (status != kErrorSuccess) return Fail(hive, path, status);
      values->push_back(std::move(value));
    }
  }

  /// The sub-key names of the open `key` at `path`.
  bool ReadSubKeys(Hive hive, const std::string& path, KeyHandle key,
                   std::vector<std::string>* names) {
    names->clear();
    for (uint32_t i = 0;; ++i) {
      std::string name;
      const long status = registry_.EnumKey(key, i, &name);
      if (status == kErrorNoMoreItems) return true;
      if (status != kErrorSuccess) return Fail(hive, path, status);
      names->push_back(std::move(name));
    }
  }

  bool ReadTree(Hive hive, const std::string& path, KeyHandle key) {
    if (!Add(Edit(RegEdit::Op::kCreateKey, hive, path))) return false;
    std::vector<ValueEntry> values;
    if (!ReadValues(hive, path, key, &values)) return false;
    for (ValueEntry& value : values) {
      RegEdit set = Edit(RegEdit::Op::kSetValue, hive, path);
      set.name = std::move(value.name);
      set.type = value.type;
      set.data = std::move(value.data);
      if (!Add(std::move(set))) return false;
    }
    std::vector<std::string> names;
    if (!ReadSubKeys(hive, path, key, &names)) return false;
    for (const std::string& name : names) {
      const std::string child_path = path + "\\" + name;
      OpenedKey child(registry_);
      const long status = child.Open(hive, child_path, kKeyRead);
      // A key deleted by another program since the listing was not there to restore.
      if (status == kErrorFileNotFound) continue;
      if (status != kErrorSuccess) return Fail(hive, child_path, status);
      if (!ReadTree(hive, child_path, child.get())) return false;
    }
    return true;
  }

  bool Add(RegEdit edit) {
    if (!RegFileCanHold(edit)) {
      *err_ = FullKeyName(edit.hive, edit.path) +
              ": a name holds a line break or \"]\", which a registry file cannot hold";
      return false;
    }
    out_->push_back(std::move(edit));
    return true;
  }

  bool Fail(Hive hive, const std::string& path, long status) {
    *err_ = FullKeyName(hive, path) + ": " + ErrorText(status);
    return false;
  }

 private:
  Registry& registry_;
  std::vector<RegEdit>* out_;
  std::string* err_;
};

// What pass one found for a target.
struct Probe {
  const RestoreTarget* target = nullptr;
  std::vector<std::string> parts;
  bool exists = false;
  size_t root_depth = 0;  // missing: the components of the topmost key the operation creates
  std::unique_ptr<OpenedKey> key;  // existing: the key, open for reading
};

}  // namespace

ChangeScope Combine(ChangeScope a, const ChangeScope& b) {
  a.deleted_trees.insert(a.deleted_trees.end(), b.deleted_trees.begin(), b.deleted_trees.end());
  a.writes.insert(a.writes.end(), b.writes.begin(), b.writes.end());
  return a;
}

ChangeScope ScopeOfEdits(const std::vector<RegEdit>& edits) {
  auto writer_key = [](const RegEdit& edit) {
    return Concat({edit.hive == Hive::kCurrentUser ? "HKCU\\" : "HKLM\\", edit.path, "\\"});
  };
  ChangeScope scope;
  std::vector<std::string> keys_with_values;  // folded writer keys
  for (const RegEdit& edit : edits) {
    if (edit.op == RegEdit::Op::kSetValue || edit.op == RegEdit::Op::kDeleteValue) {
      keys_with_values.push_back(FoldName(writer_key(edit)));
    }
  }
  for (const RegEdit& edit : edits) {
    switch (edit.op) {
      case RegEdit::Op::kDeleteKey:
        scope.deleted_trees.push_back({edit.hive, edit.path});
        break;
      case RegEdit::Op::kSetValue:
      case RegEdit::Op::kDeleteValue:
        // The default value stands for the key's tree, as in every scope.
        scope.writes.push_back(writer_key(edit) +
                               (edit.name.find('\\') == std::string::npos ? edit.name : ""));
        break;
      case RegEdit::Op::kCreateKey:
        // A key made only to hold values is theirs to restore; an empty one is written as a
        // tree, so that a restore removes it again when it is new.
        if (std::find(keys_with_values.begin(), keys_with_values.end(),
                      FoldName(writer_key(edit))) == keys_with_values.end()) {
          scope.writes.push_back(writer_key(edit));
        }
        break;
    }
  }
  return scope;
}

bool RestoreTargets(const ChangeScope& scope, std::vector<RestoreTarget>* targets,
                    std::string* err) {
  targets->clear();
  std::vector<Entry> entries;
  for (const RegKeyName& tree : scope.deleted_trees) {
    if (!AddEntry(tree.hive, tree.path, "", false, &entries, err)) return false;
  }
  for (const std::string& write : scope.writes) {
    WriterTarget target;
    std::string reason;
    if (!ParseWriterPath(write, &target, &reason)) {
      *err = "writer path '" + write + "': " + reason;
      return false;
    }
    if (!AddEntry(target.hive, Join(target.key, target.key.size()), target.value_name, true,
                  &entries, err)) {
      return false;
    }
  }
  std::stable_sort(entries.begin(), entries.end(), KeyBefore);

  // In this order whatever lies inside a tree comes right after it, so each entry need only be
  // held against the last one kept.
  std::vector<Entry> kept;
  for (Entry& entry : entries) {
    if (!kept.empty()) {
      Entry& last = kept.back();
      if (last.target.values.empty() && Within(entry, last)) {
        last.target.written = last.target.written || entry.target.written;
        continue;
      }
      if (!last.target.values.empty() && !entry.target.values.empty() &&
          last.folded == entry.folded && last.target.key.hive == entry.target.key.hive) {
        const std::string& name = entry.target.values.front();
        const auto& names = last.target.values;
        if (std::none_of(names.begin(), names.end(),
                         [&](const std::string& n) { return SameName(n, name); })) {
          last.target.values.push_back(name);
        }
        continue;
      }
    }
    kept.push_back(std::move(entry));
  }
  for (Entry& entry : kept) targets->push_back(std::move(entry.target));
  return true;
}

bool CaptureRestore(Registry& registry, const ChangeScope& scope, std::vector<RegEdit>* restore,
                    std::string* err) {
  restore->clear();
  std::vector<RestoreTarget> targets;
  if (!RestoreTargets(scope, &targets, err)) return false;
  TreeReader reader(registry, restore, err);

  // Pass one: where each target's key ends, and whether the account may change it.
  std::vector<Probe> probes;
  for (const RestoreTarget& target : targets) {
    Probe probe;
    probe.target = &target;
    SplitKeyPath(target.key.path, &probe.parts);  // checked by RestoreTargets
    const Hive hive = target.key.hive;
    size_t depth = probe.parts.size();
    auto key = std::make_unique<OpenedKey>(registry);
    for (;; --depth) {
      const long status = key->Open(hive, Join(probe.parts, depth), kKeyRead);
      if (status == kErrorSuccess) break;
      if (status != kErrorFileNotFound || depth == 0) {
        return reader.Fail(hive, Join(probe.parts, depth), status);
      }
    }
    probe.exists = depth == probe.parts.size();
    // A key the operation only deletes, and which is not there, stays as it is.
    if (!probe.exists && !target.written) continue;
    // The current user may change anything of his own; machine-wide keys only an account with
    // administrator rights may, and without them the operation cannot change them either.
    if (hive == Hive::kLocalMachine) {
      OpenedKey nearest(registry);
      const long status = nearest.Open(hive, Join(probe.parts, depth), kKeyWrite);
      if (status == kErrorAccessDenied) continue;
      if (status != kErrorSuccess) return reader.Fail(hive, Join(probe.parts, depth), status);
    }
    probe.root_depth = depth + 1;
    if (probe.exists) probe.key = std::move(key);
    probes.push_back(std::move(probe));
  }

  // Pass two: the edits, in target order. Missing targets below one missing key share its
  // deletion, which the first of them makes.
  auto covered = [&](const Probe& probe) {
    for (const Probe& other : probes) {
      if (&other == &probe || other.exists || other.target->key.hive != probe.target->key.hive ||
          other.root_depth > probe.root_depth) {
        continue;
      }
      bool inside = true;
      for (size_t i = 0; i < other.root_depth && inside; ++i) {
        inside = SameName(other.parts[i], probe.parts[i]);
      }
      if (inside && (other.root_depth < probe.root_depth || &other < &probe)) return true;
    }
    return false;
  };
  std::map<std::pair<Hive, std::string>, std::vector<std::string>> listings;
  for (const Probe& probe : probes) {
    const RestoreTarget& target = *probe.target;
    const Hive hive = target.key.hive;
    if (!probe.exists) {
      if (!covered(probe) &&
          !reader.Add(Edit(RegEdit::Op::kDeleteKey, hive, Join(probe.parts, probe.root_depth)))) {
        return false;
      }
      continue;
    }
    const OpenedKey& key = *probe.key;
    if (!target.values.empty()) {
      std::vector<ValueEntry> values;
      if (!reader.ReadValues(hive, target.key.path, key.get(), &values)) return false;
      if (!reader.Add(Edit(RegEdit::Op::kCreateKey, hive, target.key.path))) return false;
      for (const std::string& name : target.values) {
        auto found = std::find_if(values.begin(), values.end(),
                                  [&](const ValueEntry& v) { return SameName(v.name, name); });
        RegEdit edit =
            Edit(found != values.end() ? RegEdit::Op::kSetValue : RegEdit::Op::kDeleteValue, hive,
                 target.key.path);
        edit.name = name;
        if (found != values.end()) {
          edit.name = found->name;
          edit.type = found->type;
          edit.data = found->data;
        }
        if (!reader.Add(std::move(edit))) return false;
      }
      continue;
    }
    // The tree comes back under the name it has, which may be spelt otherwise than the scope
    // spells it; the keys above it stay, so their spelling does not matter.
    std::string path = target.key.path;
    const std::string parent_path = Join(probe.parts, probe.parts.size() - 1);
    // Many trees share a parent (Software\Classes): each parent is listed once.
    auto listed = listings.find({hive, parent_path});
    if (listed == listings.end()) {
      OpenedKey parent(registry);
      if (long status = parent.Open(hive, parent_path, kKeyRead); status != kErrorSuccess) {
        return reader.Fail(hive, parent_path, status);
      }
      std::vector<std::string> names;
      if (!reader.ReadSubKeys(hive, parent_path, parent.get(), &names)) return false;
      listed = listings.emplace(std::make_pair(hive, parent_path), std::move(names)).first;
    }
    for (const std::string& name : listed->second) {
      if (SameName(name, probe.parts.back())) {
        path = parent_path.empty() ? name : parent_path + "\\" + name;
        break;
      }
    }
    if (!reader.Add(Edit(RegEdit::Op::kDeleteKey, hive, path))) return false;
    if (!reader.ReadTree(hive, path, key.get())) return false;
  }
  return true;
}

namespace {

// The last of the registry's own value types, REG_QWORD.
constexpr uint32_t kLastRegType = 11;

// A restore target with its key in comparison form.
struct Target {
  const RestoreTarget* target;
  std::vector<std::string> folded;
};

// Where a key stands against the targets.
enum class Place {
  kOutside,    // nothing of the scope
  kInTree,     // inside a tree target
  kValuesKey,  // a key whose named values are targets
  kAbove,      // above a target, and no target itself
};

bool StartsWith(const std::vector<std::string>& whole, const std::vector<std::string>& part) {
  return whole.size() >= part.size() && std::equal(part.begin(), part.end(), whole.begin());
}

class ScopeCheck {
 public:
  ScopeCheck(Registry& registry, const std::vector<RestoreTarget>& targets) : registry_(registry) {
    for (const RestoreTarget& target : targets) {
      std::vector<std::string> parts;
      SplitKeyPath(target.key.path, &parts);  // checked by RestoreTargets
      Target entry{&target, {}};
      for (const std::string& part : parts) entry.folded.push_back(FoldName(part));
      targets_.push_back(std::move(entry));
    }
  }

  Place PlaceOf(Hive hive, const std::vector<std::string>& folded,
                const RestoreTarget** values_of = nullptr) const {
    Place place = Place::kOutside;
    for (const Target& t : targets_) {
      if (t.target->key.hive != hive) continue;
      if (t.target->values.empty() && StartsWith(folded, t.folded)) return Place::kInTree;
      if (!t.target->values.empty() && folded == t.folded) {
        if (values_of != nullptr) *values_of = t.target;
        place = Place::kValuesKey;
      } else if (place == Place::kOutside && t.folded.size() > folded.size() &&
                 StartsWith(t.folded, folded)) {
        place = Place::kAbove;
      }
    }
    return place;
  }

  bool Inside(const RegEdit& edit) {
    std::vector<std::string> parts;
    if (!SplitKeyPath(edit.path, &parts)) return false;
    std::vector<std::string> folded;
    for (const std::string& part : parts) folded.push_back(FoldName(part));
    const RestoreTarget* values = nullptr;
    const Place place = PlaceOf(edit.hive, folded, &values);
    const bool set = edit.op == RegEdit::Op::kSetValue;
    if (place == Place::kInTree) return !set || edit.type <= kLastRegType;
    if (place == Place::kOutside) return false;
    // A key that an operation would create may be deleted while it holds nothing else.
    if (edit.op == RegEdit::Op::kDeleteKey) return HoldsOnlyTargets(edit.hive, edit.path, folded);
    // A key on the way to targets is created by any write below it, too.
    if (edit.op == RegEdit::Op::kCreateKey) return true;
    return place == Place::kValuesKey && Named(*values, edit.name) &&
           (!set || edit.type == kRegSz || edit.type == kRegExpandSz || edit.type == kRegDword);
  }

  // Whether a value is out of scope for its type alone.
  bool TypeOutOfPlace(const RegEdit& edit) {
    if (edit.op != RegEdit::Op::kSetValue) return false;
    RegEdit untyped = edit;
    untyped.type = kRegSz;
    return Inside(untyped);
  }

 private:
  static bool Named(const RestoreTarget& target, const std::string& name) {
    return std::any_of(target.values.begin(), target.values.end(),
                       [&](const std::string& n) { return SameName(n, name); });
  }

  // Whether the key at `path`, which stands above targets, holds nothing now but keys on the way
  // to targets and what the targets are; a missing key holds nothing.
  bool HoldsOnlyTargets(Hive hive, const std::string& path,
                        const std::vector<std::string>& folded) {
    OpenedKey key(registry_);
    const long status = key.Open(hive, path, kKeyRead);
    if (status == kErrorFileNotFound || status == kErrorPathNotFound) return true;
    if (status != kErrorSuccess) return false;
    const RestoreTarget* values = nullptr;
    const Place place = PlaceOf(hive, folded, &values);
    if (place == Place::kInTree) return true;
    if (place == Place::kOutside) return false;
    for (uint32_t i = 0;; ++i) {
      ValueEntry value;
      const long read = registry_.EnumValue(key.get(), i, &value.name, &value.type, &value.data);
      if (read == kErrorNoMoreItems) break;
      if (read != kErrorSuccess || place != Place::kValuesKey || !Named(*values, value.name)) {
        return false;
      }
    }
    for (uint32_t i = 0;; ++i) {
      std::string name;
      const long read = registry_.EnumKey(key.get(), i, &name);
      if (read == kErrorNoMoreItems) return true;
      if (read != kErrorSuccess) return false;
      std::vector<std::string> child = folded;
      child.push_back(FoldName(name));
      if (!HoldsOnlyTargets(hive, path + "\\" + name, child)) return false;
    }
  }

  Registry& registry_;
  std::vector<Target> targets_;
};

std::string Described(const RegEdit& edit) {
  const std::string key = FullKeyName(edit.hive, edit.path);
  switch (edit.op) {
    case RegEdit::Op::kCreateKey:
      return Concat({"[", key, "]"});
    case RegEdit::Op::kDeleteKey:
      return Concat({"[-", key, "]"});
    case RegEdit::Op::kSetValue:
    case RegEdit::Op::kDeleteValue:
      break;
  }
  return Concat({key, "\\", edit.name});
}

}  // namespace

bool EditsWithin(Registry& registry, const ChangeScope& scope, std::span<const RegEdit> edits,
                 std::string* outside) {
  std::vector<RestoreTarget> targets;
  std::string err;
  if (!RestoreTargets(scope, &targets, &err)) {
    *outside = err;
    return false;
  }
  ScopeCheck check(registry, targets);
  for (const RegEdit& edit : edits) {
    if (check.Inside(edit)) continue;
    *outside = Described(edit);
    if (check.TypeOutOfPlace(edit)) *outside += " as type " + std::to_string(edit.type);
    return false;
  }
  return true;
}

}  // namespace tarnwick
