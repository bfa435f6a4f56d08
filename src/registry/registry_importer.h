// Registry content brought back from a ".reg" file's edits, as the registry editor imports a
// file: how an undo restores a backup, and how the command line keeps its own records.
#ifndef TARNWICK_REGISTRY_REGISTRY_IMPORTER_H_
#define TARNWICK_REGISTRY_REGISTRY_IMPORTER_H_

#include <span>
#include <string>

#include "registry/reg_edit.h"

namespace tarnwick {

class RegistryImporter {
 public:
  virtual ~RegistryImporter() = default;
  /// Applies `edits` in order: a key created, a tree deleted (a missing one is no error), a
  /// value set with exactly its type and bytes, a value deleted (a missing one is no error).
  /// Edits of HKEY_LOCAL_MACHINE that the account may not make are left out silently, as every
  /// machine-wide write of the program is. Returns false with the reason ("HKEY_...\key: ...")
  /// when an edit of the current user failed; whether the other edits are made then depends on
  /// the registry (Windows makes them, the stand-in none: it writes all or nothing).
  virtual bool Import(std::span<const RegEdit> edits, std::string* err) = 0;
};

}  // namespace tarnwick

#endif  // TARNWICK_REGISTRY_REGISTRY_IMPORTER_H_
