// The rules for naming the backup files and for which of them are kept: pure text work,
// shared by the folder implementations of every platform.
#ifndef TARNWICK_SHELL_BACKUP_NAMES_H_
#define TARNWICK_SHELL_BACKUP_NAMES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

/// A moment as the local clock shows it.
struct LocalTime {
  int year = 0;
  int month = 0;   ///< 1 ... 12
  int day = 0;     ///< 1 ... 31
  int hour = 0;    ///< 0 ... 23
  int minute = 0;  ///< 0 ... 59
  int second = 0;  ///< 0 ... 59 (60 for a leap second)
};

/// How many backups a folder keeps.
inline constexpr size_t kBackupsKept = 30;

/// A backup's name without its extension: the local time as "YYYY-MM-DD HH-MM-SS", a blank and
/// `what`, in which every character that a Windows file name cannot hold (\ / : * ? " < > |
/// and control characters) becomes "_". Names of one folder sort as their times do.
std::string BackupStem(const LocalTime& time, std::string_view what);

/// The `n`th file name tried for a stem: "<stem>.reg" for n = 1, "<stem> (n).reg" after it.
std::string BackupFileName(const std::string& stem, int n);

/// Whether `name` has a backup's form: "YYYY-MM-DD HH-MM-SS " in digits, a name, and ".reg" in
/// any case. Other files of the folder are never counted or removed.
bool IsBackupFileName(std::string_view name);

/// The number to try first for a new backup named `stem` among the folder's entries `names`:
/// one more than the highest number of a backup of the same second, whatever its operation
/// ("... Reset.reg" counts 1, "... Reset (2).reg" 2), or 1 when there is none. So the backups of
/// one second sort in the order they were saved.
int FirstBackupNumber(const std::vector<std::string>& names, std::string_view stem);

/// Of the folder's entries `names` (in any order), the backups in the order in which they were
/// saved: by their time, then their number " (n)", then their name. Entries that are not
/// backups are left out.
std::vector<std::string> BackupsInOrder(std::vector<std::string> names);

/// Which of the folder's entries `names` (in any order) to remove so that only the newest `keep`
/// backups remain, oldest first (see BackupsInOrder). Entries that are not backups are never
/// listed.
std::vector<std::string> BackupsToPrune(std::vector<std::string> names, size_t keep);

/// The temporary name a backup is written under before it gets its own:
/// "~Tarnwick <process id>-<n>.tmp".
std::string TemporaryFileName(uint32_t process_id, uint32_t n);

/// Whether `name` is a temporary backup file; sets `*process_id` to the process that wrote it.
bool ParseTemporaryFileName(std::string_view name, uint32_t* process_id);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_BACKUP_NAMES_H_
