// What an apply would write, found by running the apply itself over a route that only records,
// and whether those values are in place in the registry now.
#ifndef TARNWICK_SELECTION_APPLY_PLAN_H_
#define TARNWICK_SELECTION_APPLY_PLAN_H_

#include <optional>
#include <string>
#include <vector>

#include "registry/reg_file.h"

namespace tarnwick {

class Registry;
struct BrowserPreset;
struct SelectionContext;

/// One write of an apply, as it reaches the write route.
struct PlannedWrite {
  std::string path;   ///< writer path
  std::string value;  ///< the text written
  std::string type;   ///< "REG_SZ", "REG_EXPAND_SZ" or "REG_DWORD"
  bool operator==(const PlannedWrite&) const = default;
};

/// The writes, in order, that PresetApply of `row` makes: "Check_Associations", the row's
/// association set, its clients and its extra write. The apply runs with the file-system object
/// and the environment of `services`, and nothing else of them. Nothing when the row's browser
/// is not installed, where the apply would ask the user for it.
std::optional<std::vector<PlannedWrite>> PlanPresetApply(const SelectionContext& services,
                                                         const BrowserPreset& row);

/// The writes that CustomApply of `path` makes after its deletions: "Check_Associations" and
/// the generic association set. Nothing when `path` fails CheckCustomPath.
std::optional<std::vector<PlannedWrite>> PlanCustomApply(const SelectionContext& services,
                                                         const std::string& path);

/// Which machine-wide writes ValuesNotInPlace looks at: none (what the user's settings are), or
/// those the account may make (whether an apply would change anything).
enum class MachineWrites { kIgnored, kWhereWritable };

/// The values that `writes` set which `registry` does not hold now with the type and data the
/// last of them gives: "HKEY_CURRENT_USER\<key>\<name>" each ("...\<key>\" for a default
/// value), in the order of those last writes. Machine-wide writes are looked at as `machine`
/// says; a malformed writer path counts as a value not in place.
std::vector<std::string> ValuesNotInPlace(Registry& registry,
                                          const std::vector<PlannedWrite>& writes,
                                          MachineWrites machine = MachineWrites::kIgnored);

/// Whether each of `trees` (which an apply deletes before it writes) holds nothing now but the
/// values `writes` set and the keys on the way to them: whether the deletions would take
/// anything the writes do not put back. The values' data is not compared (ValuesNotInPlace
/// does that). A key that cannot be read counts as holding something else.
bool TreesHoldOnlyWrites(Registry& registry, const std::vector<RegKeyName>& trees,
                         const std::vector<PlannedWrite>& writes);

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_APPLY_PLAN_H_
