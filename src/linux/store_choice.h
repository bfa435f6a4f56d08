// Which store the Linux program works on: the user's desktop, or the stand-in registry that
// rehearses the Windows program.
#ifndef TARNWICK_LINUX_STORE_CHOICE_H_
#define TARNWICK_LINUX_STORE_CHOICE_H_

#include <functional>
#include <memory>
#include <string>

#include "freedesktop/xdg_paths.h"

namespace tarnwick {

class BackupFolder;

/// The option that asks for the stand-in registry.
inline constexpr char kStandInOption[] = "--standin";

/// Whether the program works on the stand-in registry: when `--standin` is among
/// `argv[1...]` (every one is taken out, and `*argc` lowered), or TARNWICK_STANDIN is "1", or
/// TARNWICK_USER_HIVE or TARNWICK_MACHINE_HIVE is set. Otherwise it works on the desktop.
bool TakeStandInChoice(int* argc, char** argv,
                       const std::function<std::string(const char*)>& getenv);

/// The process's environment: the variable's value, empty when it is unset.
std::string GetEnv(const char* name);

/// Where the desktop's backups are kept: $XDG_DATA_HOME/tarnwick/desktop-backups, apart from the
/// stand-in registry's. New ones end in freedesktop::kSnapshotExtension; ".reg" ones, as they
/// were named before, count too.
std::unique_ptr<BackupFolder> OpenDesktopBackupFolder(const freedesktop::XdgPaths& paths);

/// The file that keeps the browser set once on the desktop: $XDG_DATA_HOME/tarnwick/set-once.
std::string DesktopOnceFile(const freedesktop::XdgPaths& paths);

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_STORE_CHOICE_H_
