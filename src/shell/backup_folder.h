// A backup folder on a disk: the steps of a durable save, the naming and the pruning, over the
// few file operations that each platform supplies.
#ifndef TARNWICK_SHELL_BACKUP_FOLDER_H_
#define TARNWICK_SHELL_BACKUP_FOLDER_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/backup_names.h"
#include "shell/platform.h"

namespace tarnwick {

/// The size of the largest file that is read as a backup: far more than the settings the
/// program ever saves come to.
inline constexpr size_t kLargestBackup = 1 << 20;

/// The file operations of one folder, one implementation per platform. `name` arguments are
/// entries of the folder; every `err` is the system's reason, lower case, without a final
/// period.
class BackupDisk {
 public:
  virtual ~BackupDisk() = default;

  /// The folder's path, as shown to the user.
  virtual std::string Folder() = 0;
  /// The path of the folder's entry `name`.
  virtual std::string PathOf(const std::string& name) = 0;
  /// Creates the folder and every missing folder above it. False when it is not a folder
  /// afterwards.
  virtual bool MakeFolder(std::string* err) = 0;
  /// The names of the folder's regular files, in any order: no folders, links or devices;
  /// none when the folder does not exist.
  virtual bool List(std::vector<std::string>* names, std::string* err) = 0;
  /// The content of the regular file `name`, but no more than its first `limit` + 1 bytes.
  /// False for anything else (a folder, a link, a device).
  virtual bool ReadFile(const std::string& name, size_t limit, std::string* bytes,
                        std::string* err) = 0;
  /// Creates the file `name`, which must not exist, writes `bytes` to it, has the system write
  /// them to the disk, and closes it. On failure a part of the file may be left.
  virtual bool WriteNew(const std::string& name, std::string_view bytes, std::string* err) = 0;

  enum class MoveResult { kMoved, kExists, kFailed };
  /// Renames the file `from` to `to` unless `to` exists (kExists, nothing changed), such that
  /// after kMoved a crash keeps the new name.
  virtual MoveResult MoveNew(const std::string& from, const std::string& to, std::string* err) = 0;
  /// Removes the file `name`; false when it could not be removed.
  virtual bool Remove(const std::string& name) = 0;

  /// The local time now.
  virtual LocalTime Now() = 0;
  /// This process's id.
  virtual uint32_t ProcessId() = 0;
  /// Whether a process with the id `process_id` is running.
  virtual bool ProcessRuns(uint32_t process_id) = 0;
};

/// The BackupFolder of every platform over its BackupDisk. A save writes a temporary file
/// ("~Tarnwick <pid>-<n>.tmp"), flushed to the disk, then renames it to BackupFileName with the
/// next free sequence number, so that a crash leaves either no backup or a whole one; then it
/// removes the backups beyond the oldest and the newest kBackupsKept (never the new one) and
/// the temporary files of processes that no longer run. Only the folder's regular files whose
/// names have a backup's form under `naming` count as backups (see BackupsInOrder), and one
/// larger than kLargestBackup bytes is never read.
class DiskBackupFolder final : public BackupFolder {
 public:
  explicit DiskBackupFolder(std::unique_ptr<BackupDisk> disk, BackupNaming naming = {});

  std::string Path() override;
  std::optional<std::string> Save(const std::string& what, std::string_view bytes,
                                  std::string* err) override;
  /// Removes `file` only when it is a backup's path in this folder.
  void Discard(const std::string& file) override;
  std::optional<std::string> Newest(std::string* err) override;
  /// Reads `file` only when it is a backup's path in this folder.
  bool Read(const std::string& file, std::string* bytes, std::string* err) override;

 private:
  /// The name of `file` when it is the path of a backup in this folder; empty otherwise.
  std::string BackupName(const std::string& file);
  /// Removes, of the folder's `names`, the temporary files that no running writer owns.
  void RemoveLeftovers(const std::vector<std::string>& names);

  std::unique_ptr<BackupDisk> disk_;
  BackupNaming naming_;
  uint32_t next_temporary_ = 0;
};

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_BACKUP_FOLDER_H_
