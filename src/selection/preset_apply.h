// The presets' Apply: makes the selected catalogue browser the current user's default.
#ifndef TARNWICK_SELECTION_PRESET_APPLY_H_
#define TARNWICK_SELECTION_PRESET_APPLY_H_

#include <array>
#include <string>

#include "selection/preset_catalogue.h"

namespace tarnwick {

struct SelectionContext;

/// The writer path that turns off Internet Explorer's own default-browser check.
inline constexpr char kCheckAssociationsPath[] =
    R"(HKCU\Software\Microsoft\Internet Explorer\Main\Check_Associations)";
/// The writer path of the per-user Start-menu Internet client.
inline constexpr char kStartMenuClientPath[] = R"(HKCU\Software\Clients\StartMenuInternet\)";

/// How a preset apply ended.
enum class PresetApplyResult {
  kApplied,      ///< a preset was written
  kNoSelection,  ///< no option was selected: only Check_Associations was written
  kCancelled,    ///< the executable was missing and the user cancelled the picker
  kStopped,      ///< `ctx.before_change` refused: nothing was written
};

/// Runs a preset apply up to, not including, the window's own last steps (disabling its
/// Apply button and refreshing the current-default line, which the caller does unless the
/// result is kCancelled or kStopped). `option_values[i]` is the value of the option button of
/// catalogue row i. Clears and fills `ctx.profile`; asks `ctx.before_change`, and goes on only
/// when it agrees; writes "Check_Associations" = "No", then for the
/// selected row: finds its executable (asking through ShowCommonDialog on `ctx.dialog` when
/// missing),
/// writes its association set, its per-user client, its machine-wide client entry and its
/// extra write. Every write is its own step; a refused write (HKLM without administrator
/// rights) is skipped silently.
PresetApplyResult PresetApply(SelectionContext& ctx,
                              const std::array<bool, kPresetCount>& option_values);

/// Where the preset `row` expects its browser: "ProgramFiles" and the row's relative path.
std::string PresetExecutablePath(const SelectionContext& ctx, const BrowserPreset& row);

/// Whether the browser of `row` is installed: a file exists at PresetExecutablePath (through
/// `ctx.fso`; none counts as missing).
bool PresetInstalled(const SelectionContext& ctx, const BrowserPreset& row);

/// Steps of PresetApply for one row, from its executable path on; false when the user
/// cancelled the picker, after which nothing of the row was written.
bool ApplyPresetRow(SelectionContext& ctx, const BrowserPreset& row);

}  // namespace tarnwick

#endif  // TARNWICK_SELECTION_PRESET_APPLY_H_
