#include "linux/store_choice.h"

#include <cstdlib>
#include <string_view>

#include "freedesktop/desktop_browser_store.h"
#include "linux/backup_disk.h"
#include "shell/backup_folder.h"

namespace tarnwick {

bool TakeStandInChoice(int* argc, char** argv,
                       const std::function<std::string(const char*)>& getenv) {
  bool asked = false;
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    if (std::string_view(argv[i]) == kStandInOption) {
      asked = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  if (kept < *argc) argv[kept] = nullptr;
  *argc = kept;
  return asked || getenv("TARNWICK_STANDIN") == "1" || !getenv("TARNWICK_USER_HIVE").empty() ||
         !getenv("TARNWICK_MACHINE_HIVE").empty();
}

std::string GetEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::unique_ptr<BackupFolder> OpenDesktopBackupFolder(const freedesktop::XdgPaths& paths) {
  // The desktop's backups were once named as the registry's; those still count, so that an
  // undo after an upgrade finds them.
  return std::make_unique<DiskBackupFolder>(
      std::make_unique<PosixBackupDisk>(paths.data_home + "/tarnwick/desktop-backups"),
      BackupNaming{.extension = freedesktop::kSnapshotExtension, .earlier_extension = ".reg"});
}

std::string DesktopOnceFile(const freedesktop::XdgPaths& paths) {
  return paths.data_home + "/tarnwick/set-once";
}

}  // namespace tarnwick
