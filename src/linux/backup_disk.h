// The backup folder on Linux: "backups" beside the user's hive file, written with POSIX calls.
#ifndef TARNWICK_LINUX_BACKUP_DISK_H_
#define TARNWICK_LINUX_BACKUP_DISK_H_

#include <memory>
#include <string>

#include "shell/backup_folder.h"

namespace tarnwick {

/// A folder's file operations over POSIX: exclusive creation, fsync of each file and of the
/// folder after a rename, and a rename that never replaces a file (renameat2 with
/// RENAME_NOREPLACE, else a hard link, where the file system lacks it).
class PosixBackupDisk final : public BackupDisk {
 public:
  /// `folder` need not exist yet.
  explicit PosixBackupDisk(std::string folder);

  std::string Folder() override;
  std::string PathOf(const std::string& name) override;
  bool MakeFolder(std::string* err) override;
  bool List(std::vector<std::string>* names, std::string* err) override;
  bool ReadFile(const std::string& name, size_t limit, std::string* bytes,
                std::string* err) override;
  bool WriteNew(const std::string& name, std::string_view bytes, std::string* err) override;
  MoveResult MoveNew(const std::string& from, const std::string& to, std::string* err) override;
  bool Remove(const std::string& name) override;
  LocalTime Now() override;
  uint32_t ProcessId() override;
  bool ProcessRuns(uint32_t process_id) override;

 private:
  std::string folder_;
};

/// The backup folder of the user whose hive is the file `user_hive`: the folder "backups"
/// beside it (made absolute from the working folder when it is relative).
std::string BackupFolderBeside(const std::string& user_hive);

/// A BackupFolder over BackupFolderBeside(user_hive).
std::unique_ptr<BackupFolder> OpenBackupFolder(const std::string& user_hive);

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_BACKUP_DISK_H_
