// Importing a ".reg" file into the stand-in hives, as the registry editor imports one on
// Windows: the console tool's IMPORT, and the way the program's backups are restored on Linux;
// and the edits that export a key tree.
#ifndef TARNWICK_STANDIN_REG_IMPORT_H_
#define TARNWICK_STANDIN_REG_IMPORT_H_

#include <string>
#include <string_view>
#include <vector>

#include "registry/reg_edit.h"
#include "registry/registry.h"
#include "registry/registry_importer.h"

namespace tarnwick {

class StandInRegistry;

/// Appends to `edits` the key at `path` of `hive` and everything below it, as the edits that
/// make them: each key (but a hive's root) created, then its values in their order, then its
/// sub-keys, depth first. False when a key cannot be read; `edits` then holds what was read.
bool ExportKeyTree(StandInRegistry& registry, Hive hive, const std::string& path,
                   std::vector<RegEdit>* edits);

/// How an import ended.
enum class RegImportResult {
  kImported,      ///< every edit of the file is applied
  kMalformed,     ///< the file is not a ".reg" file or has a malformed line: nothing applied
  kAccessDenied,  ///< it touches HKEY_LOCAL_MACHINE without administrator rights: nothing applied
  kFailed,        ///< a hive could not be written: nothing applied
};

/// Applies the ".reg" file `bytes` (see ParseRegFile) to `registry` in file order, all or
/// nothing: "[KEY]" creates the key, "[-KEY]" deletes it with everything below (a missing key
/// is no error), value lines set values and `"name"=-` deletes one (a missing one is no
/// error). Anything but kImported comes with the reason in `err` ("line N: ..." when
/// malformed).
RegImportResult ImportRegFile(StandInRegistry& registry, std::string_view bytes, std::string* err);

/// The importer of the stand-in: all edits the account may make in one transaction per hive,
/// or none of them.
class StandInImporter final : public RegistryImporter {
 public:
  /// `registry` is not owned and must outlive the importer.
  explicit StandInImporter(StandInRegistry& registry) : registry_(registry) {}
  bool Import(std::span<const RegEdit> edits, std::string* err) override;

 private:
  StandInRegistry& registry_;
};

}  // namespace tarnwick

#endif  // TARNWICK_STANDIN_REG_IMPORT_H_
