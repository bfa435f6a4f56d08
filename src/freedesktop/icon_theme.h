// The picture of an application's Icon, looked up as the icon themes lay their files out.
#ifndef TARNWICK_FREEDESKTOP_ICON_THEME_H_
#define TARNWICK_FREEDESKTOP_ICON_THEME_H_

#include <string>
#include <string_view>

#include "freedesktop/xdg_paths.h"

namespace tarnwick::freedesktop {

/// The file of the icon `icon` (a desktop entry's Icon) nearest `size` pixels: an absolute
/// Icon names its file; a name is looked for in the "hicolor" theme, which every theme falls
/// back to, along $XDG_DATA_HOME/icons and each of $XDG_DATA_DIRS (a PNG of the size asked for,
/// then of the nearest size, then a scalable SVG), then among the pixmaps of the data folders.
/// Empty when there is none.
std::string FindIconFile(const XdgPaths& paths, std::string_view icon, int size);

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_ICON_THEME_H_
