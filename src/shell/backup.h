// The backup the main window saves before a Reset, a preset apply or a custom apply changes the
// registry, and the message it shows when none could be saved.
#ifndef TARNWICK_SHELL_BACKUP_H_
#define TARNWICK_SHELL_BACKUP_H_

#include <array>
#include <string>

#include "registry/change_scope.h"
#include "selection/preset_catalogue.h"

namespace tarnwick {

class BackupFolder;
class Registry;
struct Platform;

/// How a backup ended.
struct BackupResult {
  std::string file;    ///< the new backup's path; empty when none was saved
  std::string folder;  ///< the backup folder, as shown to the user
  std::string reason;  ///< why none was saved
  bool saved() const { return !file.empty(); }
};

/// The words that name each operation in its backup's file name.
inline constexpr char kResetBackupName[] = "Reset";
inline constexpr char kCustomApplyBackupName[] = "Apply custom";

/// "Apply " and the caption of the selected preset ("Apply Internet Explorer 6"), or "Apply"
/// when no option is selected.
std::string PresetApplyBackupName(const std::array<bool, kPresetCount>& option_values);

/// Reads the prior state of everything `scope` may change through `registry` and saves it in
/// `backups` as a ".reg" file named for `what` (UTF-16LE with a byte-order mark, CRLF line
/// ends), which the registry editor imports to bring that state back. Changes nothing in the
/// registry. Fails, with the reason, when the registry cannot be read (a null `registry`
/// included) or the file cannot be saved (a null `backups` included).
BackupResult SaveBackup(Registry* registry, BackupFolder* backups, const ChangeScope& scope,
                        const std::string& what);

/// SaveBackup with the platform's registry and backup folder, for each operation.
BackupResult BackUpBeforeReset(const Platform& platform);
BackupResult BackUpBeforePresetApply(const Platform& platform,
                                     const std::array<bool, kPresetCount>& option_values);
BackupResult BackUpBeforeCustomApply(const Platform& platform);

/// Everything the program ever changes: what the per-user reset, every preset's apply and the
/// custom apply may change, and the record of the browser set once. A backup is restored only
/// when its edits stay inside it (EditsWithin).
ChangeScope ScopeOfEveryChange();

/// The text of the message box, titled kMessageTitle, style kVbCritical, that tells the user a
/// failed backup stopped the operation:
/// `Your current settings could not be saved to "<folder>" (<reason>), so nothing was changed.`
std::string BackupFailedMessage(const BackupResult& result);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_BACKUP_H_
