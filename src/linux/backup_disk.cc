#include "linux/backup_disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "linux/linux_services.h"

namespace tarnwick {
namespace {

bool Fail(std::string* err) {
  *err = ErrnoText(errno);
  return false;
}

// The name stays on the disk only once the folder that holds it is flushed too.
bool SyncFolder(const std::string& folder, std::string* err) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Fail(err);
  const bool ok = fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync folders
  const int error = errno;
  close(fd);
  if (!ok) *err = ErrnoText(error);
  return ok;
}

}  // namespace

PosixBackupDisk::PosixBackupDisk(std::string folder) : folder_(std::move(folder)) {}

std::string PosixBackupDisk::Folder() { return folder_; }

std::string PosixBackupDisk::PathOf(const std::string& name) { return folder_ + "/" + name; }

bool PosixBackupDisk::MakeFolder(std::string* err) {
  // Each folder on the way, from the top; one that exists already is fine.
  for (size_t slash = folder_.find('/', 1);; slash = folder_.find('/', slash + 1)) {
    const std::string prefix = folder_.substr(0, slash);
    if (!prefix.empty() && mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return Fail(err);
    if (slash == std::string::npos) break;
  }
  struct stat st;
  if (stat(folder_.c_str(), &st) != 0) return Fail(err);
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return Fail(err);
  }
  return true;
}

bool PosixBackupDisk::List(std::vector<std::string>* names, std::string* err) {
  names->clear();
  DIR* dir = opendir(folder_.c_str());
  if (dir == nullptr) return errno == ENOENT || Fail(err);
  while (const dirent* entry = readdir(dir)) {
    struct stat st;
    const bool file =
        entry->d_type == DT_REG ||
        (entry->d_type == DT_UNKNOWN &&
         fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode));
    if (file) names->push_back(entry->d_name);
  }
  closedir(dir);
  return true;
}

bool PosixBackupDisk::ReadFile(const std::string& name, size_t limit, std::string* bytes,
                               std::string* err) {
  // Neither a link followed nor a pipe waited on: only a regular file is read.
  const int fd = open(PathOf(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return Fail(err);
  struct stat st = {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = errno;
    close(fd);
    *err = ErrnoText(S_ISDIR(st.st_mode) ? EISDIR : error != 0 ? error : EINVAL);
    return false;
  }
  bytes->clear();
  char buffer[16384];
  ssize_t got = 0;
  while (bytes->size() <= limit && (got = read(fd, buffer, sizeof buffer)) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) break;
    bytes->append(buffer, static_cast<size_t>(got));
  }
  const int error = errno;
  close(fd);
  if (got < 0) *err = ErrnoText(error);
  return got >= 0;
}

bool PosixBackupDisk::WriteNew(const std::string& name, std::string_view bytes, std::string* err) {
  const int fd = open(PathOf(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(err);
  // The data and the size that reads need; the times are not worth a second journal write.
  const bool ok = WriteAll(fd, bytes) && fdatasync(fd) == 0;
  return CloseAfterWrites(fd, ok, err);
}

BackupDisk::MoveResult PosixBackupDisk::MoveNew(const std::string& from, const std::string& to,
                                                std::string* err) {
  const std::string source = PathOf(from);
  const std::string target = PathOf(to);
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno == EEXIST) return MoveResult::kExists;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
      Fail(err);
      return MoveResult::kFailed;
    }
    // No such rename on this file system: a hard link cannot replace a file either.
    if (link(source.c_str(), target.c_str()) != 0) {
      if (errno == EEXIST) return MoveResult::kExists;
      Fail(err);
      return MoveResult::kFailed;
    }
    unlink(source.c_str());
  }
  return SyncFolder(folder_, err) ? MoveResult::kMoved : MoveResult::kFailed;
}

bool PosixBackupDisk::Remove(const std::string& name) { return unlink(PathOf(name).c_str()) == 0; }

LocalTime PosixBackupDisk::Now() {
  const time_t now = time(nullptr);
  struct tm local = {};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

uint32_t PosixBackupDisk::ProcessId() { return static_cast<uint32_t>(getpid()); }

bool PosixBackupDisk::ProcessRuns(uint32_t process_id) {
  const auto pid = static_cast<pid_t>(process_id);
  return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

std::string BackupFolderBeside(const std::string& user_hive) {
  std::error_code ec;
  std::filesystem::path hive = std::filesystem::absolute(user_hive, ec);
  if (ec) hive = user_hive;
  return (hive.lexically_normal().parent_path() / "backups").string();
}

std::unique_ptr<BackupFolder> OpenBackupFolder(const std::string& user_hive) {
  return std::make_unique<DiskBackupFolder>(
      std::make_unique<PosixBackupDisk>(BackupFolderBeside(user_hive)));
}

}  // namespace tarnwick
