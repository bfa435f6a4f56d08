#include "shell/backup_folder.h"

#include <algorithm>

namespace tarnwick {
namespace {

// More names than this taken by others at once would be a runaway loop, not a user.
constexpr int kMostNamesTried = 1000;

}  // namespace

DiskBackupFolder::DiskBackupFolder(std::unique_ptr<BackupDisk> disk, BackupNaming naming)
    : disk_(std::move(disk)), naming_(naming) {}

std::string DiskBackupFolder::Path() { return disk_->Folder(); }

std::optional<std::string> DiskBackupFolder::Save(const std::string& what, std::string_view bytes,
                                                  std::string* err) {
  if (!disk_->MakeFolder(err)) return std::nullopt;
  std::vector<std::string> names;
  std::string ignored;
  if (disk_->List(&names, &ignored)) RemoveLeftovers(names);
  const std::string temporary = TemporaryFileName(disk_->ProcessId(), next_temporary_++);
  if (!disk_->WriteNew(temporary, bytes, err)) {
    disk_->Remove(temporary);
    return std::nullopt;
  }
  const LocalTime now = disk_->Now();
  uint64_t sequence = NextSequenceNumber(names, naming_);
  std::string name;
  for (int tried = 0;; ++tried) {
    if (tried >= kMostNamesTried) {
      *err = "too many backups at once";
      disk_->Remove(temporary);
      return std::nullopt;
    }
    name = BackupFileName(now, sequence, what, naming_);
    sequence = std::min(sequence + 1, kLastSequenceNumber);
    // Names taken when the folder was listed are passed over; one taken since is refused by
    // the move itself.
    if (std::find(names.begin(), names.end(), name) != names.end()) continue;
    const BackupDisk::MoveResult moved = disk_->MoveNew(temporary, name, err);
    if (moved == BackupDisk::MoveResult::kMoved) break;
    if (moved == BackupDisk::MoveResult::kFailed) {
      disk_->Remove(temporary);
      return std::nullopt;
    }
  }

  // The backup is saved; what follows only tidies the folder, and its failures do not matter.
  names.push_back(name);
  for (const std::string& old : BackupsToPrune(names, kBackupsKept, now, naming_)) {
    if (old != name) disk_->Remove(old);
  }
  return disk_->PathOf(name);
}

void DiskBackupFolder::Discard(const std::string& file) {
  if (const std::string name = BackupName(file); !name.empty()) disk_->Remove(name);
}

std::optional<std::string> DiskBackupFolder::Newest(std::string* err) {
  std::vector<std::string> names;
  if (!disk_->List(&names, err)) return std::nullopt;
  err->clear();
  names = BackupsInOrder(std::move(names), disk_->Now(), naming_);
  if (names.empty()) return std::nullopt;
  return disk_->PathOf(names.back());
}

bool DiskBackupFolder::Read(const std::string& file, std::string* bytes, std::string* err) {
  const std::string name = BackupName(file);
  if (name.empty()) {
    *err = "not a backup of this folder";
    return false;
  }
  if (!disk_->ReadFile(name, kLargestBackup, bytes, err)) return false;
  if (bytes->size() > kLargestBackup) {
    bytes->clear();
    *err = "it is larger than " + std::to_string(kLargestBackup >> 20) + " MB";
    return false;
  }
  return true;
}

std::string DiskBackupFolder::BackupName(const std::string& file) {
  const size_t slash = file.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  return IsBackupFileName(name, naming_) && disk_->PathOf(name) == file ? name : std::string();
}

void DiskBackupFolder::RemoveLeftovers(const std::vector<std::string>& names) {
  const uint32_t self = disk_->ProcessId();
  for (const std::string& name : names) {
    uint32_t writer = 0;
    // This process writes one backup at a time, so its own temporaries are leftovers too.
    if (ParseTemporaryFileName(name, &writer) && (writer == self || !disk_->ProcessRuns(writer))) {
      disk_->Remove(name);
    }
  }
}

}  // namespace tarnwick
