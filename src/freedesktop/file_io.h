// Whole files read and replaced as the desktops' settings files need.
#ifndef TARNWICK_FREEDESKTOP_FILE_IO_H_
#define TARNWICK_FREEDESKTOP_FILE_IO_H_

#include <cstddef>
#include <optional>
#include <string>

namespace tarnwick::freedesktop {

/// The largest settings file read or written: far above any real mimeapps.list or kdeglobals.
inline constexpr std::size_t kMaxSettingsFileSize = 4 << 20;

enum class ReadStatus {
  kRead,
  kAbsent,  ///< no file there (a symlink to nothing included)
  kFailed,  ///< unreadable, not a regular file or larger than kMaxSettingsFileSize; see `err`
};

/// Reads the whole file at `path` into `contents`. `err` may be null.
ReadStatus ReadFile(const std::string& path, std::string* contents, std::string* err);

/// Replaces the file at `path` by `contents`: writes a new file beside it, flushes it and
/// renames it over the old one, so a reader sees either the old or the new bytes. The file
/// gets `mode` when one is given; otherwise the old file's mode is kept (a new file gets 0644
/// less the umask). When `path` is a symlink, its target is replaced and the link stays.
/// Missing parent folders are made. False with `err` ("open(<path>): <reason>") when something
/// failed, the old file then unchanged.
bool ReplaceFile(const std::string& path, const std::string& contents, std::string* err,
                 std::optional<unsigned> mode = std::nullopt);

/// The permission bits (07777) of the file at `path`, through symlinks; nullopt when it cannot
/// be read.
std::optional<unsigned> FileMode(const std::string& path);

/// Removes the file (or symlink) at `path`; an absent one is no failure.
bool RemoveFile(const std::string& path, std::string* err);

}  // namespace tarnwick::freedesktop

#endif  // TARNWICK_FREEDESKTOP_FILE_IO_H_
