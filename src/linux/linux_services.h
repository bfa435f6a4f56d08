// The main window's outside world on Linux, apart from the Desktop (which the Qt front end
// provides): the process environment, file existence for Windows-style paths, the Windows
// version that the stand-in machine hive records, and the automation objects.
#ifndef TARNWICK_LINUX_LINUX_SERVICES_H_
#define TARNWICK_LINUX_LINUX_SERVICES_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "shell/platform.h"

namespace tarnwick {

class Registry;
class RegistryWriteRoute;

/// The system's text for an errno value, as one lower-case line: "not a directory".
std::string ErrnoText(int error);

/// Writes all of `bytes` to `fd`, again where a signal cut a write short. False, with errno
/// telling why, when a write fails; one that stores nothing counts as a full disk (ENOSPC).
bool WriteAll(int fd, std::string_view bytes);

/// Closes `fd` after writes that succeeded (`ok`) or failed with errno telling why. False, with
/// the reason in `err`, when they failed or the close did (where a file system may report a
/// write it could not make).
bool CloseAfterWrites(int fd, bool ok, std::string* err);

/// The process environment (getenv).
class ProcessEnvironment final : public Environment {
 public:
  std::string Get(const std::string& name) override;
};

/// A Windows-style path as this machine reads it: every backslash becomes a slash, and a
/// leading drive ("C:") is dropped, so "C:\Program Files\Opera\opera.exe" reads as
/// "/Program Files/Opera/opera.exe" and "/opt/apps\Opera\opera.exe" as "/opt/apps/Opera/opera.exe".
/// Anything else (relative paths, "..", doubled separators) is left to the file system.
std::string LinuxPathFromWindows(const std::string& path);

/// `text` with each "%NAME%" replaced by that variable of `env` (a null-terminated "NAME=value"
/// array like environ), names compared without regard to case as Windows does. A name that is
/// not set, and a lone "%", stay as they are.
std::string ExpandWindowsVariables(const std::string& text, const char* const* env);

/// Where an open-file dialog asked to start in the Windows-style folder `initial_dir` starts:
/// the text with its variables expanded from the process environment, read with
/// LinuxPathFromWindows, when that is an existing folder; otherwise $HOME, otherwise "/". So
/// "%Programfiles%" opens $ProgramFiles when it is set to a folder, else the home folder.
std::string DialogStartFolder(const std::string& initial_dir);

/// "Scripting.FileSystemObject" over the Linux file system. FileExists reads the path with
/// LinuxPathFromWindows and is true for a regular file (also through symbolic links), never for
/// a folder. Names compare as on Windows: when the exact spelling does not exist, each
/// component is looked up without regard to case, so "\Mozilla Firefox\firefox.exe" finds
/// "mozilla firefox/Firefox.EXE".
class PosixFileSystemObject final : public FileSystemObject {
 public:
  bool FileExists(const std::string& path) override;
};

/// The key and values where the machine hive records the Windows release, as Windows does:
/// "CurrentVersion" ("5.1") under kNtVersionKey for the NT family, "VersionNumber"
/// ("4.10.1998") under kWindowsVersionKey for the 9x family.
inline constexpr char kNtVersionKey[] = R"(SOFTWARE\Microsoft\Windows NT\CurrentVersion)";
inline constexpr char kWindowsVersionKey[] = R"(SOFTWARE\Microsoft\Windows\CurrentVersion)";

/// GetVersionEx over a registry's machine hive. The NT record wins when both are present; the
/// version text is "major.minor" with anything after a second dot ignored. With neither
/// recorded the answer is NT 5.1 (Windows XP), so a fresh machine hive runs the program. A
/// recorded text that is not a version yields the zero record, which the gate names "Failed".
/// Seed another release with, e.g.,
///   tarnwick-reg add "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion" /v CurrentVersion /d 6.0
///   /f
class StandInVersionProvider final : public VersionProvider {
 public:
  /// `registry` is not owned and must outlive the provider.
  explicit StandInVersionProvider(Registry& registry) : registry_(registry) {}
  OsVersionInfo GetVersionEx() override;

 private:
  Registry& registry_;
};

/// Reads "major.minor[.rest]" into the record's two version fields; false when `text` does not
/// start with two dot-separated decimal numbers.
bool ParseVersionText(const std::string& text, OsVersionInfo* info);

/// Makes one open-file dialog. The Qt layer provides it; null means none can be made.
using CommonDialogMaker = std::function<std::unique_ptr<CommonDialog>()>;

/// The automation objects on Linux: "WScript.Shell" writes through `writer` (the stand-in
/// registry), "Scripting.FileSystemObject" is a PosixFileSystemObject, and
/// "UserAccounts.CommonDialog" comes from `make_dialog`. Creation fails, with a message, only
/// when `make_dialog` is empty or makes nothing.
class StandInAutomation final : public AutomationFactory {
 public:
  /// `writer` is not owned and must outlive every object this factory makes.
  StandInAutomation(RegistryWriteRoute& writer, CommonDialogMaker make_dialog);
  std::unique_ptr<RegistryWriteRoute> CreateScriptingShell(std::string* err) override;
  std::unique_ptr<FileSystemObject> CreateFileSystemObject(std::string* err) override;
  std::unique_ptr<CommonDialog> CreateCommonDialog(std::string* err) override;

 private:
  RegistryWriteRoute& writer_;
  CommonDialogMaker make_dialog_;
};

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_LINUX_SERVICES_H_
