// What the preset apply and the custom apply may change, for a backup taken before they run.
// Each scope is read off the tables the apply itself runs on.
#ifndef TARNWICK_SELECTION_APPLY_SCOPES_H_
#define TARNWICK_SELECTION_APPLY_SCOPES_H_

#include <array>
#include <string>

#include "registry/change_scope.h"
#include "selection/preset_catalogue.h"

namespace tarnwick {

struct BrowserPreset;

/// What ApplyPresetRow may write for catalogue row `row`: every row of its association set, the
/// per-user Start-menu client, its two machine-wide client values when it has them, and its
/// extra write.
ChangeScope PresetRowScope(const BrowserPreset& row);

/// What PresetApply may change with these option values: "Check_Associations" and the writes
/// of each selected row; "Check_Associations" alone when no option is selected.
ChangeScope PresetApplyScope(const std::array<bool, kPresetCount>& option_values);

/// What CustomApply may change when it applies a path: the per-user reset's trees,
/// "Check_Associations" and the generic association set.
ChangeScope CustomApplyScope();

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_APPLY_SCOPES_H_
