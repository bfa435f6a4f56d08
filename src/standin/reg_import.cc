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

bool StandInImporter::Import(std::span<const RegEdit> edits, std::string* err) {
  std::vector<RegEdit> allowed;
  for (const RegEdit& edit : edits) {
    // Without administrator rights the machine-wide edits are left out, as every machine-wide
    // write of the program is.
    if (edit.hive == Hive::kCurrentUser || registry_.administrator()) allowed.push_back(edit);
  }
  return registry_.Apply(allowed, err);
}

bool ExportKeyTree(StandInRegistry& registry, Hive hive, const std::string& path,
                   std::vector<RegEdit>* edits) {
  RegEdit key;
  key.hive = hive;
  key.path = path;
  std::vector<ValueEntry> values;
  std::vector<std::string> children;
  if (registry.ListValues(hive, path, &values) != kErrorSuccess ||
      registry.ListSubKeys(hive, path, &children) != kErrorSuccess) {
    return false;
  }
  if (!path.empty()) edits->push_back(key);
  for (ValueEntry& value : values) {
    RegEdit set = key;
    set.op = RegEdit::Op::kSetValue;
    set.name = std::move(value.name);
    set.type = value.type;
    set.data = std::move(value.data);
    edits->push_back(std::move(set));
  }
  for (const std::string& child : children) {
    if (!ExportKeyTree(registry, hive, path.empty() ? child : path + "\\" + child, edits)) {
      return false;
    }
  }
  return true;
}

}  // namespace tarnwick
