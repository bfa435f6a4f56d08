#include "standin/reg_import.h"

#include <vector>

#include "registry/reg_file.h"
#include "standin/standin_registry.h"

namespace tarnwick {

RegImportResult ImportRegFile(StandInRegistry& registry, std::string_view bytes, std::string* err) {
  std::vector<RegEdit> edits;
  if (!ParseRegFile(bytes, &edits, err)) return RegImportResult::kMalformed;
  // The registry editor stops at a refused key; refusing the whole file first leaves nothing
  // half imported.
  for (const RegEdit& edit : edits) {
    if (edit.hive == Hive::kLocalMachine && !registry.administrator()) {
      *err = "access denied";
      return RegImportResult::kAccessDenied;
    }
  }
  return registry.Apply(edits, err) ? RegImportResult::kImported : RegImportResult::kFailed;
}

}  // namespace tarnwick
