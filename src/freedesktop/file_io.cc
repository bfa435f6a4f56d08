#include "freedesktop/file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tarnwick::freedesktop {
namespace {

bool Fail(std::string* err, const char* api, const std::string& path, int error) {
  if (err) *err = std::string(api) + "(" + path + "): " + strerror(error);
  return false;
}

// Closes a descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names, following symlinks, even when the last one points nowhere
// yet; `path` itself when it is no symlink. Gives up after as many links as the system does.
bool ResolveLinks(std::string path, std::string* target, std::string* err) {
  for (int hops = 0; hops < 40; ++hops) {
    char buffer[PATH_MAX];
    ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno != EINVAL && errno != ENOENT) return Fail(err, "readlink", path, errno);
      *target = path;
      return true;
    }
    std::string link(buffer, static_cast<std::size_t>(n));
    path = link[0] == '/' ? link : DirectoryOf(path) + "/" + link;
  }
  return Fail(err, "readlink", path, ELOOP);
}

bool MakeDirectories(const std::string& dir, std::string* err) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return true;
  if (dir != DirectoryOf(dir) && !MakeDirectories(DirectoryOf(dir), err)) return false;
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return Fail(err, "mkdir", dir, errno);
  return true;
}

bool WriteAll(int fd, const std::string& contents) {
  for (std::size_t done = 0; done < contents.size();) {
    ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

ReadStatus ReadFile(const std::string& path, std::string* contents, std::string* err) {
  Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return ReadStatus::kAbsent;
    Fail(err, "open", path, errno);
    return ReadStatus::kFailed;
  }
  struct stat st;
  if (fstat(fd.get(), &st) != 0) return Fail(err, "fstat", path, errno), ReadStatus::kFailed;
  if (!S_ISREG(st.st_mode)) return Fail(err, "open", path, EISDIR), ReadStatus::kFailed;
  contents->clear();
  char buffer[65536];
  while (true) {
    ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(err, "read", path, errno), ReadStatus::kFailed;
    if (n == 0) return ReadStatus::kRead;
    contents->append(buffer, static_cast<std::size_t>(n));
    if (contents->size() > kMaxSettingsFileSize) {
      return Fail(err, "read", path, EFBIG), ReadStatus::kFailed;
    }
  }
}

std::optional<unsigned> FileMode(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_mode & 07777;
}

bool ReplaceFile(const std::string& path, const std::string& contents, std::string* err,
                 std::optional<unsigned> wanted_mode) {
  std::string target;
  if (!ResolveLinks(path, &target, err)) return false;
  std::string dir = DirectoryOf(target);
  if (!MakeDirectories(dir, err)) return false;

  mode_t mode;
  struct stat st;
  if (wanted_mode) {
    mode = *wanted_mode & 07777;
  } else if (stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0644 & ~mask;
  }
  std::string temp = dir + "/." + target.substr(dir.size() + 1) + ".tarnwick-XXXXXX";
  Descriptor fd(mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return Fail(err, "mkstemp", temp, errno);
  auto abandon = [&](const char* api, int error) {
    unlink(temp.c_str());
    return Fail(err, api, temp, error);
  };
  if (fchmod(fd.get(), mode) != 0) return abandon("fchmod", errno);
  if (!WriteAll(fd.get(), contents)) return abandon("write", errno ? errno : EIO);
  if (fsync(fd.get()) != 0) return abandon("fsync", errno);
  if (close(fd.Release()) != 0) return abandon("close", errno);
  if (rename(temp.c_str(), target.c_str()) != 0) return abandon("rename", errno);
  // The rename itself lasts once the folder is flushed; a failure here changes nothing.
  Descriptor dir_fd(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir_fd.get() >= 0) fsync(dir_fd.get());
  return true;
}

bool RemoveFile(const std::string& path, std::string* err) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) return Fail(err, "unlink", path, errno);
  return true;
}

}  // namespace tarnwick::freedesktop
