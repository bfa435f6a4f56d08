// Tarnwick.exe with arguments: the program without its window over the Windows calls of
// Windows XP: the computer's and the user's names, the clock, log files shared with other
// computers, and the run itself.
#ifndef TARNWICK_WIN32_UNATTENDED_WIN32_H_
#define TARNWICK_WIN32_UNATTENDED_WIN32_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/unattended_platform.h"
#include "win32/windows-win32.h"

namespace tarnwick {

/// GetComputerNameW, GetUserNameW, and the local time with its distance from UTC now.
class Win32Workstation final : public Workstation {
 public:
  std::string ComputerName() override;
  std::string UserName() override;
  ZonedTime Now() override;
};

/// The writers of a log take turns by an exclusive lock on one byte, at 2^62 (this high half of
/// its offset), far beyond any end, which no reader of the log ever meets.
inline constexpr DWORD kLogTurnOffsetHigh = 0x40000000;

/// Opens a log with CreateFileW for FILE_APPEND_DATA alone, sharing reads, writes and deletes,
/// so that a log on which users have no right but to append serves; and writes each line
/// (UTF-8, CRLF) with one WriteFile, which lands at the file's end, while it holds an exclusive
/// byte-range lock (LockFileEx) that makes every other writer take its turn, on this computer or
/// another. A log held without sharing by another program, and the lock, are tried again and
/// again until the deadline; where the lock is not to be had at all, the append alone has to do.
class Win32LogFiles final : public LogFiles {
 public:
  explicit Win32LogFiles(int deadline_ms = kLogDeadlineMs) : deadline_ms_(deadline_ms) {}
  bool Append(const std::string& path, std::string_view line, std::string* err) override;

 private:
  int deadline_ms_;
};

/// Whether GetFullPathNameW gives `path` back as it is: a path that starts with a drive and a
/// backslash, or a server and a share, and holds no "." or ".." of its own.
bool IsFullPath(const std::string& path);

/// Whether `command_line`, what WinMain gets after the program's name, holds any argument:
/// anything but blanks.
bool HasArguments(const char* command_line);

/// The process's arguments after the program's name (GetCommandLineW, split by
/// CommandLineToArgvW), in UTF-8.
std::vector<std::string> CommandLineArguments();

/// What no run without the window may ever do: wait for a click on a system dialog. No "No
/// Disk" for a drive without its disk (a portable browser's USB stick or CD, a log's), no
/// message for a file that cannot be opened, no error report of a crash.
inline constexpr UINT kCommandLineErrorMode =
    SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;

/// Sets kCommandLineErrorMode for the process, and a last handler of crashes that writes to
/// `console`'s standard error that the run failed and ends the process with kExitFailed.
/// `console` must outlive the process's run.
void EnterCommandLineMode(Console& console);

/// Runs `args` with RunUnattended over the registry, the automation objects and the backup
/// folder of the current user, after EnterCommandLineMode. COM, started by the first automation
/// object that a command needs, must not be initialised yet on the thread. Whatever fails
/// unforeseen ends the run with kExitFailed and a message. Returns the exit code.
int RunCommandLine(std::span<const std::string> args);

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_UNATTENDED_WIN32_H_
