// The backup folder on Windows: "Tarnwick\Backups" in the user's Application Data folder,
// written with the file functions of Windows XP.
#ifndef TARNWICK_WIN32_BACKUP_DISK_WIN32_H_
#define TARNWICK_WIN32_BACKUP_DISK_WIN32_H_

#include <memory>
#include <string>

#include "shell/backup_folder.h"

namespace tarnwick {

/// A folder's file operations over Win32: CreateFileW with CREATE_NEW and no sharing,
/// FlushFileBuffers before the close, and MoveFileExW with MOVEFILE_WRITE_THROUGH, which
/// never replaces a file without MOVEFILE_REPLACE_EXISTING.
class Win32BackupDisk final : public BackupDisk {
 public:
  /// `folder` need not exist yet. With a non-empty `unavailable`, the folder could not be
  /// found: MakeFolder fails with that reason, and `folder` is only what is shown.
  explicit Win32BackupDisk(std::wstring folder, std::string unavailable = "");

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
  std::wstring PathOfW(const std::string& name) const;

  std::wstring folder_;
  std::string unavailable_;
};

/// The current user's backup folder: "Tarnwick\Backups" in the folder that SHGetFolderPathW
/// gives for CSIDL_APPDATA (which it creates when missing), looked up at its first use. When
/// that folder cannot be had, the folder is shown as "%APPDATA%\Tarnwick\Backups" and every
/// save fails with the reason.
std::unique_ptr<BackupFolder> OpenUserBackupFolder();

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_BACKUP_DISK_WIN32_H_
