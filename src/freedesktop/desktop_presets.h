// The eight browsers offered on a freedesktop.org desktop, with the IDs they are installed by.
#ifndef TARNWICK_FREEDESKTOP_DESKTOP_PRESETS_H_
#define TARNWICK_FREEDESKTOP_DESKTOP_PRESETS_H_

#include <array>
#include <optional>
#include <span>

#include "freedesktop/desktop_entry.h"
#include "freedesktop/xdg_paths.h"

namespace tarnwick::freedesktop {

/// One row of the table.
struct DesktopPreset {
  const char* caption;  ///< the option button's caption when no entry is installed
  /// The desktop file IDs it is known by, most usual first (Debian, Flatpak, Snap, ...);
  /// unused places are null.
  std::array<const char*, 4> ids;
};

/// The eight presets, in the order of the option buttons.
std::span<const DesktopPreset> DesktopPresets();

/// The preset's installed entry: the first of its IDs whose entry is found and can start;
/// nullopt when none is.
std::optional<DesktopEntry> FindPresetEntry(const XdgPaths& paths, const DesktopPreset& preset);

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_DESKTOP_PRESETS_H_
