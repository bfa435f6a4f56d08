// Where the freedesktop.org desktops keep their settings, from the user's environment.
#ifndef TARNWICK_FREEDESKTOP_XDG_PATHS_H_
#define TARNWICK_FREEDESKTOP_XDG_PATHS_H_

#include <functional>
#include <string>
#include <vector>

namespace tarnwick::freedesktop {

/// The folders and settings that decide which browser opens a link. Every folder is absolute
/// and has no trailing slash; relative entries of the environment are ignored, as the Base
/// Directory rules say.
struct XdgPaths {
  std::string config_home;                    ///< $XDG_CONFIG_HOME, else $HOME/.config
  std::string data_home;                      ///< $XDG_DATA_HOME, else $HOME/.local/share
  std::vector<std::string> config_dirs;       ///< $XDG_CONFIG_DIRS, else /etc/xdg
  std::vector<std::string> data_dirs;         ///< $XDG_DATA_DIRS, else /usr/local/share, /usr/share
  std::vector<std::string> current_desktops;  ///< $XDG_CURRENT_DESKTOP split at ':', as given
  std::vector<std::string> program_dirs;      ///< $PATH, for TryExec and Exec without a slash
  std::string browser_variable;               ///< $BROWSER: never changed, only warned about
  /// Locale names to look for in "Name[...]", most wanted first: for "de_AT.UTF-8@euro",
  /// "de_AT@euro", "de_AT", "de@euro", "de"; after those of $LANGUAGE when it is set.
  std::vector<std::string> locales;

  /// Reads the variables through `getenv`, which returns the empty text for an unset one.
  static XdgPaths FromEnvironment(const std::function<std::string(const char*)>& getenv);

  /// Whether $XDG_CURRENT_DESKTOP names `desktop` ("KDE", "XFCE"), compared without case.
  bool OnDesktop(const std::string& desktop) const;
};

/// The names to try in "Key[...]" for a locale such as "sr_RS.UTF-8@latin", most wanted
/// first; nothing for "C", "POSIX" and the empty text.
std::vector<std::string> LocaleVariants(const std::string& locale);

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_XDG_PATHS_H_
