// Desktop entries: the ".desktop" files by which applications are known, found by their IDs.
#ifndef TARNWICK_FREEDESKTOP_DESKTOP_ENTRY_H_
#define TARNWICK_FREEDESKTOP_DESKTOP_ENTRY_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "freedesktop/xdg_paths.h"

namespace tarnwick::freedesktop {

/// What Tarnwick reads of an application's desktop entry.
struct DesktopEntry {
  std::string id;    ///< desktop file ID: "org.kde.falkon.desktop", "kde-foo.desktop" for kde/foo
  std::string path;  ///< the file it was read from
  std::string name;  ///< Name, localized by the paths' locales
  std::string icon;  ///< Icon: a theme's icon name or an absolute file
  std::string exec;  ///< Exec with its string escapes undone, field codes kept
  std::string try_exec;  ///< TryExec with its escapes undone; empty when there is none
  std::vector<std::string> mime_types;  ///< MimeType
  bool hidden = false;                  ///< Hidden=true: treated as deleted
  bool no_display = false;              ///< NoDisplay=true: not shown in menus, still usable
};

/// Reads the "[Desktop Entry]" group of a desktop file's text; nullopt when the group is
/// missing or its Type is not "Application". `locales` as XdgPaths::locales.
std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text,
                                              const std::vector<std::string>& locales);

/// The first file with ID `id` in $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS
/// (subfolders give '-' in IDs: "kde-foo.desktop" is also "kde/foo.desktop"). nullopt when
/// there is none, when the first one found is unreadable or not an application, or has
/// Hidden=true: a hidden entry hides the ones after it.
std::optional<DesktopEntry> FindDesktopEntry(const XdgPaths& paths, std::string_view id);

/// Whether the entry can start: its TryExec, when set, and the program of its Exec name an
/// executable file (a name without '/' is looked for along $PATH). Desktops skip an entry that
/// cannot start, however the associations name it.
bool CanStart(const XdgPaths& paths, const DesktopEntry& entry);

/// Whether `id` is a well-formed desktop file ID: ends in ".desktop", has no '/', blanks,
/// control characters, ';', '=', '[' or ']', and does not begin with '.' or '-'.
bool IsDesktopFileId(std::string_view id);

/// One argument of an Exec line, quoted when it holds a reserved character and with '%'
/// doubled; the result is still to be string-escaped (EscapeString) into the file.
std::string QuoteExecArgument(std::string_view argument);

/// The arguments of an Exec value (string escapes already undone): unquoted, with "%%" made
/// '%' and other field codes kept as they stand. nullopt for an unterminated quote.
std::optional<std::vector<std::string>> SplitExec(std::string_view exec);

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_DESKTOP_ENTRY_H_
