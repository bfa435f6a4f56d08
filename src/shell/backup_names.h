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

/// How many of the newest backups a folder keeps, besides its oldest one, which holds the
/// settings as they were before the program first changed them and is kept always.
inline constexpr size_t kBackupsKept = 30;

/// The largest sequence number a backup's name carries (18 digits).
inline constexpr uint64_t kLastSequenceNumber = 999'999'999'999'999'999;

/// How a folder names its backups: the extension of those it saves ("." included, in lower
/// case), and another that backups saved there by earlier versions may end in (none when
/// empty). Backups of both count alike: in the numbering, the order and the pruning. The
/// registry's backups are registry files, ".reg".
struct BackupNaming {
  std::string_view extension = ".reg";
  std::string_view earlier_extension;
};

/// A backup's file name: the local time as "YYYY-MM-DD HH-MM-SS", " #" and the backup's
/// sequence number, a blank, `what` and the naming's extension. Every character of `what` that
/// a Windows file name cannot hold (\ / : * ? " < > | and control characters) becomes "_".
/// The number, not the time, gives the order in which backups were saved, so that it survives
/// a clock that was put back.
std::string BackupFileName(const LocalTime& time, uint64_t sequence, std::string_view what,
                           const BackupNaming& naming = {});

/// Whether `name` has a backup's form: "YYYY-MM-DD HH-MM-SS " in digits that make a real date
/// and time, "#n " with a sequence number n from 1 to kLastSequenceNumber (names of earlier
/// versions have none and may end in " (n)" instead), a name, and one of the naming's
/// extensions in any case. Other files of the folder are never counted, read or removed.
bool IsBackupFileName(std::string_view name, const BackupNaming& naming = {});

/// The sequence number of a new backup among the folder's entries `names`: one more than the
/// highest number of any backup's name, whatever its time (kLastSequenceNumber at most), or 1.
uint64_t NextSequenceNumber(const std::vector<std::string>& names, const BackupNaming& naming = {});

/// Of the folder's entries `names` (in any order), the backups that count at the local time
/// `now`, in the order in which they were saved. A backup counts unless its time is more than a
/// day after `now`: a clock put back by an hour in the autumn, or by a time zone, keeps the
/// backups it had, while a name far in the future is never taken for the newest. Names of
/// earlier versions come first, by their time, their number " (n)" and their name; then the
/// numbered ones, by their number, their time and their name.
std::vector<std::string> BackupsInOrder(std::vector<std::string> names, const LocalTime& now,
                                        const BackupNaming& naming = {});

/// Which of the folder's entries `names` (in any order) to remove so that only the oldest
/// backup and the newest `keep` others remain, oldest first (see BackupsInOrder). Entries that
/// are not backups counting at `now` are never listed.
std::vector<std::string> BackupsToPrune(std::vector<std::string> names, size_t keep,
                                        const LocalTime& now, const BackupNaming& naming = {});

/// The temporary name a backup is written under before it gets its own:
/// "~Tarnwick <process id>-<n>.tmp".
std::string TemporaryFileName(uint32_t process_id, uint32_t n);

/// Whether `name` is a temporary backup file; sets `*process_id` to the process that wrote it.
bool ParseTemporaryFileName(std::string_view name, uint32_t* process_id);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_BACKUP_NAMES_H_
