// The outside world of the window model on Windows, but for its Desktop: one set of the
// Windows services, for the window and the command line alike.
#ifndef TARNWICK_WIN32_SERVICES_WIN32_H_
#define TARNWICK_WIN32_SERVICES_WIN32_H_

#include <memory>

#include "shell/platform.h"
#include "win32/automation-win32.h"
#include "win32/backup_disk-win32.h"
#include "win32/desktop-win32.h"
#include "win32/registry-win32.h"
#include "win32/version-win32.h"

namespace tarnwick {

/// COM must be initialised on the thread, apartment threaded, for as long as they are used.
struct Win32Services {
  Win32Registry registry;
  /// No owner given: the stand-in open-file dialog takes the active window, the main one.
  Win32AutomationFactory automation;
  Win32VersionProvider version;
  Win32Environment environment;
  Win32ProgramInfo programs;
  /// Backups of the registry go to the user's Application Data folder.
  std::unique_ptr<BackupFolder> backups = OpenUserBackupFolder();

  /// The Platform of these services and `desktop` (null for none); valid while both live.
  Platform Over(Desktop* desktop) {
    return {.registry = &registry,
            .automation = &automation,
            .version = &version,
            .environment = &environment,
            .desktop = desktop,
            .programs = &programs,
            .backups = backups.get()};
  }
};

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_SERVICES_WIN32_H_
