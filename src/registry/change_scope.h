// What an operation may change in the registry, and the capture of its prior state as the
// edits that bring that state back.
#ifndef TARNWICK_REGISTRY_CHANGE_SCOPE_H_
#define TARNWICK_REGISTRY_CHANGE_SCOPE_H_

#include <span>
#include <string>
#include <vector>

#include "registry/reg_edit.h"
#include "registry/reg_file.h"

namespace tarnwick {

class Registry;

/// The keys and values one operation may delete or write. Derived from the tables the
/// operation runs on, never listed by hand.
struct ChangeScope {
  std::vector<RegKeyName> deleted_trees;  ///< key trees it may delete whole
  std::vector<std::string> writes;        ///< writer paths of the values it may write
};

/// The scopes of two operations run one after the other.
ChangeScope Combine(ChangeScope a, const ChangeScope& b);

/// What importing `edits` (a ".reg" file's) may change: the tree of each deleted key, each value
/// set or deleted, and the tree of each key created without a value of its own in the file.
/// A value whose name holds a backslash, which a writer path cannot address, brings its key's
/// tree instead.
ChangeScope ScopeOfEdits(const std::vector<RegEdit>& edits);

/// One part of the registry whose prior state a restore brings back.
struct RestoreTarget {
  RegKeyName key;
  /// Empty for the whole tree of `key`; otherwise the named values of `key` that are written
  /// (never the default value), the rest of the key left alone.
  std::vector<std::string> values;
  /// Whether the operation may write here, creating missing keys on the way; false when it
  /// only deletes.
  bool written = false;
};

/// The targets of `scope`: the tree of each deleted key, the tree of each key whose default
/// value is written (so that no restore has to delete a default value, which not every
/// registry editor does), and the written named values of every other key, grouped by key.
/// Targets inside a tree target are dropped and duplicates merged, names compared as registry
/// names; the result is in key order, hives apart, parents before children. False with the
/// reason in `err` for a malformed writer path.
bool RestoreTargets(const ChangeScope& scope, std::vector<RestoreTarget>* targets,
                    std::string* err);

/// Reads through `registry` the prior state of every target of `scope` that the account may
/// change, and sets `*restore` to the edits that bring it back, in target order:
/// - a tree that exists: its deletion ("[-KEY]"), then its whole content as it is: the key,
///   its values, and every key below with its values, each spelt as it is;
/// - named values of a key that exists: each value's data, or its deletion when it is missing;
/// - a written target whose key is missing: the deletion of the topmost key the operation
///   would create (with the deletions of other targets inside that key left out); a target
///   that is only deleted and is missing needs nothing.
/// A target counts as one the account may change when its key, or the nearest key above it
/// that exists, opens with write rights; one that is refused (HKEY_LOCAL_MACHINE without
/// administrator rights) is left out, as the operation cannot change it either. Returns false
/// with the reason in `err` ("HKEY_...\key: access denied") when a key or value cannot be read
/// for any reason but its absence, or holds a name that a ".reg" file cannot carry.
bool CaptureRestore(Registry& registry, const ChangeScope& scope, std::vector<RegEdit>* restore,
                    std::string* err);

/// Whether importing `edits` would change nothing outside `scope` (its RestoreTargets), the
/// registry being as `registry` holds it now. An edit is inside when it
/// - creates or deletes a key inside a tree target, or sets or deletes a value of such a key,
///   of one of the registry's types (REG_NONE to REG_QWORD): what was there before;
/// - creates a key on the way to a target;
/// - sets or deletes a named value that is a target, of a type the program writes (REG_SZ,
///   REG_EXPAND_SZ, REG_DWORD);
/// - deletes a key above targets that is missing or holds nothing but keys on the way to
///   targets and the targets themselves: the deletion that CaptureRestore makes of a key the
///   operation would create.
/// False with the first edit that is not inside in `outside`: "[HKEY_...\key]" for a key
/// created, "[-HKEY_...\key]" for one deleted, "HKEY_...\key\name" for a value (with a
/// trailing backslash for the default value) and " as type N" after it for a type out of place.
/// A key that cannot be read counts as holding something else.
bool EditsWithin(Registry& registry, const ChangeScope& scope, std::span<const RegEdit> edits,
                 std::string* outside);

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_CHANGE_SCOPE_H_
